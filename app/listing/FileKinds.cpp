#include "listing/FileKinds.h"

#include <QSet>
#include <QStringList>

QString FileKinds::extensionOf(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return QLatin1Char('.') + (dot < 0 ? name : name.mid(dot + 1)).toLower();
}

bool FileKinds::Is_ImageExt(const QString &ext)
{
    static const QStringList exts = {QStringLiteral(".jpeg"), QStringLiteral(".jpg"), QStringLiteral(".ani"),
                                     QStringLiteral(".bmp"),  QStringLiteral(".png"), QStringLiteral(".gif"),
                                     QStringLiteral(".img"),  QStringLiteral(".webp"), QStringLiteral(".tif"),
                                     QStringLiteral(".tiff")};
    return exts.contains(ext);
}

ArchiveKind FileKinds::archiveKindOfExt(const QString &ext)
{
    if (ext == QLatin1String(".zip") || ext == QLatin1String(".cbz"))
        return ArchiveKind::Zip;
    if (ext == QLatin1String(".rar") || ext == QLatin1String(".cbr"))
        return ArchiveKind::Rar;
    if (ext == QLatin1String(".7z") || ext == QLatin1String(".cb7"))
        return ArchiveKind::SevenZip;
    if (ext == QLatin1String(".tar") || ext == QLatin1String(".cbt"))
        return ArchiveKind::Tar;
    return ArchiveKind::None;
}

bool FileKinds::isArchiveExt(const QString &ext)
{
    return archiveKindOfExt(ext) != ArchiveKind::None;
}

bool FileKinds::isZipVolumeName(const QString &volumeName)
{
    const QString v = volumeName.toLower();
    return v.contains(QLatin1String(".zip")) || v.contains(QLatin1String(".cbz"));
}

bool FileKinds::isNestedArchiveVolume(const QString &volumeName)
{
    return volumeName.contains(QLatin1Char('.')) && isArchiveExt(extensionOf(volumeName));
}

bool FileKinds::isJunkName(const QString &name)
{
    if (name.startsWith(QLatin1Char('.')))
        return name != QLatin1String(".") && name != QLatin1String("..");
    return name.compare(QLatin1String("__MACOSX"), Qt::CaseInsensitive) == 0;
}

bool FileKinds::isJunkMember(const QString &folder, const QString &fileName)
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

namespace {
// "p.jpg" -> "p~2.jpg" (or ~3, ...): the first such name nobody has.
QString distinctName(const QString &name, QSet<QString> &taken)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > 0 ? name.left(dot) : name, ext = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString candidate = stem + QStringLiteral("~%1").arg(n) + ext;
        if (!taken.contains(candidate)) {
            taken.insert(candidate);
            return candidate;
        }
    }
}
} // namespace

std::vector<bool> FileKinds::makeDistinct(QStringList &names)
{
    std::vector<bool> renamed(std::size_t(names.size()), false);
    QSet<QString> taken(names.cbegin(), names.cend()), given;
    for (qsizetype k = 0; k < names.size(); ++k) {
        if (given.contains(names[k])) {
            names[k] = distinctName(names[k], taken);
            renamed[std::size_t(k)] = true;
        }
        given.insert(names[k]);
    }
    return renamed;
}

std::vector<FileKinds::NestedPage>
FileKinds::nestedPages(int count, const std::function<std::pair<QString, QString>(int)> &member)
{
    std::vector<NestedPage> root, inner;
    for (int i = 1; i <= count; ++i) {
        const auto [folder, name] = member(i);
        if (name.isEmpty() || !name.contains(QLatin1Char('.')) || !Is_ImageExt(extensionOf(name)) ||
            isJunkMember(folder, name))
            continue;
        if (folder.isEmpty())
            root.push_back({i, name, name, false});
        else if (!folder.startsWith(QLatin1Char('/')) && root.empty())
            // An absolute member path names no place inside the archive.
            inner.push_back(
                {i, QString(folder).replace(QLatin1Char('/'), QLatin1Char('\\')) + QLatin1Char('\\') + name, name, false});
    }
    std::vector<NestedPage> pages = root.empty() ? std::move(inner) : std::move(root);
    QStringList entries;
    for (const NestedPage &page : pages)
        entries << page.entry;
    const std::vector<bool> renamed = makeDistinct(entries);
    for (std::size_t k = 0; k < pages.size(); ++k) {
        NestedPage &page = pages[k];
        // The suffix goes before the extension, inside the name part of the entry.
        const qsizetype folderPart = page.entry.size() - page.name.size();
        page.entry = entries[qsizetype(k)];
        page.name = page.entry.mid(folderPart);
        page.renamed = renamed[k];
    }
    return pages;
}
