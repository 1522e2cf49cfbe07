#include "core/ThumbnailBuilder.h"

#include "core/IndexGeometry.h"

#include <leafview/ImgPicture.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QThread>

namespace {
// How long one turn of preparing pages may keep the window from its events.
constexpr qint64 kSliceMs = 12;
} // namespace

ThumbnailBuilder::ThumbnailBuilder(Decode decode, int threads, QObject *parent)
    : QObject(parent), m_decode(std::move(decode))
{
    m_pool.setMaxThreadCount(threads > 0 ? threads : qMax(1, QThread::idealThreadCount()));
    m_pump.setInterval(0);
    connect(&m_pump, &QTimer::timeout, this, &ThumbnailBuilder::pump);
}

ThumbnailBuilder::~ThumbnailBuilder()
{
    cancel();
    // No worker may outlive the object its results are posted to.
    m_pool.waitForDone();
}

void ThumbnailBuilder::start(int count, Prepare prepare)
{
    cancel();
    ++m_generation;
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_prepare = std::move(prepare);
    m_count = qMax(0, count);
    m_nextPrepared = 0;
    m_nextPlaced = 0;
    m_running = true;
    if (m_count == 0) {
        m_running = false;
        emit finished();
        return;
    }
    m_pump.start();
}

void ThumbnailBuilder::cancel()
{
    if (m_cancelled)
        m_cancelled->store(true);
    m_pump.stop();
    m_pool.clear();
    m_waiting.clear();
    m_running = false;
}

void ThumbnailBuilder::pump()
{
    QElapsedTimer slice;
    slice.start();
    while (m_running && m_nextPrepared < m_count && slice.elapsed() < kSliceMs) {
        const int page = m_nextPrepared++;
        const QString path = m_prepare ? m_prepare(page) : QString();
        // Preparing may have let events run (a message box) that cancelled the build.
        if (!m_running)
            return;
        const quint64 generation = m_generation;
        const std::shared_ptr<std::atomic<bool>> cancelled = m_cancelled;
        const Decode decode = m_decode;
        m_pool.start([this, generation, cancelled, decode, page, path] {
            if (cancelled->load())
                return;
            const QImage thumbnail = decode ? decode(path) : QImage();
            if (cancelled->load())
                return;
            QMetaObject::invokeMethod(
                this, [this, generation, page, thumbnail] { decoded(generation, page, thumbnail); },
                Qt::QueuedConnection);
        });
    }
    if (m_nextPrepared >= m_count)
        m_pump.stop();
}

void ThumbnailBuilder::decoded(quint64 generation, int page, const QImage &thumbnail)
{
    if (!m_running || generation != m_generation)
        return;
    m_waiting[page] = thumbnail;
    for (auto it = m_waiting.find(m_nextPlaced); it != m_waiting.end(); it = m_waiting.find(m_nextPlaced)) {
        const QImage ready = std::move(it->second);
        m_waiting.erase(it);
        ++m_nextPlaced;
        emit placed(m_nextPlaced - 1, ready);
        // A receiver may have cancelled or restarted the build.
        if (!m_running || generation != m_generation)
            return;
    }
    if (m_nextPlaced >= m_count) {
        m_running = false;
        emit finished();
    }
}

QImage ThumbnailBuilder::cellPicture(IImgPicture *picture, const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QImage cell(IndexGeometry::kThumbWidth, IndexGeometry::kThumbHeight, QImage::Format_RGB32);
    cell.fill(Qt::black);
    if (!picture)
        return cell;
    float w = 0, h = 0;
    picture->GetImageSize(path, w, h);
    const QSize size = IndexGeometry::thumbnailSize(w, h);
    if (size.isEmpty())
        return cell;
    const std::optional<QImage> scaled = picture->ScaledPicture(path, size.width(), size.height());
    if (!scaled || scaled->isNull())
        return cell;
    QPainter p(&cell);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(IndexGeometry::thumbnailOffset(size), *scaled, QRect(QPoint(0, 0), size));
    return cell;
}
