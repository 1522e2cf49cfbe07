#pragma once
// The one way the library turns a file into pixels. Every decode goes through
// here so that the size guard and the decoder's own reduced-size path apply to
// all callers alike.
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

namespace ImageDecoder {

// A decode whose pixels would need more than the limit is treated as
// undecodable. The default covers any page a reader meets (an 8000 x 8000 scan
// still fits; a larger JPEG is decoded at a reduced size anyway) and keeps a
// small hostile file from costing hundreds of megabytes and seconds per draw.
inline constexpr qint64 kDefaultMaxImageBytes = qint64(256) << 20;
qint64 maxImageBytes();
// The limit from the settings; 0 or less restores the default.
void setMaxImageBytes(qint64 bytes);

// The quality asked of the JPEG handler for a decode at a reduced size: its
// accurate IDCT and smooth final scaling (below 50 it would take the fast, blocky
// path).
inline constexpr int kScaledDecodeQuality = 100;

// True when an image of this size fits the memory limit at 32 bits per pixel.
bool fitsMemory(QSize size);

// The pixel size the file's header declares, without decoding the pixels.
// Invalid when the file is not a readable image or could not be decoded within
// the limit even at the smallest size its format decodes to.
QSize headerSize(const QString &path);

struct Decoded
{
    QImage image;     // null when the file could not be decoded
    QSize natural;    // the size the file declares
};

// Given the natural size from the header, the size the caller will scale to
// (invalid when it has none).
using TargetFor = std::function<QSize(QSize natural)>;

// Decodes the file. When targetFor gives a size below the natural size and the
// format can scale while decoding (JPEG: libjpeg's DCT scaling), the decoder
// produces exactly that size, reading at a reduced size not smaller than it and
// smoothing the rest; otherwise the image comes back at its natural size.
Decoded decode(const QString &path, const TargetFor &targetFor = {});
// The same for a file held in memory (a page read out of an archive), its
// format told by `formatHint` ("jpg", "png") when the content agrees.
Decoded decode(const QByteArray &bytes, const QByteArray &formatHint, const TargetFor &targetFor = {});

// The size a source of w0 x h0 is scaled to when asked for width x height: both
// given = exactly that; one zero = the other kept in the source's proportions;
// invalid when no picture of that size can be made.
QSize scaledSize(float w0, float h0, float width, float height);
// The image's own picture at width x height in 32-bit RGB (a zero side keeps the
// proportions, both zero the natural size), decoded at a reduced size where the
// format allows; nullopt when the file is not a readable image. Touches nothing
// but the file, so any thread may call it; the control draws through it too, so
// a picture made here is the control's to the pixel.
std::optional<QImage> decodeScaled(const QString &path, qint32 width, qint32 height);

} // namespace ImageDecoder
