#pragma once
#include <QString>

// Writes a w x h JPEG (quality 90) that looks like a scanned photograph to dir/name
// and returns its path.
QString writePhotoLikeJpeg(const QString &dir, int w, int h, const QString &name, int seed = 42);
