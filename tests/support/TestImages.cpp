#include "TestImages.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>

bool TestImages::write(const QString &path, int w, int h, QColor color)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    return img.save(path);
}

void TestImages::writeVolumes(const QString &root, int top, int a, int b, int size)
{
    for (int i = 1; i <= top; ++i)
        writeWithFolders(root + QStringLiteral("/t%1.png").arg(i), size, size);
    for (int i = 1; i <= a; ++i)
        writeWithFolders(root + QStringLiteral("/a/p%1.png").arg(i), size, size);
    for (int i = 1; i <= b; ++i)
        writeWithFolders(root + QStringLiteral("/b/p%1.png").arg(i), size, size);
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
