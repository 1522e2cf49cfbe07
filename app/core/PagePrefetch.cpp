#include "core/PagePrefetch.h"

#include <QFile>

#include <atomic>
#include <sys/stat.h>

struct PagePrefetch::Job
{
    std::promise<std::optional<QImage>> promise;
    std::atomic<bool> abandoned{false};
};

PagePrefetch::Key PagePrefetch::keyOf(const QString &file, QSize size)
{
    Key k{file, size};
    struct stat st;
    if (::stat(QFile::encodeName(file).constData(), &st) == 0) {
        k.length = qint64(st.st_size);
        k.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
    return k;
}

PagePrefetch::PagePrefetch() = default;

PagePrefetch::~PagePrefetch()
{
    drop();
    {
        const std::lock_guard<std::mutex> lock(m_queueLock);
        m_stopping = true;
        // Jobs not started are abandoned; nobody waits for them any more.
        m_queue.clear();
    }
    m_queued.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void PagePrefetch::work()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(m_queueLock);
            m_queued.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
        }
        job();
    }
}

void PagePrefetch::setCapacity(int pages)
{
    m_capacity = qMax(pages, 1);
    trim();
}

void PagePrefetch::setBudget(qint64 bytes)
{
    m_budget = bytes;
    trim();
}

void PagePrefetch::request(const Key &key, PictureDecoder decoder)
{
    if (!decoder || key.file.isEmpty() || key.size.isEmpty())
        return;
    for (const Entry &e : m_entries) {
        if (e.key == key)
            return;
    }
    auto job = std::make_shared<Job>();
    Entry entry{key, job, job->promise.get_future().share()};
    {
        const std::lock_guard<std::mutex> lock(m_queueLock);
        m_queue.push_back([job, decoder, file = key.file, size = key.size] {
            std::optional<QImage> picture;
            if (!job->abandoned.load())
                picture = decoder(file, size.width(), size.height());
            job->promise.set_value(std::move(picture));
        });
    }
    if (!m_worker.joinable())
        m_worker = std::thread([this] { work(); });
    m_queued.notify_one();
    m_entries.push_back(std::move(entry));
    trim();
}

std::optional<std::optional<QImage>> PagePrefetch::take(const Key &key)
{
    for (const Entry &e : m_entries) {
        if (e.key == key) {
            ++m_hits;
            return e.result.get();
        }
    }
    return std::nullopt;
}

bool PagePrefetch::done(const Key &key) const
{
    for (const Entry &e : m_entries) {
        if (e.key == key)
            return e.result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }
    return false;
}

void PagePrefetch::drop()
{
    for (const Entry &e : m_entries)
        e.job->abandoned.store(true);
    m_entries.clear();
}

void PagePrefetch::settle()
{
    for (const Entry &e : m_entries)
        e.result.wait();
}

void PagePrefetch::trim()
{
    const auto bytes = [this] {
        qint64 sum = 0;
        for (const Entry &e : m_entries)
            sum += qint64(e.key.size.width()) * e.key.size.height() * 4;
        return sum;
    };
    while (int(m_entries.size()) > m_capacity || (m_entries.size() > 1 && bytes() > m_budget)) {
        m_entries.front().job->abandoned.store(true);
        m_entries.pop_front();
    }
}
