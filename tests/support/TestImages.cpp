#include "TestImages.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

bool TestImages::write(const QString &path, int w, int h, QColor color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    return img.save(path);
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
    if (n > 0)
        QDir().mkpath(folder);
    for (int i = 1; i <= n; ++i)
        write(folder + QStringLiteral("/%1%2.png").arg(stem).arg(i), w, h, pageColour(i));
    return folder;
}

QByteArray TestImages::encoded(int w, int h, QColor color, const char *format)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    img.save(&out, format);
    return out.data();
}

bool TestImages::writeWithFolders(const QString &path, int w, int h, QColor color)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return write(path, w, h, color);
}

QByteArray TestImages::progressiveJpeg(int w, int h, QColor color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, "JPEG");
    writer.setProgressiveScanWrite(true);
    writer.write(img);
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
