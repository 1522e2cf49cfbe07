#include "platform/ProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

static bool folderIsWritable(const QString &folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.leafview-probe-XXXXXX"));
    return probe.open();
}

ProgramPaths ProgramPaths::forRunningProgram()
{
    ProgramPaths p;
    p.programFolder = QCoreApplication::applicationDirPath();
    p.executableName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (folderIsWritable(p.programFolder)) {
        p.dataFolder = p.programFolder;
    } else {
        p.dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        QDir().mkpath(p.dataFolder);
    }
    return p;
}

ProgramPaths ProgramPaths::inFolder(const QString &folder, const QString &executableName)
{
    ProgramPaths p;
    p.programFolder = QDir::cleanPath(folder);
    p.dataFolder = p.programFolder;
    p.executableName = executableName;
    return p;
}
