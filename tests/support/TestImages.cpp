#include "TestImages.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

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
