#include "archive/ExtractBudget.h"
#include "platform/IniRead.h"
#include "platform/ProgramPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace ExtractBudget {

qint64 settingOf(const ProgramPaths *paths)
{
    if (!paths)
        return kDefaultBytes;
    bool ok = false;
    const qint64 mb = Ini_Read(*paths, QStringLiteral("Limits"), QStringLiteral("VolumeExtractMB"), QString()).toLongLong(&ok);
    return ok && mb > 0 && mb < (qint64(1) << 40) ? mb << 20 : kDefaultBytes;
}

qint64 forFolder(const QString &folder, qint64 setting)
{
    const QStorageInfo storage(folder);
    if (!storage.isValid())
        return setting;
    return std::max<qint64>(0, std::min(setting, storage.bytesAvailable() - kFreeSpaceMargin));
}

static QFileInfoList plainFiles(const QString &folder)
{
    return QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, QDir::NoSort);
}

qint64 usedBy(const QString &folder)
{
    qint64 used = 0;
    for (const QFileInfo &fi : plainFiles(folder))
        used += fi.size();
    return used;
}

void makeRoom(const QString &folder, qint64 target, const QString &keep)
{
    QFileInfoList files = plainFiles(folder);
    qint64 used = 0;
    for (const QFileInfo &fi : files)
        used += fi.size();
    std::sort(files.begin(), files.end(),
              [](const QFileInfo &a, const QFileInfo &b) { return a.lastModified() < b.lastModified(); });
    const QString kept = keep.isEmpty() ? QString() : QFileInfo(keep).absoluteFilePath();
    for (const QFileInfo &fi : files) {
        if (used <= target)
            break;
        if (fi.absoluteFilePath() == kept)
            continue;
        if (QFile::remove(fi.absoluteFilePath()))
            used -= fi.size();
    }
}

} // namespace ExtractBudget
