#pragma once
#include "listing/ArchiveKind.h"
#include "listing/ListingHost.h"
#include "listing/MemberTable.h"
#include "platform/ProgramPaths.h"
#include "platform/Prompts.h"
#include "platform/SortedList.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class cUnzip;
class ArchiveReader;

// What a book is opened from: OpenPath, IsArchive and ArchiveKind together.
struct BookSource
{
    QString path;
    bool isArchive = false;
    ArchiveKind kind = ArchiveKind::None;

    // An archive of no kind, or no path at all, lists nothing.
    bool listable() const { return !path.isEmpty() && (!isArchive || kind != ArchiveKind::None); }
};

// The listing and the volume loading of a book, written against any host, so the
// reading session runs them in place and a loader runs them on a worker.
namespace BookLoad {
// Lists `source` into host.Member_Table(), volume names not yet derived. False
// when a folder holds no entry at all: the table is then left as it was.
bool listSource(ListingHost &host, const BookSource &source, bool commandFilePending);
// The member table from a reader's listing.
void membersFrom(MemberTable &members, const ArchiveReader &reader);
// The volume names of the listed members, in the volume list's order.
QStringList volumesOf(MemberTable &members);
// The pages of `volume` into host.List1(), taken out into TmpZip as its kind wants.
void loadVolume(ListingHost &host, const BookSource &source, const QString &volume);
} // namespace BookLoad

// Lists a book, or loads one volume of it, on a worker thread, so the window
// keeps painting and can give up. The worker fills lists of its own (the
// session's stay as they are until it adopts these on its own thread) and reads
// with readers lent to it; its messages wait for the window's thread.
class BookLoader : public QObject
{
    Q_OBJECT
public:
    enum class What { Book, Volume };
    struct Request
    {
        What what = What::Book;
        BookSource source;
        bool commandFilePending = false;
        // Book: the volume to select when the listing has it (else the first).
        int volumeToOpen = 0;
        // Volume: the book as listed and the volume to load.
        MemberTable members;
        QStringList volumes;
        int volumeIndex = -1;
        // The readers lent to the load (a book's load makes its own when none).
        std::unique_ptr<cUnzip> zip;
        std::unique_ptr<ArchiveReader> rar;
        // What the readers read of the program, copied so the worker shares nothing.
        ProgramPaths paths;
        ListingTexts texts;
        QString loadingMessage;
        QString titleText;
    };
    // What the load made. The lists may be read once pagesListed is signalled or
    // the load has ended; the rest once it has ended.
    struct Result
    {
        bool listed = true; // false: a folder without a single entry
        MemberTable members;
        QStringList volumes;
        int volumeIndex = -1;
        SortedList list1;
        std::optional<bool> noImage;
        std::unique_ptr<cUnzip> zip;
        std::unique_ptr<ArchiveReader> rar;
        QString errorLog;
        struct Message
        {
            QString title, text;
            MsgIcon icon;
        };
        std::vector<Message> messages;
        bool cancelled = false;
        // The volume's loading began: TmpZip was emptied for it.
        bool touchedTmpZip = false;
    };

    explicit BookLoader(QObject *parent = nullptr);
    // Gives up the load under way and waits for its worker.
    ~BookLoader() override;

    // Starts a load on the worker; one at a time (the previous one has ended).
    void start(Request request);
    // Gives up: the worker stops at its next header or block, removes the file
    // it was writing, and ends. Any thread.
    void cancel() { m_cancel.store(true); }
    // Between start() and the handling of finished.
    bool running() const { return m_running; }
    // Members done and in all of the volume being taken out (0 of 0 while listing).
    int done() const { return m_done.load(std::memory_order_relaxed); }
    int total() const { return m_total.load(std::memory_order_relaxed); }

    Result &result() { return m_result; }
    // For the tests: run on the worker after the listing (0, 0), before each member
    // of the volume's extraction (member, members), and at its end (-1, -1), so a
    // test can give up or hold the load at a known point.
    void setWorkerHook(std::function<void(int member, int members)> hook) { m_hook = std::move(hook); }
    // Waits for the worker to end (its end is still to be handled).
    void join();
    // The worker's end is handled: joined, and the result is the caller's.
    void settle();

signals:
    // Signalled from the worker; delivered on the loader's thread.
    void pagesListed();
    void memberWritten();
    void finished();

private:
    class Stage;
    void run();

    Request m_request;
    Result m_result;
    std::unique_ptr<Stage> m_stage;
    std::thread m_worker;
    bool m_running = false;
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_done{0};
    std::atomic<int> m_total{0};
    std::function<void(int, int)> m_hook;
};
