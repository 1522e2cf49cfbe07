#pragma once
#include <QString>

// Where the program's files live. Read-only installation files (skin/, ocx/,
// program_info.htm, banner.html, the settings file) sit in the program folder;
// the files the program writes (resume file, imgviewer.ini, ErrorMsg.txt,
// TmpZip/) go into the data folder, which is the program folder when that is
// writable and the per-user data folder otherwise. Tests point both anywhere.
struct ProgramPaths
{
    QString programFolder;  // no trailing "/"
    QString dataFolder;     // no trailing "/"
    QString executableName; // without extension, e.g. "leafview"

    QString tmpZip() const { return dataFolder + QStringLiteral("/TmpZip"); }
    QString skinFolder() const { return programFolder + QStringLiteral("/skin/"); }
    QString ocxFolder() const { return programFolder + QStringLiteral("/ocx/"); }
    QString settingsFile() const { return programFolder + QLatin1Char('/') + executableName + QStringLiteral(".ini"); }
    QString exportFolderFile() const { return dataFolder + QStringLiteral("/imgviewer.ini"); }
    QString errorLogFile() const { return dataFolder + QStringLiteral("/ErrorMsg.txt"); }

    // The running executable's folder, with the data folder chosen as above.
    static ProgramPaths forRunningProgram();
    // A test layout: both folders are `folder`.
    static ProgramPaths inFolder(const QString &folder, const QString &executableName = QStringLiteral("leafview"));
};
