#include "TestImages.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>
#include <zlib.h>

static QImage filled(int w, int h, QColor color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    return img;
}

bool TestImages::write(const QString &path, int w, int h, QColor color)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return filled(w, h, color).save(path);
}

void TestImages::writeVolumes(const QString &root, int top, int a, int b, int size)
{
    writePages(root, top, size, size, QStringLiteral("t"));
    writePages(root + QStringLiteral("/a"), a, size, size);
    writePages(root + QStringLiteral("/b"), b, size, size);
}

QColor TestImages::pageColour(int i)
{
    static const QColor colours[] = {QColor(200, 30, 30),  QColor(30, 200, 30),  QColor(30, 30, 200),
                                     QColor(200, 200, 30), QColor(30, 200, 200), QColor(200, 30, 200)};
    return colours[(i - 1) % 6];
}

QString TestImages::writePages(const QString &folder, int n, int w, int h, const QString &stem)
{
    for (int i = 1; i <= n; ++i)
        write(folder + QStringLiteral("/%1%2.png").arg(stem).arg(i), w, h, pageColour(i));
    return folder;
}

QByteArray TestImages::encoded(int w, int h, QColor color, const char *format)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    filled(w, h, color).save(&out, format);
    return out.data();
}

QByteArray TestImages::progressiveJpeg(int w, int h, QColor color)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, "JPEG");
    writer.setProgressiveScanWrite(true);
    writer.write(filled(w, h, color));
    return out.data();
}

QByteArray TestImages::rleBitmap(qint32 w, qint32 h)
{
    QByteArray b(14 + 40 + 256 * 4, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, b.data() + at); };
    b[0] = 'B';
    b[1] = 'M';
    put32(10, quint32(b.size()));
    put32(14, 40);
    put32(18, quint32(w));
    put32(22, quint32(h));
    put16(26, 1);
    put16(28, 8);
    put32(30, 1); // BI_RLE8
    put32(46, 256);
    b += QByteArray("\x00\x01", 2);
    put32(2, quint32(b.size()));
    put32(34, 2);
    return b;
}

QByteArray TestImages::flatPng(quint32 w, quint32 h)
{
    const auto chunk = [](const char *type, const QByteArray &data) {
        QByteArray c(4, '\0');
        qToBigEndian(quint32(data.size()), c.data());
        const QByteArray body = QByteArray(type) + data;
        QByteArray crc(4, '\0');
        qToBigEndian(quint32(::crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size()))),
                     crc.data());
        return c + body + crc;
    };
    QByteArray ihdr(13, '\0');
    qToBigEndian(w, ihdr.data());
    qToBigEndian(h, ihdr.data() + 4);
    ihdr[8] = 8; // bits per sample
    ihdr[9] = 2; // RGB
    // Each row: filter "none" and w grey pixels, deflated row by row.
    const QByteArray row = QByteArray(1, '\0') + QByteArray(int(w) * 3, '\x80');
    z_stream z{};
    deflateInit(&z, Z_BEST_SPEED);
    QByteArray idat;
    char out[64 * 1024];
    for (quint32 y = 0; y <= h; ++y) {
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(row.constData()));
        z.avail_in = y < h ? uInt(row.size()) : 0;
        do {
            z.next_out = reinterpret_cast<Bytef *>(out);
            z.avail_out = sizeof out;
            deflate(&z, y < h ? Z_NO_FLUSH : Z_FINISH);
            idat.append(out, int(sizeof out - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + chunk("IDAT", idat) + chunk("IEND", {});
}
