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
