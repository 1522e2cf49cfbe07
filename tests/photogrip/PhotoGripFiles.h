#pragma once
// Image files made on the spot for the image-control tests.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <ostream>

// Readable QString values in test failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace PhotoGripFiles {

// A w x h PNG filled with color.
QString solidPng(const QString &dir, const QString &name, int w, int h, QColor color = Qt::red);
// A JPEG with smooth gradients (so scaling can be compared against a reference).
QString gradientJpeg(const QString &dir, const QString &name, int w, int h, int quality = 95);
// The same gradient as an image, for references.
QImage gradientImage(int w, int h);
// A left half in one grey and a right half in another: edges show a filter's kind.
QImage stepImage(int w, int h, int leftGrey, int rightGrey);
// A file holding exactly these bytes.
QString rawFile(const QString &dir, const QString &name, const QByteArray &bytes);
// Headers declaring a width x height image with no pixel data after them.
QByteArray pngHeader(quint32 width, quint32 height);
QByteArray jpegHeader(quint16 width, quint16 height);

} // namespace PhotoGripFiles
