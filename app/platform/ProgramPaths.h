#pragma once
#include <QString>

#include <functional>

// Where the program's files live. Read-only installation files (skin/, ocx/,
// program_info.htm, banner.html, the settings file) sit in the program folder;
// the files the program writes (resume file, imgviewer.ini, ErrorMsg.txt, the
// recent books) go into the data folder, which is the program folder when that
// is writable and the per-user data folder otherwise. TmpZip goes beside them,
// or, for an installed program, into the per-user runtime (or cache) folder:
// what it holds is thrown away at every volume switch and never needs keeping.
// The per-user settings file overrides the program folder's key by key. Tests
// point every folder anywhere.
struct ProgramPaths
{
    QString programFolder;    // no trailing "/"
    QString dataFolder;       // no trailing "/"
    QString executableName;   // without extension, e.g. "leafview"
    QString tempFolder;       // TmpZip's parent; empty: the data folder
    QString userConfigFolder; // the per-user settings file's folder; empty: none

    QString scratchRoot() const { return tempFolder.isEmpty() ? dataFolder : tempFolder; }
    QString tmpZip() const { return scratchRoot() + QStringLiteral("/TmpZip"); }
    QString skinFolder() const { return programFolder + QStringLiteral("/skin/"); }
    QString ocxFolder() const { return programFolder + QStringLiteral("/ocx/"); }
    QString settingsFile() const { return programFolder + QLatin1Char('/') + executableName + QStringLiteral(".ini"); }
    // $XDG_CONFIG_HOME/Leafview/leafview.ini for the running program; empty without a folder.
    QString userSettingsFile() const
    {
        return userConfigFolder.isEmpty() ? QString() : userConfigFolder + QStringLiteral("/leafview.ini");
    }
    QString exportFolderFile() const { return dataFolder + QStringLiteral("/imgviewer.ini"); }
    QString errorLogFile() const { return dataFolder + QStringLiteral("/ErrorMsg.txt"); }
    QString recentBooksFile() const { return dataFolder + QStringLiteral("/recent-books.json"); }

    // The same program with everything it writes, TmpZip included, in `folder`
    // (a headless run's or a worker's private folder): nothing it extracts can
    // meet the window's TmpZip.
    ProgramPaths writingInto(const QString &folder) const;

    // The running executable's folder, with the data folder chosen as above.
    static ProgramPaths forRunningProgram();
    // The same choice for any program folder; `writable` tells whether a folder
    // takes new files (tests stand in for a read-only installation with it).
    static ProgramPaths forProgramFolder(const QString &folder, const QString &executableName,
                                         const std::function<bool(const QString &)> &writable);
    // A test layout: both folders are `folder`.
    static ProgramPaths inFolder(const QString &folder, const QString &executableName = QStringLiteral("leafview"));
};
