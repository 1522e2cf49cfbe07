#pragma once
#include <leafview/ImgPicture.h>

#include <QImage>
#include <QSize>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Pages decoded ahead of the reader on a worker thread, each at the size it will
// be drawn. A page is known by its file (path, length and time, so a file
// rewritten in place is never mistaken for what it was) and its drawn size.
// Only the window's thread calls these; the worker only runs the decoder. The
// worker is a thread of our own, handed its jobs through a locked queue, so a
// thread checker sees every hand-over (it cannot see inside Qt's thread pool).
class PagePrefetch
{
public:
    struct Key
    {
        QString file;
        QSize size;
        qint64 length = -1;
        qint64 mtimeNs = 0;
        bool operator==(const Key &) const = default;
    };
    // The key of `file` drawn at `size` as the file stands now.
    static Key keyOf(const QString &file, QSize size);

    PagePrefetch();
    // Waits for the decode under way; those not started are abandoned.
    ~PagePrefetch();
    PagePrefetch(const PagePrefetch &) = delete;
    PagePrefetch &operator=(const PagePrefetch &) = delete;

    // How many pages are held (the oldest goes first).
    void setCapacity(int pages);
    // How many bytes the held pages may take, counted at the size they are
    // decoded at, which on a dense screen is in device pixels; the newest page
    // is held even when it alone is over.
    static constexpr qint64 kDefaultBudget = qint64(256) << 20;
    void setBudget(qint64 bytes);
    // Starts decoding the page unless it is held or under way already.
    void request(const Key &key, PictureDecoder decoder);
    // The decoded page when it is held, after waiting for its decode when that is
    // still under way; nullopt when it is not held. The inner value is the
    // decoder's own answer (nullopt for a file it could not decode).
    std::optional<std::optional<QImage>> take(const Key &key);
    // Whether the page is held and its decode is done (take() would not wait).
    bool done(const Key &key) const;
    // Forgets every page (a new volume, a new size, a changed option).
    void drop();

    int held() const { return int(m_entries.size()); }
    // Pages drawn from what was held, for the tests and the benchmark.
    int hits() const { return m_hits; }
    // Waits until every decode requested so far is done.
    void settle();

private:
    struct Job;
    struct Entry
    {
        Key key;
        std::shared_ptr<Job> job;
        std::shared_future<std::optional<QImage>> result;
    };
    void trim();
    void work();

    std::deque<Entry> m_entries; // oldest first
    int m_capacity = 3;
    qint64 m_budget = kDefaultBudget;
    int m_hits = 0;
    // One worker: the reader turns one page at a time, and the window's thread
    // keeps the other core. Started with the first request.
    std::thread m_worker;
    std::mutex m_queueLock;
    std::condition_variable m_queued;
    std::deque<std::function<void()>> m_queue;
    bool m_stopping = false;
};
