#pragma once
#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

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
    explicit ThumbnailBuilder(int threads = 0, QObject *parent = nullptr);
    ~ThumbnailBuilder() override;

    // Starts building `count` thumbnails, cancelling any build still running.
    // Each job gets its own copy of `decode`, which must stay valid until this
    // object is gone.
    void start(int count, Prepare prepare, Decode decode);
    // Stops the build: nothing more is prepared or handed out; decodes already
    // running finish on their own and are dropped.
    void cancel();
    bool running() const { return m_running; }
    int workerCount() const { return m_threadCount; }

    // The picture of a thumbnail cell for `path`, made through the control's
    // thread-safe decode: the thumbnail at its size, centred on black. A missing
    // file gives a null picture (the cell shows nothing); one that cannot be
    // decoded, a black cell. On a surface of `ratio` device pixels per logical
    // pixel the cell has that many more pixels and says so (its device pixel
    // ratio), so the thumbnail keeps its logical size and shows finer.
    static QImage cellPicture(IImgPicture *picture, const QString &path, qreal ratio = 1.0);

signals:
    // Thumbnail `page` is ready; emitted for 0, 1, 2, ... in order.
    void placed(int page, const QImage &thumbnail);
    void finished();

private:
    struct Job
    {
        quint64 generation;
        int page;
        QString path;
        Decode decode;
        std::shared_ptr<std::atomic<bool>> cancelled;
    };
    struct Done
    {
        quint64 generation;
        int page;
        QImage thumbnail;
    };
    void pump();
    // A worker's life: take a job, decode, hand the result over, until told to stop.
    void work();
    // Takes what the workers finished; runs on the interface thread.
    Q_INVOKABLE void collect();
    void decoded(quint64 generation, int page, const QImage &thumbnail);

    Decode m_decode;
    Prepare m_prepare;
    QTimer m_pump;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    quint64 m_generation = 0;
    int m_count = 0;
    int m_nextPrepared = 0;
    int m_nextPlaced = 0;
    bool m_running = false;
    std::map<int, QImage> m_waiting; // decoded ahead of their turn

    // Jobs go to the workers, and results come back, through these two lists
    // alone, each under its own lock.
    int m_threadCount = 1;
    std::vector<std::thread> m_workers; // started with the first build
    std::mutex m_jobsLock;
    std::condition_variable m_jobsReady;
    std::deque<Job> m_jobs;
    bool m_stopping = false;
    std::mutex m_doneLock;
    std::vector<Done> m_done;
};
