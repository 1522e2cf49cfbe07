#include "core/DecodeQueue.h"

#include "core/IndexGeometry.h"
#include "core/PageGeometry.h"
#include "platform/IniRead.h"

#include <ImageDecoder.h>

#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>

#include <sys/stat.h>

DecodeQueue::Key DecodeQueue::keyOf(const QString &file, QSize size)
{
    Key k{file, size};
    struct stat st;
    if (::stat(QFile::encodeName(file).constData(), &st) == 0) {
        k.length = qint64(st.st_size);
        k.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
    return k;
}

std::optional<QImage> DecodeQueue::decodePage(const QString &file, QSize size)
{
    return ImageDecoder::decodeScaled(file, size.width(), size.height());
}

QImage DecodeQueue::thumbnailCell(const QString &file, qreal ratio)
{
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return {};
    if (ratio <= 0)
        ratio = 1.0;
    const QRect box(0, 0, IndexGeometry::kThumbWidth, IndexGeometry::kThumbHeight);
    QImage cell(PageGeometry::toDevice(box, ratio).size(), QImage::Format_RGB32);
    cell.fill(Qt::black);
    cell.setDevicePixelRatio(ratio);
    const QSize natural = ImageDecoder::headerSize(file);
    if (!natural.isValid())
        return cell;
    const QSize size = IndexGeometry::thumbnailSize(float(natural.width()), float(natural.height()));
    if (size.isEmpty())
        return cell;
    const QRect at = PageGeometry::toDevice(QRect(IndexGeometry::thumbnailOffset(size), size), ratio);
    const std::optional<QImage> scaled = ImageDecoder::decodeScaled(file, at.width(), at.height());
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

qint64 DecodeQueue::budgetSetting(const ProgramPaths &paths)
{
    bool ok = false;
    const qint64 mb = Ini_Read(paths, QStringLiteral("Limits"), QStringLiteral("CacheMB"), QString()).toLongLong(&ok);
    return ok && mb > 0 && mb < (qint64(1) << 30) ? mb << 20 : kDefaultBudget;
}

DecodeQueue::DecodeQueue(int workers, PageDecode page, CellDecode cell, QObject *parent)
    : QObject(parent)
    , m_pageDecode(std::move(page))
    , m_cellDecode(std::move(cell))
    , m_workerCount(workers > 0 ? workers : int(qMax(1u, std::thread::hardware_concurrency())))
{
}

DecodeQueue::~DecodeQueue()
{
    {
        const std::lock_guard<std::mutex> l(m_lock);
        m_stopping = true;
        m_jobs.clear();
    }
    m_jobsWaiting.notify_all();
    for (std::thread &t : m_workers)
        t.join();
}

void DecodeQueue::setBudget(qint64 bytes)
{
    const std::lock_guard<std::mutex> l(m_lock);
    m_budget = bytes;
    trimLocked();
}

qint64 DecodeQueue::budget() const
{
    const std::lock_guard<std::mutex> l(m_lock);
    return m_budget;
}

void DecodeQueue::setCapacity(int pages)
{
    const std::lock_guard<std::mutex> l(m_lock);
    m_capacity = qMax(0, pages);
    trimLocked();
}

int DecodeQueue::held() const
{
    const std::lock_guard<std::mutex> l(m_lock);
    return int(m_pages.size());
}

qint64 DecodeQueue::heldBytes() const
{
    const std::lock_guard<std::mutex> l(m_lock);
    return bytesLocked();
}

std::list<DecodeQueue::Page>::iterator DecodeQueue::findLocked(const Key &key)
{
    return std::find_if(m_pages.begin(), m_pages.end(), [&key](const Page &p) { return p.key == key; });
}

std::list<DecodeQueue::Page>::const_iterator DecodeQueue::findLocked(const Key &key) const
{
    return std::find_if(m_pages.cbegin(), m_pages.cend(), [&key](const Page &p) { return p.key == key; });
}

qint64 DecodeQueue::bytesLocked() const
{
    // A page on its way counts as what it will be: the budget holds at the
    // moment its decode ends, not just after.
    qint64 sum = 0;
    for (const Page &p : m_pages)
        sum += qint64(p.key.size.width()) * p.key.size.height() * 4;
    return sum;
}

void DecodeQueue::trimLocked()
{
    while ((m_capacity > 0 && int(m_pages.size()) > m_capacity) || (m_pages.size() > 1 && bytesLocked() > m_budget)) {
        const Page &last = m_pages.back();
        // A page under way finishes unseen; one not started is not started.
        if (last.state == Page::Queued)
            m_jobs.erase(last.job);
        m_pages.pop_back();
    }
}

void DecodeQueue::request(const Key &key, Priority priority)
{
    if (key.file.isEmpty() || key.size.isEmpty())
        return;
    {
        const std::lock_guard<std::mutex> l(m_lock);
        const auto it = findLocked(key);
        if (it != m_pages.end()) {
            // Asked for again: still wanted, so the last to go.
            m_pages.splice(m_pages.begin(), m_pages, it);
            if (it->state == Page::Queued && priority < it->job.first) {
                auto node = m_jobs.extract(it->job);
                it->job.first = priority;
                node.key() = it->job;
                m_jobs.insert(std::move(node));
            }
            return;
        }
        const JobId id{priority, m_nextOrder++};
        m_jobs.emplace(id, Job{m_pageGeneration, false, key});
        m_pages.push_front(Page{key, Page::Queued, id, std::nullopt});
        // No trimming here: the steps asked for together all stay until one of
        // them is decoded, which trims by then.
    }
    startWorkers();
    m_jobsWaiting.notify_one();
}

void DecodeQueue::put(const Key &key, const std::optional<QImage> &picture)
{
    if (key.file.isEmpty() || key.size.isEmpty())
        return;
    const std::lock_guard<std::mutex> l(m_lock);
    auto it = findLocked(key);
    if (it != m_pages.end()) {
        if (it->state == Page::Queued)
            m_jobs.erase(it->job);
        m_pages.erase(it);
    }
    m_pages.push_front(Page{key, Page::Done, {}, picture});
    trimLocked();
}

std::optional<std::optional<QImage>> DecodeQueue::take(const Key &key)
{
    std::unique_lock<std::mutex> l(m_lock);
    auto it = findLocked(key);
    if (it == m_pages.end())
        return std::nullopt;
    if (it->state == Page::Queued) {
        m_jobs.erase(it->job);
        m_pages.erase(it);
        return std::nullopt;
    }
    m_pages.splice(m_pages.begin(), m_pages, it);
    // Waiting for the decode under way costs less than decoding again: it only
    // has the rest of one page to go.
    m_jobDone.wait(l, [&] {
        it = findLocked(key);
        return it == m_pages.end() || it->state == Page::Done;
    });
    if (it == m_pages.end())
        return std::nullopt;
    ++m_hits;
    return it->picture;
}

DecodeQueue::State DecodeQueue::state(const Key &key) const
{
    const std::lock_guard<std::mutex> l(m_lock);
    const auto it = findLocked(key);
    if (it == m_pages.end())
        return State::Unknown;
    return it->state == Page::Done ? State::Ready : State::Queued;
}

void DecodeQueue::dropPagesLocked()
{
    ++m_pageGeneration;
    for (auto it = m_jobs.begin(); it != m_jobs.end();)
        it = it->second.thumbnail ? std::next(it) : m_jobs.erase(it);
    m_pages.clear();
}

void DecodeQueue::dropPages()
{
    const std::lock_guard<std::mutex> l(m_lock);
    dropPagesLocked();
    // A take() waiting on a page that is gone returns.
    m_jobDone.notify_all();
}

void DecodeQueue::requestThumbnail(int page, const QString &file, qreal ratio)
{
    {
        const std::lock_guard<std::mutex> l(m_lock);
        Job job{m_cellGeneration, true, Key{file, {}}};
        job.page = page;
        job.ratio = ratio;
        m_jobs.emplace(JobId{Priority::Thumbnail, m_nextOrder++}, std::move(job));
    }
    startWorkers();
    m_jobsWaiting.notify_one();
}

void DecodeQueue::dropThumbnails()
{
    const std::lock_guard<std::mutex> l(m_lock);
    ++m_cellGeneration;
    for (auto it = m_jobs.begin(); it != m_jobs.end();)
        it = it->second.thumbnail ? m_jobs.erase(it) : std::next(it);
    m_cells.clear();
}

void DecodeQueue::newBook()
{
    dropPages();
    dropThumbnails();
}

void DecodeQueue::settle()
{
    std::unique_lock<std::mutex> l(m_lock);
    m_jobDone.wait(l, [this] { return m_jobs.empty() && m_running == 0; });
}

void DecodeQueue::startWorkers()
{
    if (!m_workers.empty())
        return;
    for (int i = 0; i < m_workerCount; ++i)
        m_workers.emplace_back([this] { work(); });
}

void DecodeQueue::work()
{
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> l(m_lock);
            m_jobsWaiting.wait(l, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping)
                return;
            auto first = m_jobs.begin();
            job = std::move(first->second);
            if (!job.thumbnail) {
                const auto it = findLocked(job.key);
                if (it != m_pages.end() && it->job == first->first)
                    it->state = Page::Running;
            }
            m_jobs.erase(first);
            ++m_running;
        }
        if (job.thumbnail)
            finishCell(job, m_cellDecode ? m_cellDecode(job.key.file, job.ratio) : QImage());
        else
            finishPage(job, m_pageDecode ? m_pageDecode(job.key.file, job.key.size) : std::nullopt);
    }
}

void DecodeQueue::finishPage(const Job &job, std::optional<QImage> picture)
{
    {
        const std::lock_guard<std::mutex> l(m_lock);
        --m_running;
        const auto it = findLocked(job.key);
        if (job.generation == m_pageGeneration && it != m_pages.end() && it->state == Page::Running) {
            it->picture = std::move(picture);
            it->state = Page::Done;
            trimLocked();
        }
    }
    m_jobDone.notify_all();
}

void DecodeQueue::finishCell(const Job &job, QImage cell)
{
    bool first = false;
    {
        const std::lock_guard<std::mutex> l(m_lock);
        if (job.generation == m_cellGeneration) {
            first = m_cells.empty();
            m_cells.push_back({job.generation, job.page, std::move(cell)});
        }
    }
    // One hand-over takes every cell finished meanwhile. It is on its way before
    // the job counts as done, so settle() leaves nothing unposted.
    if (first)
        QMetaObject::invokeMethod(this, "handOverCells", Qt::QueuedConnection);
    {
        const std::lock_guard<std::mutex> l(m_lock);
        --m_running;
    }
    m_jobDone.notify_all();
}

void DecodeQueue::handOverCells()
{
    std::vector<Cell> cells;
    {
        const std::lock_guard<std::mutex> l(m_lock);
        cells.swap(m_cells);
    }
    const quint64 generation = m_cellGeneration; // only this thread changes it
    for (const Cell &c : cells) {
        // A receiver may have dropped the thumbnails meanwhile.
        if (c.generation != generation || generation != m_cellGeneration)
            return;
        emit thumbnailReady(c.page, c.picture);
    }
}
