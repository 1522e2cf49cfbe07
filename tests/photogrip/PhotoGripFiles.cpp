#include "PhotoGripFiles.h"

#include <QFile>
#include <QImageWriter>
#include <QtEndian>
#include <cmath>

namespace PhotoGripFiles {

QString solidPng(const QString &dir, const QString &name, int w, int h, QColor color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    const QString path = dir + QLatin1Char('/') + name;
    img.save(path, "png");
    return path;
}

QImage gradientImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(255 * x / w, 255 * y / h, int(127 + 100 * std::sin((x + y) / 40.0))));
    return img;
}

QString gradientJpeg(const QString &dir, const QString &name, int w, int h, int quality)
{
    const QString path = dir + QLatin1Char('/') + name;
    QImageWriter writer(path, "jpeg");
    writer.setQuality(quality);
    writer.write(gradientImage(w, h));
    return path;
}

QImage stepImage(int w, int h, int leftGrey, int rightGrey)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(rightGrey, rightGrey, rightGrey));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x)
            img.setPixel(x, y, qRgb(leftGrey, leftGrey, leftGrey));
    return img;
}

QString rawFile(const QString &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir + QLatin1Char('/') + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

namespace {

void putBE32(QByteArray &b, quint32 v)
{
    char c[4];
    qToBigEndian(v, c);
    b.append(c, 4);
}

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xffffffffu;
    for (const char ch : data) {
        crc ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xffffffffu;
}

} // namespace

QByteArray jpegHeader(quint16 width, quint16 height)
{
    QByteArray b("\xFF\xD8", 2);
    // One quantisation table, a one-component baseline frame, and the scan header.
    b.append("\xFF\xDB\x00\x43\x00", 5);
    b.append(QByteArray(64, '\x01'));
    b.append("\xFF\xC0\x00\x0B\x08", 5);
    char c[2];
    qToBigEndian(height, c);
    b.append(c, 2);
    qToBigEndian(width, c);
    b.append(c, 2);
    b.append("\x01\x01\x11\x00", 4);
    b.append("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);
    b.append("\x00\x00\xFF\xD9", 4);
    return b;
}

QByteArray pngHeader(quint32 width, quint32 height)
{
    QByteArray b("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr("IHDR");
    putBE32(ihdr, width);
    putBE32(ihdr, height);
    ihdr.append(char(8));  // bit depth
    ihdr.append(char(2));  // truecolour
    ihdr.append(char(0));
    ihdr.append(char(0));
    ihdr.append(char(0));
    putBE32(b, 13);
    b.append(ihdr);
    putBE32(b, crc32(ihdr));
    // The header is only reported once the reader sees the first data chunk.
    QByteArray idat("IDAT\x78\x9c", 6);
    putBE32(b, 2);
    b.append(idat);
    putBE32(b, crc32(idat));
    putBE32(b, 0);
    b.append("IEND");
    putBE32(b, crc32("IEND"));
    return b;
}

} // namespace PhotoGripFiles
