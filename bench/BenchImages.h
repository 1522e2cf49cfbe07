#pragma once
#include <QSize>
#include <QString>

// Writes a w x h JPEG (quality 90) that looks like a scanned photograph to dir/name
// and returns its path.
QString writePhotoLikeJpeg(const QString &dir, int w, int h, const QString &name, int seed = 42);
// What showing an image cannot avoid: reading its header and decoding it at the
// size shown (a JPEG at a reduced DCT size), read with the program decoder's settings.
void bareDecode(const QString &file, QSize shown);
