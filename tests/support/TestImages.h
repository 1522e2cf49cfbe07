#pragma once
#include <QColor>
#include <QString>

// Writes small real image files for tests.
namespace TestImages {
// Writes a w x h image filled with `color` to path (format from the extension),
// making every missing parent folder.
bool write(const QString &path, int w, int h, QColor color = Qt::red);
// A book folder: pages t1..t`top` at `root`, p1..p`a` in a/ and p1..p`b` in b/ (size x size).
void writeVolumes(const QString &root, int top, int a, int b, int size = 8);
// Page i (from 1) in a colour of its own; the six colours then repeat.
QColor pageColour(int i);
// Pages <stem>1.png .. <stem>n.png, w x h, each in its pageColour, in `folder` (made
// if missing); returns the folder.
QString writePages(const QString &folder, int n, int w, int h, const QString &stem = QStringLiteral("p"));
// The file bytes of such an image in `format` ("PNG", "JPG", ...).
QByteArray encoded(int w, int h, QColor color = Qt::red, const char *format = "PNG");
// A progressive JPEG of such an image (its frame marker is SOF2).
QByteArray progressiveJpeg(int w, int h, QColor color = Qt::red);
// An 8-bit run-length BMP of about a kilobyte whose header declares w x h; its one
// run code ends the bitmap, which a decoder would still have to allocate whole.
QByteArray rleBitmap(qint32 w, qint32 h);
// A real 8-bit RGB PNG of w x h pixels all of one grey, a few bytes per
// thousand pixels: made without holding its pixels.
QByteArray flatPng(quint32 w, quint32 h);
} // namespace TestImages
