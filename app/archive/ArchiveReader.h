#pragma once
#include "archive/ExtractBudget.h"
#include "listing/ArchiveKind.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ListingHost;
struct archive;
struct archive_entry;

// What the caller of a volume's extraction watches and stops, from the thread the
// extraction runs on or any other.
struct ExtractControl
{
    // Before each member of the archive is read: that member (from 1) and the place
    // of the last selected member, where the pass ends. Called on the extracting thread.
    std::function<void(int member, int members)> progress;
    // Set from any thread to stop: polled before each member and between the blocks
    // of the member being written, whose partial file is removed. The members
    // written before stay in the folder for the caller to clear.
    const std::atomic<bool> *cancel = nullptr;
    // After a selected member's file stands complete under its name in the folder
    // (written whole, or copied for a link): that member (from 1). Called on the
    // extracting thread, so a reader of the folder may show the page at once.
    std::function<void(int member)> written;

    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};

enum class ExtractOutcome {
    Done,      // every selected member was tried (a damaged one is logged and left out)
    Cancelled, // the cancel flag was seen
    Failed,    // the archive could not be opened or broke off; the host was told
};

// One archive reader: lists an archive's members, takes out one member or the
// selected members of a volume into a folder, or reads one member into memory.
// Each format has its reader and no reader reads another's format. Errors are
// logged and shown through the host (none when the reader has no host); the
// reader knows nothing of windows.
class ArchiveReader
{
public:
    struct Member
    {
        QString folder;   // "\" between levels, as every archive folder text
        QString fileName;
        bool selected = false;
        // The flat name the member is written under instead of its file name (a
        // member of a volume whose name another member already took).
        QString tmpName;
        int ordinal = 0; // its place among the archive's headers, from 0
    };

    virtual ~ArchiveReader();
    ArchiveReader(const ArchiveReader &) = delete;
    ArchiveReader &operator=(const ArchiveReader &) = delete;

    // The reader of a kind: cUnzip, Cls_Rar or SevenZipTarReader; null for None.
    static std::unique_ptr<ArchiveReader> make(ArchiveKind kind, ListingHost *host = nullptr);

    virtual ArchiveKind kind() const = 0;

    // Where errors go from now on: a reader lent to a load on another thread
    // reports to that load, and back to the session when it returns.
    void setHost(ListingHost *host) { m_host = host; }
    // Polled between the headers of a listing (set from any thread): a listing
    // stopped so ends as one that could not be read, without a message.
    void setListCancel(const std::atomic<bool> *cancel) { m_listCancel = cancel; }

    QString file() const { return m_file; }
    // The archive to read; forgets the listing.
    void setFile(const QString &path);
    // Lists file(). False when it could not be read to its end: what was listed
    // before the damage stays listed.
    virtual bool list() = 0;

    int count() const { return int(m_members.size()); }
    // 1-based; an index outside 1..count() throws std::out_of_range.
    const Member &member(int index) const;
    void setSelected(int index, bool selected);
    // The place (from 1) of the last selected member; 0 when none is.
    int lastSelected() const;
    void setTmpName(int index, const QString &name);

    // The member of this path ("\" and "/" alike), the first of several that share
    // it, into `folder` under `tmpName` (one flat file name) or its file name. A
    // file already there stays. True when the member is there now, written by this call.
    virtual bool extractMember(const QString &memberPath, const QString &folder, const QString &tmpName = QString()) = 0;
    // The selected members into `folder`, each under its tmpName or file name,
    // replacing what is there, within the folder's extraction budget.
    virtual ExtractOutcome extractVolume(const QString &folder, const ExtractControl &control = {}) = 0;
    // The bytes of the member of this path, read within `limits`; nullopt when it is
    // missing, not a plain file, encrypted, damaged or over a limit. Nothing is
    // written to disk and nobody is told.
    virtual std::optional<QByteArray> readMember(const QString &memberPath,
                                                 const ExtractBudget::MemberLimits &limits = {}) = 0;

protected:
    explicit ArchiveReader(ListingHost *host) : m_host(host) {}
    Member &memberAt(int index);
    void logError(const QString &text);
    // Shown under the readers' error title, and logged.
    void showError(const QString &text);
    // The data of the member the reader stands on, within `limits`, `decodedBefore`
    // bytes having been decoded to reach it; nullopt as readMember says.
    static std::optional<QByteArray> readEntry(archive *a, archive_entry *e, const ExtractBudget::MemberLimits &limits,
                                               qint64 decodedBefore, std::optional<quint32> expectedCrc = std::nullopt);

    bool listCancelled() const { return m_listCancel && m_listCancel->load(std::memory_order_relaxed); }

    ListingHost *m_host;
    const std::atomic<bool> *m_listCancel = nullptr;
    QString m_file;
    std::vector<Member> m_members;
};
