#include "listing/FileKinds.h"

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

int FileKinds::archiveKindOfExt(const QString &ext)
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

bool FileKinds::isArchiveExt(const QString &ext)
{
    return archiveKindOfExt(ext) >= 0;
}

bool FileKinds::isZipVolumeName(const QString &volumeName)
{
    const QString v = volumeName.toLower();
    return v.contains(QLatin1String(".zip")) || v.contains(QLatin1String(".cbz"));
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
            root.push_back({i, name});
        else if (!folder.startsWith(QLatin1Char('/')) && root.empty())
            // An absolute member path names no place inside the archive.
            inner.push_back({i, QString(folder).replace(QLatin1Char('/'), QLatin1Char('\\')) + QLatin1Char('\\') + name});
    }
    return root.empty() ? inner : root;
}
