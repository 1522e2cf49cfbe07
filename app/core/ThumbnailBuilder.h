#pragma once
#include <QImage>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <functional>
#include <map>
#include <memory>

class IImgPicture;

// Builds the thumbnails of one volume without holding up the window. The
// interface thread makes each page's file ready in page order (extraction
// belongs to the session and stays on that thread), a little at a time between
// window events; a pool of workers, one per processor, decodes each file at its
// thumbnail size; the finished thumbnails come back to the interface thread and
// are handed out strictly in page order. Only thumbnails are ever held, never a
// page at full size.
class ThumbnailBuilder : public QObject
{
    Q_OBJECT
public:
    // Runs on the interface thread: makes page `page`'s file ready, returns its path.
    using Prepare = std::function<QString(int page)>;
    // Runs on a worker: the picture of one cell. It must touch no widget and no session.
    using Decode = std::function<QImage(const QString &path)>;

    // `threads` 0: as many workers as the machine has processors.
    explicit ThumbnailBuilder(Decode decode, int threads = 0, QObject *parent = nullptr);
    ~ThumbnailBuilder() override;

    // Starts building `count` thumbnails, cancelling any build still running.
    void start(int count, Prepare prepare);
    // Stops the build: nothing more is prepared or handed out; decodes already
    // running finish on their own and are dropped.
    void cancel();
    bool running() const { return m_running; }
    int workerCount() const { return m_pool.maxThreadCount(); }

    // The picture of a thumbnail cell for `path`, made through the control's
    // thread-safe decode: the thumbnail at its size, centred on black. A missing
    // file gives a null picture (the cell shows nothing); one that cannot be
    // decoded, a black cell.
    static QImage cellPicture(IImgPicture *picture, const QString &path);

signals:
    // Thumbnail `page` is ready; emitted for 0, 1, 2, ... in order.
    void placed(int page, const QImage &thumbnail);
    void finished();

private:
    void pump();
    void decoded(quint64 generation, int page, const QImage &thumbnail);

    Decode m_decode;
    Prepare m_prepare;
    QThreadPool m_pool;
    QTimer m_pump;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    quint64 m_generation = 0;
    int m_count = 0;
    int m_nextPrepared = 0;
    int m_nextPlaced = 0;
    bool m_running = false;
    std::map<int, QImage> m_waiting; // decoded ahead of their turn
};
