#pragma once
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <condition_variable>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

struct ProgramPaths;

// Every picture decoded away from the window's thread goes through this one
// queue: pages on the screen (the magnifier's) first, then the pages of the steps
// beside the one shown, then the index's thumbnails, whatever order they were
// asked for in. A few workers run a decode that touches no widget. Decoded pages
// are held under a byte budget counted in the pixels they are decoded at (device
// pixels on a dense screen), the least recently used going first.
//
// A page or thumbnail asked for before the book, volume, size or options changed
// is of no use after: the jobs not started are dropped then, and what a decode
// already running brings back is thrown away; nobody waits for it.
// Only the thread that made the queue calls its members.
class DecodeQueue : public QObject
{
    Q_OBJECT
public:
    // The earlier runs first.
    enum class Priority { Shown, Neighbour, Thumbnail };

    // A page is known by its file (path, length and time, so a file rewritten in
    // place is never mistaken for what it was) and the size it is decoded at.
    struct Key
    {
        QString file;
        QSize size;
        qint64 length = -1;
        qint64 mtimeNs = 0;
        bool operator==(const Key &) const = default;
    };
    static Key keyOf(const QString &file, QSize size);

    // Run on a worker: a page file at a size (nullopt when it cannot be decoded),
    // and the index cell of a page file at a device pixel ratio.
    using PageDecode = std::function<std::optional<QImage>(const QString &file, QSize size)>;
    using CellDecode = std::function<QImage(const QString &file, qreal ratio)>;
    // The picture the ImgPicture control makes of the file at that size.
    static std::optional<QImage> decodePage(const QString &file, QSize size);
    // The index cell: the thumbnail at its size, centred on black. A missing file
    // gives a null picture (the cell shows nothing); one that cannot be decoded, a
    // black cell. At `ratio` device pixels per logical pixel the cell has that
    // many more pixels and says so, keeping its logical size and showing finer.
    static QImage thumbnailCell(const QString &file, qreal ratio = 1.0);

    static constexpr qint64 kDefaultBudget = qint64(256) << 20;
    // The budget the settings file sets (section "Limits", key "CacheMB").
    static qint64 budgetSetting(const ProgramPaths &paths);

    // `workers` 0: one per processor, started with the first job.
    explicit DecodeQueue(int workers = 0, PageDecode page = &decodePage, CellDecode cell = &thumbnailCell,
                         QObject *parent = nullptr);
    // Drops the jobs not started and waits for those under way: no worker
    // outlives the queue.
    ~DecodeQueue() override;
    DecodeQueue(const DecodeQueue &) = delete;
    DecodeQueue &operator=(const DecodeQueue &) = delete;

    // Bytes the pages held and on their way may take; the newest page is held
    // even when it alone is over.
    void setBudget(qint64 bytes);
    qint64 budget() const;
    // At most this many pages (0: only the budget counts).
    void setCapacity(int pages);
    int held() const;
    qint64 heldBytes() const;

    // Queues a page unless it is held or queued already; one queued already moves
    // up to `priority` when that comes earlier.
    void request(const Key &key, Priority priority);
    // Holds a page decoded on the window's thread, as the most recently used.
    void put(const Key &key, const std::optional<QImage> &picture);
    // A page held: its picture (the inner nullopt for a file that could not be
    // decoded), after waiting for its decode if one is under way. A page queued
    // but not started leaves the queue and is not waited for: the caller decodes
    // it at once, ahead of everything queued. nullopt when not held.
    std::optional<std::optional<QImage>> take(const Key &key);
    enum class State { Unknown, Queued, Ready };
    State state(const Key &key) const;
    // Forgets the pages held and drops the page jobs not started.
    void dropPages();

    // Queues the cell of thumbnail `page`; thumbnailReady hands it over.
    void requestThumbnail(int page, const QString &file, qreal ratio);
    void dropThumbnails();

    // A new book or volume: nothing asked for so far is of use.
    void newBook();

    // Pages taken from what was held (tests, benchmark).
    int hits() const { return m_hits; }
    int workerCount() const { return m_workerCount; }
    // Waits until no job is queued or under way (tests, benchmark).
    void settle();

signals:
    void thumbnailReady(int page, const QImage &cell);

private:
    struct Job
    {
        quint64 generation = 0;
        bool thumbnail = false;
        Key key;         // a page
        int page = -1;   // a thumbnail
        qreal ratio = 1.0;
    };
    using JobId = std::pair<Priority, quint64>; // runs in this order
    struct Page
    {
        Key key;
        enum { Queued, Running, Done } state = Queued;
        JobId job{};
        std::optional<QImage> picture;
    };
    struct Cell
    {
        quint64 generation;
        int page;
        QImage picture;
    };

    std::list<Page>::iterator findLocked(const Key &key);
    std::list<Page>::const_iterator findLocked(const Key &key) const;
    void dropPagesLocked();
    void trimLocked();
    qint64 bytesLocked() const;
    void startWorkers();
    void work();
    void finishPage(const Job &job, std::optional<QImage> picture);
    void finishCell(const Job &job, QImage cell);
    Q_INVOKABLE void handOverCells();

    const PageDecode m_pageDecode;
    const CellDecode m_cellDecode;
    const int m_workerCount;
    int m_hits = 0;

    mutable std::mutex m_lock;
    std::condition_variable m_jobsWaiting; // wakes the workers
    std::condition_variable m_jobDone;     // wakes take() and settle()
    std::map<JobId, Job> m_jobs;
    std::list<Page> m_pages; // most recently used first
    std::vector<Cell> m_cells;
    quint64 m_nextOrder = 0;
    quint64 m_pageGeneration = 0;
    quint64 m_cellGeneration = 0;
    int m_running = 0;
    qint64 m_budget = kDefaultBudget;
    int m_capacity = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};
