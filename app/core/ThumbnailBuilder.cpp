#include "core/ThumbnailBuilder.h"

#include "core/PageGeometry.h"

#include "core/IndexGeometry.h"

#include <leafview/ImgPicture.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>

namespace {
// How long one turn of preparing pages may keep the window from its events.
constexpr qint64 kSliceMs = 12;
} // namespace

ThumbnailBuilder::ThumbnailBuilder(int threads, QObject *parent)
    : QObject(parent), m_threadCount(threads > 0 ? threads : int(qMax(1u, std::thread::hardware_concurrency())))
{
    m_pump.setInterval(0);
    connect(&m_pump, &QTimer::timeout, this, &ThumbnailBuilder::pump);
}

ThumbnailBuilder::~ThumbnailBuilder()
{
    cancel();
    {
        const std::lock_guard<std::mutex> lock(m_jobsLock);
        m_stopping = true;
    }
    m_jobsReady.notify_all();
    // No worker may outlive the object its results are handed to.
    for (std::thread &t : m_workers)
        t.join();
}

void ThumbnailBuilder::start(int count, Prepare prepare, Decode decode)
{
    cancel();
    ++m_generation;
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    m_prepare = std::move(prepare);
    m_decode = std::move(decode);
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
    {
        const std::lock_guard<std::mutex> lock(m_jobsLock);
        m_jobs.clear();
    }
    m_waiting.clear();
    m_running = false;
}

void ThumbnailBuilder::pump()
{
    QElapsedTimer slice;
    slice.start();
    while (m_running && m_nextPrepared < m_count && slice.elapsed() < kSliceMs) {
        const int page = m_nextPrepared++;
        const quint64 generation = m_generation;
        const QString path = m_prepare ? m_prepare(page) : QString();
        // Preparing may have let events run (a message box) that cancelled the build.
        if (!m_running || generation != m_generation)
            return;
        if (m_workers.empty()) {
            for (int i = 0; i < m_threadCount; ++i)
                m_workers.emplace_back([this] { work(); });
        }
        {
            const std::lock_guard<std::mutex> lock(m_jobsLock);
            m_jobs.push_back({m_generation, page, path, m_decode, m_cancelled});
        }
        m_jobsReady.notify_one();
    }
    if (m_nextPrepared >= m_count)
        m_pump.stop();
}

void ThumbnailBuilder::work()
{
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_jobsLock);
            m_jobsReady.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping)
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        if (job.cancelled->load())
            continue;
        QImage thumbnail = job.decode ? job.decode(job.path) : QImage();
        if (job.cancelled->load())
            continue;
        bool first;
        {
            const std::lock_guard<std::mutex> lock(m_doneLock);
            first = m_done.empty();
            m_done.push_back({job.generation, job.page, std::move(thumbnail)});
        }
        // One wake-up collects everything finished meanwhile.
        if (first)
            QMetaObject::invokeMethod(this, "collect", Qt::QueuedConnection);
    }
}

void ThumbnailBuilder::collect()
{
    std::vector<Done> done;
    {
        const std::lock_guard<std::mutex> lock(m_doneLock);
        done.swap(m_done);
    }
    for (Done &d : done)
        decoded(d.generation, d.page, d.thumbnail);
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

QImage ThumbnailBuilder::cellPicture(IImgPicture *picture, const QString &path, qreal ratio)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    if (ratio <= 0)
        ratio = 1.0;
    const QRect box(0, 0, IndexGeometry::kThumbWidth, IndexGeometry::kThumbHeight);
    QImage cell(PageGeometry::toDevice(box, ratio).size(), QImage::Format_RGB32);
    cell.fill(Qt::black);
    cell.setDevicePixelRatio(ratio);
    if (!picture)
        return cell;
    float w = 0, h = 0;
    picture->GetImageSize(path, w, h);
    const QSize size = IndexGeometry::thumbnailSize(w, h);
    if (size.isEmpty())
        return cell;
    const QRect at = PageGeometry::toDevice(QRect(IndexGeometry::thumbnailOffset(size), size), ratio);
    const std::optional<QImage> scaled = picture->ScaledPicture(path, at.width(), at.height());
    if (!scaled || scaled->isNull())
        return cell;
    // Pixel for pixel: the painter would otherwise work in the cell's logical pixels.
    cell.setDevicePixelRatio(1.0);
    {
        QPainter p(&cell);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(at.topLeft(), *scaled, QRect(QPoint(0, 0), at.size()));
    }
    cell.setDevicePixelRatio(ratio);
    return cell;
}
