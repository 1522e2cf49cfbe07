#include "archive/Mo_Unzip.h"
#include "archive/ExtractBudget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
struct ClearFailure
{
    QString description;
};

void clearOne(const QString &folder, const QString &keepFile, const QString &tmpZip)
{
    const QString root = QDir::cleanPath(folder);
    const QFileInfo rootInfo(root);
    // A missing folder has nothing to empty. A link standing where a folder is
    // expected is removed as a link: its target is not ours to touch.
    if (rootInfo.isSymLink()) {
        if (!QFile::remove(root))
            throw ClearFailure{QStringLiteral("Permission denied: ") + root};
        return;
    }
    if (!rootInfo.isDir())
        return;

    QDir dir(root);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    QStringList subFolders;
    for (const QFileInfo &e : entries) {
        const QString full = root + QLatin1Char('/') + e.fileName();
        if (e.isDir() && !e.isSymLink()) {
            subFolders << full;
            continue;
        }
        if (full == keepFile || e.absoluteFilePath() == keepFile)
            continue;
        if (!e.isSymLink()) {
            // Read-only pages must go too: give the owner write permission first.
            QFile::setPermissions(full, QFile::permissions(full) | QFileDevice::WriteOwner);
        }
        QFile f(full);
        if (!f.remove())
            throw ClearFailure{f.errorString() + QStringLiteral(": ") + full};
    }
    // Sub-folders only after the parent's enumeration, in the order found.
    for (const QString &sub : subFolders)
        clearOne(sub, QString(), tmpZip);

    if (root != QDir::cleanPath(tmpZip)) {
        if (!QDir().rmdir(root))
            throw ClearFailure{QStringLiteral("Path/File access error: ") + root};
    }
}
} // namespace

bool Mo_Unzip::ClearFolder(const QString &folder, const QString &keepFile, const QString &tmpZip, QString &errorLog)
{
    // What is left, even after a failure, is counted anew when next needed.
    ExtractBudget::forget(tmpZip);
    try {
        clearOne(folder, keepFile.isEmpty() ? QString() : QDir::cleanPath(keepFile), tmpZip);
        return true;
    } catch (const ClearFailure &f) {
        errorLog += QStringLiteral("\r\n") + f.description;
        return false;
    }
}
