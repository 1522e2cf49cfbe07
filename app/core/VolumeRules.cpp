#include "core/VolumeRules.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

QString VolumeRules::folderRoot(const QString &openPath)
{
    QString root = openPath;
    while (root.contains(QLatin1String("//")))
        root.replace(QLatin1String("//"), QLatin1String("/"));
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    return root;
}

static QStringList entriesOf(const QString &folder)
{
    // Unsorted: the order of records never decides the order of pages or volumes.
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo fi = it.fileInfo();
        if (!VolumeRules::isJunkName(fi.fileName()))
            out << (fi.isDir() ? fi.fileName() + QLatin1Char('/') : fi.fileName());
    }
    return out;
}

bool VolumeRules::scanFolder(const QString &openPath, bool commandFilePending, MemberTable &table)
{
    const QString root = folderRoot(openPath);
    const QStringList all = entriesOf(root);
    if (all.isEmpty())
        return false;

    table.discard();
    table.dimension(0);
    for (const QString &entry : all) {
        if (entry.endsWith(QLatin1Char('/'))) {
            if (commandFilePending)
                continue;
            const QString sub = root + entry;
            QDirIterator it(sub, QDir::Files | QDir::Hidden | QDir::System);
            while (it.hasNext()) {
                it.next();
                const QString name = it.fileName();
                if (!isJunkName(name) && name.contains(QLatin1Char('.')) && Is_ImageExt(extensionOf(name)))
                    table.append({name, entry, entry});
            }
        } else if (entry.contains(QLatin1Char('.'))) {
            const QString ext = extensionOf(entry);
            if (Is_ImageExt(ext))
                table.append({entry, QString(), QStringLiteral("/")});
            else if (isArchiveExt(ext))
                table.append({entry, QString(), entry});
        }
    }
    return true;
}

QHash<QString, QStringList> VolumeRules::pageEntriesByVolume(const MemberTable &table, bool isArchive,
                                                             const QString &openPath)
{
    QHash<QString, QStringList> pages;
    const QString root = folderRoot(openPath);
    for (int i = 1; i <= table.upper(); ++i) {
        const MemberRecord &r = table.at(i);
        if (r.volumeName.isEmpty() || isNestedArchiveVolume(r.volumeName))
            continue;
        pages[r.volumeName] << (isArchive ? r.fileName : root + r.folder + r.fileName);
    }
    // Named as the volume's selection names them: a later member of a name taken
    // gets its suffix, in archive order.
    if (isArchive)
        for (QStringList &names : pages)
            makeDistinct(names);
    return pages;
}

QString VolumeRules::shownName(const QString &volume, int volumeCount, const QString &openPath)
{
    if (volumeCount != 1 || (volume != QLatin1String("/") && volume != QLatin1String(".")))
        return volume;
    const QString book = QFileInfo(QDir::cleanPath(openPath)).fileName();
    return book.isEmpty() ? volume : book;
}
