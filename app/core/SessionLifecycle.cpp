#include "core/SessionLifecycle.h"

#include "archive/ArchiveReader.h"
#include "archive/Mo_Unzip.h"
#include "archive/cUnzip.h"
#include "core/CommandLine.h"
#include "core/Program.h"
#include "core/ReadingSession.h"
#include "core/ResumeRecord.h"
#include "platform/IniRead.h"
#include "platform/LegacyCodePage.h"
#include "platform/Prompts.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <exception>
#include <stdexcept>

namespace SessionLifecycle {

void applyCodePageSetting(Program &app)
{
    const QString codePage =
        Ini_Read(app.paths, QStringLiteral("Archive"), QStringLiteral("CodePage"), QStringLiteral("CP949"));
    if (!LegacyCodePage::setName(codePage.trimmed().toLatin1()))
        app.logError(QStringLiteral("Unknown code page in the settings file: ") + codePage);
}

void loadLanguage(Program &app)
{
    if (Language::isEnglishSetting(Ini_Read(app.paths, QStringLiteral("Main"), QStringLiteral("Language"), QString())))
        app.lang.Lang_Mode = 1;
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
        s.openNamedPath();
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
}

void openHandedOver(ReadingSession &s, const QString &path)
{
    Program &app = s.program();
    const ResumeRecord before = s.snapshot();
    const CommandLine named = CommandLine::parse(path);
    s.openNextAt(0, std::nullopt);
    s.Cmd_Folder = named.Cmd_Folder;
    s.Cmd_File = named.Cmd_File;
    try {
        s.openNamedPath();
    } catch (const std::exception &e) {
        app.logError(QString::fromLocal8Bit(e.what()));
    }
    s.Cmd_Folder.clear();
    s.Cmd_File.clear();
    if (returnToPlace(s, before))
        return;
    if (!app.IsArchive)
        app.LastFolder = app.OpenPath;
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
    if (s.volumeCount() == 0)
        s.openNextAt(before.volumeIndex, std::nullopt);
    return s.volumeCount() > 0;
}

bool keepOnExit(ReadingSession &s, const QString &resumeFile)
{
    Program &app = s.program();
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
