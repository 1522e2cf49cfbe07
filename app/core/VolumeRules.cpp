#include "core/VolumeRules.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

QString VolumeRules::extensionOf(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return QLatin1Char('.') + (dot < 0 ? name : name.mid(dot + 1)).toLower();
}

bool VolumeRules::Is_ImageExt(const QString &ext)
{
    static const QStringList exts = {QStringLiteral(".jpeg"), QStringLiteral(".jpg"), QStringLiteral(".ani"),
                                     QStringLiteral(".bmp"),  QStringLiteral(".png"), QStringLiteral(".gif"),
                                     QStringLiteral(".img"),  QStringLiteral(".webp"), QStringLiteral(".tif"),
                                     QStringLiteral(".tiff")};
    return exts.contains(ext);
}

int VolumeRules::archiveKindOfExt(const QString &ext)
{
    if (ext == QLatin1String(".zip") || ext == QLatin1String(".cbz"))
        return 0;
    if (ext == QLatin1String(".rar") || ext == QLatin1String(".cbr"))
        return 1;
    if (ext == QLatin1String(".7z") || ext == QLatin1String(".cb7"))
        return 2;
    if (ext == QLatin1String(".tar") || ext == QLatin1String(".cbt"))
        return 3;
    return -1;
}

bool VolumeRules::isArchiveExt(const QString &ext)
{
    return archiveKindOfExt(ext) >= 0;
}

bool VolumeRules::isZipVolumeName(const QString &volumeName)
{
    const QString v = volumeName.toLower();
    return v.contains(QLatin1String(".zip")) || v.contains(QLatin1String(".cbz"));
}

bool VolumeRules::isJunkName(const QString &name)
{
    if (name.startsWith(QLatin1Char('.')))
        return name != QLatin1String(".") && name != QLatin1String("..");
    return name.compare(QLatin1String("__MACOSX"), Qt::CaseInsensitive) == 0;
}

bool VolumeRules::isJunkMember(const QString &folder, const QString &fileName)
{
    if (isJunkName(fileName))
        return true;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= folder.size(); ++i) {
        if (i == folder.size() || folder.at(i) == u'\\' || folder.at(i) == u'/') {
            if (isJunkName(folder.mid(start, i - start)))
                return true;
            start = i + 1;
        }
    }
    return false;
}

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

QStringList VolumeRules::deriveVolumes(MemberTable &table)
{
    QStringList names;
    for (int i = 1; i <= table.upper(); ++i) {
        MemberRecord &r = table.at(i);
        if (isJunkMember(r.folder, r.fileName))
            continue;
        if (r.folder.isEmpty()) {
            if (r.fileName.isEmpty() || !r.fileName.contains(QLatin1Char('.')))
                continue;
            const QString ext = extensionOf(r.fileName);
            if (Is_ImageExt(ext))
                r.volumeName = QStringLiteral("/");
            else if (isArchiveExt(ext))
                r.volumeName = r.fileName;
        } else {
            const bool mixedDeep = r.folder.count(QLatin1Char('\\')) >= 2 && r.folder.count(QLatin1Char('/')) >= 2;
            if (!mixedDeep && r.fileName.contains(QLatin1Char('.')) && Is_ImageExt(extensionOf(r.fileName)))
                r.volumeName = r.folder;
        }
    }
    // Distinct names in order of first appearance (exact comparison), found
    // through a set: an archive may hold as many folders as members.
    QSet<QString> seen;
    for (int i = 1; i <= table.upper(); ++i) {
        const QString &v = table.at(i).volumeName;
        if (!v.isEmpty() && !seen.contains(v)) {
            seen.insert(v);
            names << v;
        }
    }
    return names;
}

bool VolumeRules::isNestedArchiveVolume(const QString &volumeName)
{
    return volumeName.contains(QLatin1Char('.')) && archiveKindOfExt(extensionOf(volumeName)) >= 0;
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
    return pages;
}

std::vector<VolumeRules::NestedPage>
VolumeRules::nestedPages(int count, const std::function<std::pair<QString, QString>(int)> &member)
{
    std::vector<NestedPage> root, inner;
    for (int i = 1; i <= count; ++i) {
        const auto [folder, name] = member(i);
        if (name.isEmpty() || !name.contains(QLatin1Char('.')) || !Is_ImageExt(extensionOf(name)) ||
            isJunkMember(folder, name))
            continue;
        if (folder.isEmpty())
            root.push_back({i, name});
        else if (!folder.startsWith(QLatin1Char('/')) && root.empty())
            // An absolute member path names no place inside the archive.
            inner.push_back({i, QString(folder).replace(QLatin1Char('/'), QLatin1Char('\\')) + QLatin1Char('\\') + name});
    }
    return root.empty() ? inner : root;
}
