#pragma once
#include "core/PageSteps.h"
#include "core/Language.h"
#include "platform/ProgramPaths.h"

#include <leafview/ImgPicture.h>

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// The first page of a book named on the command line, found and decoded on a
// worker thread while the window is still being built and painted, so the
// decode (most of the cost of the first page) no longer waits for the window.
//
// The worker opens the book with a reading session of its own (its own readers,
// its own scratch folder beside TmpZip), so it picks the page by the very rules
// the window's session follows; the window's session still opens the book as
// always, after the window is painted. The early picture only stands in for a
// page whose file holds the same bytes and that is drawn at the same size;
// anything else is a miss, and that page is decoded as it always is.
// Only a book whose pages come out one at a time (a ZIP, a folder) is read
// early: a volume that is extracted whole is left to the window's session.
class FirstPageAhead
{
public:
    // What the worker needs of the program, copied so it shares nothing.
    struct Book
    {
        ProgramPaths paths;
        Language lang; // the readers word their messages (nobody sees them)
        QString Cmd_Folder;
        QString Cmd_File;
        ViewMode viewMode = ViewMode::OnePage;
    };

    FirstPageAhead() = default;
    // Stops the worker at its next step and waits for it.
    ~FirstPageAhead();
    FirstPageAhead(const FirstPageAhead &) = delete;
    FirstPageAhead &operator=(const FirstPageAhead &) = delete;

    // The scratch folder of the worker's session; removed when it is done.
    static QString scratchFolder(const ProgramPaths &paths);

    // Starts the worker (once). `picture` reads image headers on the worker (a
    // read that touches no control); it must outlive this object.
    void start(const Book &book, IImgPicture *picture);
    // The surface the first page will be drawn on and whether pages stay at
    // 100 %; the worker decodes once it has both a page and a surface. A later
    // call before the decode starts replaces the surface. The surface is in
    // logical pixels; the page is decoded at `ratio` device pixels for each.
    void setSurface(QSize surface, bool hundred, qreal ratio = 1.0);
    // The early picture when `file` holds the bytes the worker decoded and
    // `size` is the size it decoded them at, after waiting for that decode; nullopt
    // otherwise. Either way the early page is spent: it serves one draw at most.
    std::optional<QImage> take(const QString &file, QSize size);

    // Whether a page may still be taken, and whether one was.
    bool pending() const { return m_pending; }
    bool served() const { return m_served; }
    // For the tests: waits until the worker has ended.
    void finish();
    // For the tests: whether the worker has begun its decode or given up, and
    // the size it decodes at (invalid until it begins).
    bool settled() const;
    QSize decodedSize() const;

private:
    void run(Book book, IImgPicture *picture);
    // Waits for the surface; false when the page was given up meanwhile.
    bool waitForSurface(QSize &surface, bool &hundred, qreal &ratio);

    std::thread m_worker;
    bool m_pending = false; // the window's thread only
    bool m_served = false;  // the window's thread only

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_cancelled = false;
    bool m_havePage = false; // m_bytes and m_name hold the page
    bool m_decoding = false;
    bool m_done = false;     // the decode ended (or never will)
    QSize m_surface;
    bool m_hundred = false;
    qreal m_ratio = 1.0;
    QByteArray m_bytes;
    QString m_name;
    QSize m_size;
    std::optional<QImage> m_image;
};
