#include "core/SessionLifecycle.h"

#include "archive/ArchiveReader.h"
#include "archive/Mo_Unzip.h"
#include "archive/cUnzip.h"
#include "core/CommandLine.h"
#include "core/Program.h"
#include "core/ReadingSession.h"
#include "core/RecentBooks.h"
#include "core/ResumeRecord.h"
#include "core/VolumeRules.h"
#include "platform/IniRead.h"
#include "platform/LegacyCodePage.h"
#include "platform/Prompts.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <climits>
#include <exception>
#include <stdexcept>

namespace SessionLifecycle {

namespace {

// The book a path names as itself: a folder, or an archive by its extension. An
// image names its folder at that image, and opens there, not at a kept place.
QString bookOf(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() || (info.isFile() && VolumeRules::isArchiveExt(VolumeRules::extensionOf(path))))
        return RecentBooks::canonical(path);
    return {};
}

// Before `book` opens: the volume and page it was left at, unless it was read to
// the end (then it starts over, as a book read again does).
void startAtKeptPlace(ReadingSession &s, const QString &book)
{
    const std::optional<RecentBook> kept = book.isEmpty() ? std::nullopt : s.program().recent.find(book);
    if (!kept || kept->finished)
        return;
    // The kept page in the resume record's terms: a spread index in two-page view.
    const bool twoPage = s.viewMode() == ViewMode::TwoPage;
    s.openNextAt(kept->volume, qMin(twoPage ? kept->page / 2 : kept->page, qint32(SHRT_MAX)));
}

void keep(Program &app, const ResumeRecord &place, bool finished)
{
    if (place.path.isEmpty() || place.volumeIndex < 0)
        return;
    const qint32 page = place.viewMode == 2 ? qint32(place.pagePosition) * 2 : place.pagePosition;
    app.recent.remember({place.path, place.volumeIndex, page, finished});
}

// Runs `open` for the book named by `path` at its kept place. A kept place the
// book no longer has (fewer volumes) is not carried over to a later open.
void openAtKeptPlace(ReadingSession &s, const QString &path, const std::function<void()> &open)
{
    startAtKeptPlace(s, bookOf(path));
    open();
}

} // namespace

void keepPlace(ReadingSession &s)
{
    keep(s.program(), s.snapshot(), s.finishedReading());
}

void openChosen(ReadingSession &s, const ResumeRecord &before)
{
    Program &app = s.program();
    // What the choice replaced is still the session's: its lists and its place.
    keep(app, before, s.finishedReading());
    // A file of no archive kind leaves OpenPath empty: nothing is listed.
    const bool listable = !app.OpenPath.isEmpty() && (!app.IsArchive || app.ArchiveKind != ArchiveKind::None);
    if (listable) {
        // A new book starts at its first volume, not at the previous book's.
        s.openNextAt(0, std::nullopt);
        openAtKeptPlace(s, app.OpenPath, [&] {
            try {
                s.Open_Source();
            } catch (const std::exception &e) {
                app.logError(QString::fromLocal8Bit(e.what()));
            }
        });
    }
    s.afterLoad([&s, before, listable] {
        if (returnToPlace(s, before) || !listable)
            return;
        s.afterLoad([&s] {
            if (s.volumeCount() > 0)
                keepPlace(s);
        });
    });
}

void applyCodePageSetting(Program &app)
{
    const QString codePage =
        Ini_Read(app.paths, QStringLiteral("Archive"), QStringLiteral("CodePage"), QStringLiteral("CP949"));
    if (!LegacyCodePage::setName(codePage.trimmed().toLatin1()))
        app.logError(QStringLiteral("Unknown code page in the settings file: ") + codePage);
}

void loadLanguage(Program &app)
{
    // The command line, then the settings, then the desktop's language decide.
    const QString setting = Ini_Read(app.paths, QStringLiteral("Main"), QStringLiteral("Language"), QString());
    if (const std::optional<qint16> mode = Language::chooseMode(app.langOption, setting, app.systemLocale))
        app.lang.Lang_Mode = *mode;
    app.lang.load();
}

void createReaders(ReadingSession &s)
{
    Program &app = s.program();
    applyCodePageSetting(app);
    app.ZipReader = std::make_unique<cUnzip>(&s);
    app.RarReader = ArchiveReader::make(ArchiveKind::Rar, &s);
}

void resume(ReadingSession &s, const ResumeRecord &rec, const std::function<void()> &beforeOpen)
{
    Program &app = s.program();
    app.IsArchive = rec.isArchive;
    app.ArchiveKind = rec.archiveKind;
    // The record keeps a spread as the spread index of its first page: the book
    // opens at the step of that page, however its pages are grouped now.
    const bool twoPage = rec.viewMode == 2;
    const int position = rec.pagePosition < 0 ? 0 : rec.pagePosition;
    s.openNextAt(rec.volumeIndex, position);
    // Each change runs that box's handler; the page list is still empty.
    s.setOption(ReadingSession::Hundred, rec.hundred == 1);
    s.setOption(ReadingSession::BookEffect, rec.effect == 1);
    s.setOption(ReadingSession::Sharpen, rec.sharpen == 1);
    if (rec.rightToLeft)
        s.setOption(ReadingSession::RightToLeft, true);
    s.setOption(ReadingSession::TwoPage, twoPage);
    if (beforeOpen)
        beforeOpen();
    s.Open_Source();
}

void openAtStart(ReadingSession &s, const QString &resumeFile, const std::function<void()> &beforeOpen)
{
    Program &app = s.program();
    if (!s.Cmd_Folder.isEmpty() || !s.Cmd_File.isEmpty()) {
        openAtKeptPlace(s, CommandLine{s.Cmd_Folder, s.Cmd_File}.path(), [&s] { s.openNamedPath(); });
        s.afterLoad([&s] {
            if (s.volumeCount() > 0)
                keepPlace(s);
        });
        return;
    }
    if (const std::optional<ResumeRecord> kept = ResumeRecord::readFrom(resumeFile);
        kept && (kept->path.isEmpty() || !QFileInfo::exists(kept->path))) {
        // Its record goes too, so the question does not come back at every start.
        QFile::remove(resumeFile);
        return;
    }
    if (!QFileInfo::exists(resumeFile))
        return;
    const MsgResult answer = app.prompts->messageBox(s.promptOwner, app.lang.Msg_ResumeTitle, app.lang.Msg_ResumeQuestion,
                                                     MsgIcon::Question, MsgButtons::YesNo);
    if (answer != MsgResult::Yes)
        return;
    const std::optional<ResumeRecord> rec = ResumeRecord::readFrom(resumeFile);
    if (!rec)
        throw std::runtime_error("The resume file is damaged");
    app.OpenPath = rec->path;
    app.LastFolder = rec->path;
    if (rec->path.isEmpty() || !QFileInfo::exists(rec->path))
        return;
    resume(s, *rec, beforeOpen);
    s.afterLoad([&s] {
        if (s.volumeCount() > 0)
            keepPlace(s);
    });
}

void openHandedOver(ReadingSession &s, const QString &path)
{
    Program &app = s.program();
    const ResumeRecord before = s.snapshot();
    keep(app, before, s.finishedReading());
    const CommandLine named = CommandLine::parse(path);
    s.openNextAt(0, std::nullopt);
    s.Cmd_Folder = named.Cmd_Folder;
    s.Cmd_File = named.Cmd_File;
    openAtKeptPlace(s, path, [&] {
        try {
            s.openNamedPath();
        } catch (const std::exception &e) {
            app.logError(QString::fromLocal8Bit(e.what()));
        }
    });
    s.Cmd_Folder.clear();
    s.Cmd_File.clear();
    s.afterLoad([&s, &app, before] {
        if (returnToPlace(s, before))
            return;
        if (!app.IsArchive)
            app.LastFolder = app.OpenPath;
        if (s.volumeCount() > 0)
            keepPlace(s);
    });
}

bool returnToPlace(ReadingSession &s, const ResumeRecord &before)
{
    Program &app = s.program();
    const bool unlisted = app.OpenPath.isEmpty() || (app.IsArchive && app.ArchiveKind == ArchiveKind::None);
    if (before.volumeIndex < 0 || (s.volumeCount() > 0 && !unlisted))
        return false;
    app.OpenPath = before.path;
    app.IsArchive = before.isArchive;
    app.ArchiveKind = before.archiveKind;
    // Nothing was listed: the lists are still the book's own.
    if (s.volumeCount() > 0)
        return true;
    s.Cmd_Folder.clear();
    s.Cmd_File.clear();
    // The record's place in the view mode still in force.
    const int position = qMax<int>(before.pagePosition, 0);
    s.openNextAt(before.volumeIndex, position);
    try {
        s.Open_Source();
    } catch (const std::exception &e) {
        app.logError(QString::fromLocal8Bit(e.what()));
    }
    // Nothing opened: the kept place is not for a later book.
    s.afterLoad([&s, before] {
        if (s.volumeCount() == 0)
            s.openNextAt(before.volumeIndex, std::nullopt);
    });
    return s.loading() || s.volumeCount() > 0;
}

bool keepOnExit(ReadingSession &s, const QString &resumeFile)
{
    Program &app = s.program();
    keepPlace(s);
    if (s.finishedReading()) {
        // Neither the legacy unversioned file nor this version's record survives.
        QFile::remove(app.paths.dataFolder + QStringLiteral("/imgviewer_info.txt"));
        QFile::remove(resumeFile);
        return true;
    }
    if (!s.List1().isEmpty() || s.volumeCount() > 0) {
        if (!s.snapshot().writeTo(resumeFile))
            app.logError(QStringLiteral("The resume file cannot be written: ") + resumeFile);
    }
    if (!app.ErrorLog.isEmpty()) {
        QFile f(app.paths.errorLogFile());
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            const QString stamp = QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
            f.write((stamp + QStringLiteral("   ") + app.ErrorLog + QStringLiteral("\r\n")).toUtf8());
        }
    }
    return false;
}

void releaseReaders(ReadingSession &s)
{
    Program &app = s.program();
    s.Member_Table().discard();
    app.ZipReader.reset();
    app.RarReader.reset();
    Mo_Unzip::ClearFolder(app.paths.tmpZip(), QString(), app.paths.tmpZip(), app.ErrorLog);
}

} // namespace SessionLifecycle
