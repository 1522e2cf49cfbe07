#include "core/PagePrefetch.h"

#include <QFile>
#include <QRunnable>

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

PagePrefetch::PagePrefetch()
{
    // One worker: the reader turns one page at a time, and the window's thread
    // keeps the other core.
    m_pool.setMaxThreadCount(1);
}

PagePrefetch::~PagePrefetch()
{
    drop();
    m_pool.waitForDone();
}

void PagePrefetch::setCapacity(int pages)
{
    m_capacity = qMax(pages, 1);
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
    m_pool.start([job, decoder, file = key.file, size = key.size] {
        std::optional<QImage> picture;
        if (!job->abandoned.load())
            picture = decoder(file, size.width(), size.height());
        job->promise.set_value(std::move(picture));
    });
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
    while (int(m_entries.size()) > m_capacity) {
        m_entries.front().job->abandoned.store(true);
        m_entries.pop_front();
    }
}
