#pragma once
#include "platform/ProgramPaths.h"
#include "platform/Prompts.h"

#include <QString>
#include <atomic>
#include <memory>

class MemberTable;
class SortedList;
class cUnzip;
class ArchiveReader;

// The readers' messages in the program's language; each holds one %1, the archive.
struct ListingTexts
{
    QString notZip;
    QString notRar;
    QString notArchive; // 7z or tar
    QString encrypted;
    QString errorTitle; // the title of a reader's own error boxes
    // "%1" the volume, "%2" its pages, "%3" the most a volume may hold.
    QString tooManyPages;
    // "%1" the archive, "%2" the pages not extracted, "%3" the limit in MB.
    QString overBudget;
    // An archive that cannot be read; "%1" is the archive.
    QString cannotOpen;
    QString noMemory;
    QString archiveHeaderBroken; // not one member could be listed
    QString fileHeaderBroken;    // the listing broke off
    QString multiVolume;
    QString solidRar4;
    QString encryptedHeaders;
    // TmpZip has gone; "%1" is its path.
    QString tmpMissingTitle;
    QString tmpMissing;
};

// All the archive readers see of the program: the lists they fill, where their
// pages go, and where they report progress, errors and an empty volume. The
// reading session implements it; tests may too.
class ListingHost
{
public:
    virtual ~ListingHost() = default;

    // ---- what the readers fill
    virtual MemberTable &Member_Table() = 0;
    virtual SortedList &List1() = 0;
    virtual int cbListCount() const = 0;
    virtual QString cbListText() const = 0;          // text of the selected volume ("" when none)
    virtual void setCbListText(const QString &t) = 0; // replaces the selected volume's text

    // ---- what they read
    // The program's folders (the extraction cap is a setting of the settings file).
    virtual const ProgramPaths &paths() const = 0;
    virtual QString tmpZip() const = 0;
    virtual QString openPath() const = 0;
    virtual bool isArchive() const = 0;
    virtual QString loadingMessage() const = 0;
    // The program's title, for its own message boxes.
    virtual QString titleText() const = 0;
    // Read when a message is shown, so a change of language reaches the readers.
    virtual ListingTexts texts() const = 0;
    // Only the names are wanted (a listing for the terminal): a nested archive is
    // taken out to be read, but no page is.
    virtual bool listingOnly() const { return false; }

    // ---- what they report
    virtual void setNoImageVisible(bool visible) = 0; // lblnoimage
    virtual void ZipFile_Progress(qint32 Percent, qint32 TotCount, const QString &StrMsg) = 0;
    // The error log the cleanup appends to; every entry is CR LF and its text.
    virtual QString &errorLog() = 0;
    void logError(const QString &text) { errorLog() += QStringLiteral("\r\n") + text; }
    virtual void showMessage(const QString &title, const QString &text, MsgIcon icon) = 0;
    // A volume that comes out whole: its page list is final and only its files
    // are still to come (the host may show its pages as they arrive); from here on
    // the readers touch neither list.
    virtual void pagesListed() {}
    // A page's file of that volume now stands complete in TmpZip.
    virtual void memberWritten() {}
    // Set when the reader who waits has given up (read from the reading thread);
    // null when nobody can give up.
    virtual const std::atomic<bool> *cancelFlag() const { return nullptr; }

    // ---- the program-wide readers, made on first use: the ZIP reader, and the
    // reader of the book whose volumes come out whole (RAR, 7z or tar)
    virtual std::unique_ptr<cUnzip> &zipReaderSlot() = 0;
    virtual std::unique_ptr<ArchiveReader> &rarReaderSlot() = 0;
};
