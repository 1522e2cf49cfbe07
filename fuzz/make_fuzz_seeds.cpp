// Writes the fuzz targets' seed inputs with the test support's writers:
//   make_fuzz_seeds FOLDER  ->  FOLDER/archive/*  and  FOLDER/image/*
// Third-party archives, when a fixtures folder is given as a second argument,
// are added beside them, never instead of them.
#include "RarWriter.h"
#include "SolidArchiveWriter.h"
#include "TestImages.h"
#include "ZipWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <cstdio>
#include <zlib.h>

namespace {
QByteArray pngBytes(int w, int h, QColor c, const char *format)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    return b;
}

bool put(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray gzipped(const QByteArray &data)
{
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(int(deflateBound(&z, uLong(data.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    const bool done = deflate(&z, Z_FINISH) == Z_STREAM_END;
    out.truncate(int(z.total_out));
    deflateEnd(&z);
    return done ? out : QByteArray();
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER [FIXTURES]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString arch = out + QStringLiteral("/archive"), imgs = out + QStringLiteral("/image");
    QDir().mkpath(arch);
    QDir().mkpath(imgs);
    bool ok = true;

    // Images: the first byte picks the extension the fuzz target names the file with.
    const QByteArray jpg = pngBytes(16, 12, Qt::red, "JPEG"), png = pngBytes(9, 7, Qt::green, "PNG");
    const QByteArray bmp = pngBytes(5, 3, Qt::blue, "BMP"), gif = pngBytes(4, 4, Qt::yellow, "GIF");
    ok &= put(imgs + QStringLiteral("/jpg"), QByteArray(1, char(0)) + jpg);
    ok &= put(imgs + QStringLiteral("/png"), QByteArray(1, char(1)) + png);
    ok &= put(imgs + QStringLiteral("/bmp"), QByteArray(1, char(2)) + bmp);
    if (!gif.isEmpty())
        ok &= put(imgs + QStringLiteral("/gif"), QByteArray(1, char(3)) + gif);
    ok &= put(imgs + QStringLiteral("/jpg-progressive"), QByteArray(1, char(0)) + TestImages::progressiveJpeg(16, 12));

    // Archives: both formats, folders, names in every form the readers decode.
    for (const auto version : {RarWriter::Version::Rar4, RarWriter::Version::Rar5}) {
        const QString tag = version == RarWriter::Version::Rar4 ? QStringLiteral("rar4") : QStringLiteral("rar5");
        RarWriter w(version);
        w.addFile(QStringLiteral("p1.jpg"), jpg);
        w.addFolder(QStringLiteral("vol 1"));
        w.addFile(QStringLiteral("vol 1/p2.png"), png);
        w.addFile(QStringLiteral("권/쪽.bmp"), bmp);
        ok &= w.write(arch + QLatin1Char('/') + tag);
        RarWriter solid(version);
        solid.setSolid(true);
        solid.addFile(QStringLiteral("a.jpg"), "aa");
        solid.addFile(QStringLiteral("b.jpg"), "bb");
        ok &= solid.write(arch + QLatin1Char('/') + tag + QStringLiteral("-solid"));
    }
    RarWriter raw(RarWriter::Version::Rar4);
    raw.addRawName(QByteArray("\xb1\xc7\\p.jpg"), "cp949");
    ok &= raw.write(arch + QStringLiteral("/rar4-raw"));
    {
        ZipWriter z(arch + QStringLiteral("/zip"));
        z.addFile(QStringLiteral("p1.jpg"), jpg, true);
        z.addFolder(QStringLiteral("vol/"));
        z.addFile(QStringLiteral("vol/p2.png"), png);
        z.addFile(QStringLiteral("vol/a[1].bmp"), bmp);
        z.addRawName(QByteArray("\xb1\xc7/p.jpg"), "cp949");
        z.addSymlink(QStringLiteral("link.jpg"), QStringLiteral("../../x"));
        ok &= z.close();
    }
    {
        ZipWriter z(arch + QStringLiteral("/zip-nested"));
        z.addFile(QStringLiteral("inner.rar"), fileBytes(arch + QStringLiteral("/rar5")));
        ok &= z.close();
    }
    {
        ZipWriter z(arch + QStringLiteral("/zip-crypt"), {QByteArray("zipcrypt"), QByteArray("pw")});
        z.addFile(QStringLiteral("secret.jpg"), "hidden");
        ok &= z.close();
    }

    // 7z (solid) and tar, read in one pass by the same reader as RAR.
    for (const auto &[name, format] : {std::pair{"7z", SolidArchiveWriter::Format::SevenZip},
                                       std::pair{"tar", SolidArchiveWriter::Format::Tar}}) {
        ok &= SolidArchiveWriter::write(arch + QLatin1Char('/') + QLatin1String(name), format,
                                        {{QStringLiteral("p1.jpg"), jpg},
                                         {QStringLiteral("vol 1/p2.png"), png},
                                         {QStringLiteral("권/쪽.bmp"), bmp},
                                         {QStringLiteral("vol 1/inner.zip"), fileBytes(arch + QStringLiteral("/zip"))}});
    }
    // Tar members that are hard links and sparse files.
    ok &= SolidArchiveWriter::writeTar(arch + QStringLiteral("/tar-links"),
                                       {{QStringLiteral("p1.jpg"), jpg},
                                        {QStringLiteral("p2.jpg"), {}, QStringLiteral("p1.jpg")},
                                        {QStringLiteral("p3.jpg"), {}, QStringLiteral("../p1.jpg")},
                                        {QStringLiteral("p4.tif"), {}, {}, 8192, {{0, 512}, {4096, 512}}}});
    // A .cbt compressed as a whole goes through the reader's filters.
    const QByteArray tarGz = gzipped(fileBytes(arch + QStringLiteral("/tar")));
    ok &= !tarGz.isEmpty() && put(arch + QStringLiteral("/tar-gz"), tarGz);

    if (argc > 2) {
        // Small third-party archives only: large ones slow every mutation down.
        QDir fixtures(QString::fromLocal8Bit(argv[2]));
        for (const QFileInfo &fi : fixtures.entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
            if (fi.size() <= 64 * 1024)
                QFile::copy(fi.absoluteFilePath(), arch + QStringLiteral("/fixture-") + fi.fileName());
        }
    }
    if (!ok)
        std::fprintf(stderr, "make_fuzz_seeds: could not write every seed into %s\n", argv[1]);
    return ok ? 0 : 1;
}
