#include "archive/ExtractBudget.h"
#include "platform/IniRead.h"
#include "platform/ProgramPaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
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

static qint64 capped(qint64 setting, qint64 available)
{
    return std::max<qint64>(0, std::min(setting, available - kFreeSpaceMargin));
}

qint64 forFolder(const QString &folder, qint64 setting)
{
    const QStorageInfo storage(folder);
    if (!storage.isValid())
        return setting;
    return capped(setting, storage.bytesAvailable());
}

static QFileInfoList plainFiles(const QString &folder)
{
    return QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, QDir::NoSort);
}

namespace {
// The running counts, by folder. Pages are extracted on the interface thread, but
// nothing here may assume it.
QMutex g_countLock;
QHash<QString, qint64> g_counts;

// What forPages read for a folder: the setting, and the free space with the
// folder's count at that moment (free < 0: no storage figure, the setting alone).
struct PagesBudget
{
    qint64 setting = 0;
    qint64 free = -1;
    qint64 usedThen = 0;
    QElapsedTimer age;
};
QHash<QString, PagesBudget> g_budgets;
constexpr qint64 kFreeSpaceFreshMs = 1000;

QString keyOf(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}
} // namespace

qint64 usedBy(const QString &folder)
{
    const QString key = keyOf(folder);
    {
        const QMutexLocker lock(&g_countLock);
        if (const auto it = g_counts.constFind(key); it != g_counts.cend())
            return *it;
    }
    qint64 used = 0;
    for (const QFileInfo &fi : plainFiles(folder))
        used += fi.size();
    const QMutexLocker lock(&g_countLock);
    g_counts.insert(key, used);
    return used;
}

void noteWritten(const QString &folder, qint64 bytes)
{
    const QMutexLocker lock(&g_countLock);
    // A folder not counted yet is counted whole when first asked.
    if (const auto it = g_counts.find(keyOf(folder)); it != g_counts.end())
        *it += bytes;
}

void forget(const QString &folder)
{
    const QMutexLocker lock(&g_countLock);
    g_counts.remove(keyOf(folder));
    g_budgets.remove(keyOf(folder));
}

qint64 forPages(const QString &folder, const ProgramPaths *paths)
{
    const QString key = keyOf(folder);
    const qint64 used = usedBy(folder);
    const auto budgetOf = [used](const PagesBudget &b) {
        // Written since the reading takes that much free space, a removal gives it back.
        return b.free < 0 ? b.setting : capped(b.setting, b.free - (used - b.usedThen));
    };
    qint64 setting = 0;
    {
        const QMutexLocker lock(&g_countLock);
        const auto it = g_budgets.constFind(key);
        if (it != g_budgets.cend()) {
            if (it->age.elapsed() < kFreeSpaceFreshMs && used <= budgetOf(*it))
                return budgetOf(*it);
            setting = it->setting;
        }
    }
    if (setting == 0)
        setting = settingOf(paths);
    PagesBudget b;
    b.setting = setting;
    b.usedThen = used;
    const QStorageInfo storage(folder);
    if (storage.isValid())
        b.free = storage.bytesAvailable();
    b.age.start();
    const QMutexLocker lock(&g_countLock);
    g_budgets.insert(key, b);
    return budgetOf(b);
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
    const QMutexLocker lock(&g_countLock);
    g_counts.insert(keyOf(folder), used);
}

} // namespace ExtractBudget
