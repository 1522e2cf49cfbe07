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

ProgramPaths ProgramPaths::writingInto(const QString &folder) const
{
    ProgramPaths p = *this;
    p.dataFolder = folder;
    p.tempFolder.clear();
    return p;
}

ProgramPaths ProgramPaths::forRunningProgram()
{
    return forProgramFolder(QCoreApplication::applicationDirPath(),
                            QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(), folderIsWritable);
}

ProgramPaths ProgramPaths::forProgramFolder(const QString &folder, const QString &executableName,
                                            const std::function<bool(const QString &)> &writable)
{
    ProgramPaths p;
    p.programFolder = QDir::cleanPath(folder);
    p.executableName = executableName;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty())
        p.userConfigFolder = config + QStringLiteral("/Leafview");
    if (writable(p.programFolder)) {
        p.dataFolder = p.programFolder;
        return p;
    }
    p.dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(p.dataFolder);
    // The runtime folder is the user's own and emptied at logout; Qt's own choice
    // of it invents a folder under /tmp when the session has none, so only a
    // folder the session names is taken.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir() &&
        writable(runtime)) {
        p.tempFolder = QDir::cleanPath(runtime) + QStringLiteral("/Leafview");
    } else {
        p.tempFolder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    }
    if (p.tempFolder.isEmpty() || !QDir().mkpath(p.tempFolder))
        p.tempFolder.clear();
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
