#include "ComicArchive.h"
#include "RarWriter.h"
#include "TestImages.h"
#include "ZipWriter.h"

namespace ComicArchive {
QStringList pageNames()
{
    QStringList names;
    for (int i = 1; i <= 5; ++i)
        names << QStringLiteral("Comic#1_%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
    return names;
}

QColor pageShade(int page)
{
    return QColor::fromHsv(page * 70, 200, 220);
}

QString write(const QString &path)
{
    Files members;
    const QStringList names = pageNames();
    for (int i = 0; i < names.size(); ++i)
        members.emplace_back(folder + QLatin1Char('/') + names[i], TestImages::encoded(114, 160, pageShade(i), "JPG"));
    const QByteArray info("<?xml version=\"1.0\"?>\n<ComicInfo><Series>Comic</Series><Number>1</Number></ComicInfo>\n");
    members.emplace_back(folder + QStringLiteral("/comicinfo.xml"), info);
    members.emplace_back(QStringLiteral("comicinfo.xml"), info);
    if (path.endsWith(QLatin1String(".cbz")) || path.endsWith(QLatin1String(".zip")))
        return makeZip(path, members);
    return makeRar(path, RarWriter::Version::Rar5, members);
}
} // namespace ComicArchive
