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

bool resume(ReadingSession &s, const ResumeRecord &rec, const std::function<void()> &beforeOpen)
{
    Program &app = s.program();
    s.Is_Resumed = true;
    app.IsArchive = rec.isArchive;
    s.I_ViewMode = rec.viewMode == 2 ? 2 : 1;
    s.Page_Index = rec.pagePosition < 0 ? 0 : rec.pagePosition;
    s.Sel_Volume = rec.volumeIndex;
    app.ArchiveKind = rec.archiveKind;
    // Each change runs that box's handler; the page list is still empty.
    s.setOption(ReadingSession::Hundred, rec.hundred == 1);
    s.setOption(ReadingSession::BookEffect, rec.effect == 1);
    s.setOption(ReadingSession::Sharpen, rec.sharpen == 1);
    if (rec.rightToLeft)
        s.setOption(ReadingSession::RightToLeft, true);
    if (beforeOpen)
        beforeOpen();
    s.Open_Source();
    if (s.I_ViewMode != 2)
        return false;
    // The stored spread index becomes a page index; the option's rule turns it
    // back into a spread index and the handler draws.
    s.Page_Index = qint16(s.Page_Index * 2);
    if (s.setOption(ReadingSession::TwoPage, true))
        return false;
    s.Page_Index = ReadingSession::spreadOfPage(s.Page_Index);
    return true;
}

bool openAtStart(ReadingSession &s, const QString &resumeFile, const std::function<void()> &beforeOpen)
{
    Program &app = s.program();
    if (!s.Cmd_Folder.isEmpty() || !s.Cmd_File.isEmpty()) {
        s.openNamedPath();
        return false;
    }
    if (const std::optional<ResumeRecord> kept = ResumeRecord::readFrom(resumeFile);
        kept && (kept->path.isEmpty() || !QFileInfo::exists(kept->path))) {
        // Its record goes too, so the question does not come back at every start.
        QFile::remove(resumeFile);
        return false;
    }
    if (!QFileInfo::exists(resumeFile))
        return false;
    const MsgResult answer = app.prompts->messageBox(s.promptOwner, app.lang.Msg_ResumeTitle, app.lang.Msg_ResumeQuestion,
                                                     MsgIcon::Question, MsgButtons::YesNo);
    if (answer != MsgResult::Yes)
        return false;
    const std::optional<ResumeRecord> rec = ResumeRecord::readFrom(resumeFile);
    if (!rec)
        throw std::runtime_error("The resume file is damaged");
    app.OpenPath = rec->path;
    app.LastFolder = rec->path;
    if (rec->path.isEmpty() || !QFileInfo::exists(rec->path))
        return false;
    return resume(s, *rec, beforeOpen);
}

void openHandedOver(ReadingSession &s, const QString &path)
{
    Program &app = s.program();
    const ResumeRecord before = s.snapshot();
    const CommandLine named = CommandLine::parse(path);
    s.Sel_Volume = 0;
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
    s.Sel_Volume = before.volumeIndex;
    s.Page_Index = before.pagePosition;
    s.Is_Resumed = true;
    try {
        s.Open_Source();
    } catch (const std::exception &e) {
        app.logError(QString::fromLocal8Bit(e.what()));
    }
    s.Is_Resumed = false;
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
