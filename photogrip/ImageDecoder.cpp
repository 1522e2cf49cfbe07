#include "ImageDecoder.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace ImageDecoder {

namespace {

qint64 g_maxImageBytes = kDefaultMaxImageBytes;

// A JPEG decodes at down to 1/8 of its size in each direction (libjpeg's DCT
// scaling); its pixels are never held at a larger size than the one it is
// decoded at.
constexpr int kLargestDecodeReduction = 8;

// Bytes between a JPEG's markers worth looking through. A well-made file has
// none; past this many the markers are not told apart from noise.
constexpr qint64 kJpegJunkScanned = 64 * 1024;

// What a JPEG's markers before its first scan say about the decoder's memory.
struct JpegFrame
{
    bool isJpeg = false;
    // The decoder keeps the DCT coefficients of the whole image until the last
    // scan (a progressive JPEG, or one whose first scan leaves components to
    // later scans), whatever size it decodes to. Taken as so unless the markers
    // show a single scan.
    bool wholeCoefficients = true;
    // Those coefficients: 64 of 2 bytes per 8 x 8 block of every component.
    qint64 coefficientBytes = 0;
};

// The coefficients of a frame header (SOFn, without its marker and length).
qint64 coefficientBytes(const uchar *sof, int components)
{
    const qint64 height = qFromBigEndian<quint16>(sof + 1), width = qFromBigEndian<quint16>(sof + 3);
    auto sampling = [&](int c, int shift) { return std::max(1, (sof[7 + 3 * c] >> shift) & 15); };
    int hMax = 1, vMax = 1;
    for (int c = 0; c < components; ++c) {
        hMax = std::max(hMax, sampling(c, 4));
        vMax = std::max(vMax, sampling(c, 0));
    }
    qint64 bytes = 0;
    for (int c = 0; c < components; ++c) {
        const int h = sampling(c, 4), v = sampling(c, 0);
        // Blocks across and down, rounded up to whole units of the component's sampling.
        const qint64 across = (width * h + hMax * 8 - 1) / (hMax * 8);
        const qint64 down = (height * v + vMax * 8 - 1) / (vMax * 8);
        bytes += ((across + h - 1) / h * h) * ((down + v - 1) / v * v) * 128;
    }
    return bytes;
}

// Reads the markers up to the first scan and goes back to the file's start.
JpegFrame jpegFrame(QIODevice &file)
{
    JpegFrame out;
    uchar b[2];
    auto read = [&](int n) { return file.read(reinterpret_cast<char *>(b), n) == n; };
    out.isJpeg = read(2) && b[0] == 0xFF && b[1] == 0xD8;
    int components = 0;
    bool progressive = false;
    qint64 junk = 0;
    while (out.isJpeg && read(1)) {
        if (b[0] != 0xFF) {
            if (++junk > kJpegJunkScanned)
                break;
            continue;
        }
        uchar marker = 0xFF;
        while (marker == 0xFF && read(1))
            marker = b[0];
        // Markers standing alone: reset, start of image, temporary use.
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xFF || marker == 0xD9 || !read(2))
            break;
        const int length = qFromBigEndian<quint16>(b);
        if (length < 2)
            break;
        const qint64 next = file.pos() + length - 2;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            const QByteArray sof = file.read(length - 2);
            const auto *p = reinterpret_cast<const uchar *>(sof.constData());
            components = sof.size() >= 6 ? p[5] : 0;
            if (components == 0 || sof.size() < 6 + 3 * components)
                break;
            progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
            out.coefficientBytes = coefficientBytes(p, components);
        } else if (marker == 0xDA) {
            // The first scan, and the components it holds.
            if (components > 0 && read(1))
                out.wholeCoefficients = progressive || b[0] < components;
            break;
        }
        if (!file.seek(next))
            break;
    }
    if (!out.wholeCoefficients)
        out.coefficientBytes = 0;
    file.seek(0);
    return out;
}

void prepare(QImageReader &reader)
{
    // Qt's own guard for the allocation a handler makes, in megabytes. Ours is
    // checked first against the header; Qt's catches handlers that report no size.
    reader.setAllocationLimit(int(std::max<qint64>(1, g_maxImageBytes >> 20)));
    // The pixels as stored: page scans are shown the way the file has them.
    reader.setAutoTransform(false);
}

QSize reducedBy(QSize natural, int factor)
{
    return QSize((natural.width() + factor - 1) / factor, (natural.height() + factor - 1) / factor);
}

// What the header of an opened file declares, read through `reader`.
struct Header
{
    QSize natural;
    // Decodes to a smaller size without holding its natural size.
    bool scales = false;
    // Held beside the pixels whatever the decoded size: a multi-scan JPEG's
    // coefficients.
    qint64 wholeBytes = 0;
};

Header readHeader(QIODevice &file, QImageReader &reader)
{
    const JpegFrame jpeg = jpegFrame(file);
    Header h;
    h.natural = reader.size();
    h.scales = reader.supportsOption(QImageIOHandler::ScaledSize);
    if (jpeg.isJpeg && jpeg.wholeCoefficients) {
        // Its cost is its declared size: as coefficients when the frame tells
        // them, else as pixels.
        h.wholeBytes = jpeg.coefficientBytes;
        h.scales = h.scales && h.wholeBytes > 0;
    }
    return h;
}

qint64 pixelBytes(QSize size)
{
    return qint64(std::max(size.width(), 0)) * qint64(std::max(size.height(), 0)) * 4;
}

// Whether decoding at `held` pixels keeps within the limit.
bool holdingFits(const Header &h, QSize held)
{
    return held.width() >= 0 && held.height() >= 0 && h.wholeBytes + pixelBytes(held) <= g_maxImageBytes;
}

// Whether a declared size is worth decoding at all. A format that scales while
// decoding never holds its natural size, but one declaring more than sixteen
// times the limit is refused too: reading it costs seconds at any scale.
bool declaredFits(const Header &h)
{
    return fitsMemory(h.scales ? reducedBy(h.natural, 4) : h.natural) &&
           holdingFits(h, h.scales ? reducedBy(h.natural, kLargestDecodeReduction) : h.natural);
}

// Opens only regular files (or links to them): a pipe or a device found among
// the pages would block or never end.
bool openFile(QFile &file)
{
    return !file.fileName().isEmpty() && QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly);
}

} // namespace

qint64 maxImageBytes()
{
    return g_maxImageBytes;
}

void setMaxImageBytes(qint64 bytes)
{
    g_maxImageBytes = bytes > 0 ? bytes : kDefaultMaxImageBytes;
}

bool fitsMemory(QSize size)
{
    if (size.width() < 0 || size.height() < 0)
        return false;
    return qint64(size.width()) * qint64(size.height()) * 4 <= g_maxImageBytes;
}

QSize headerSize(const QString &path)
{
    QFile file(path);
    if (!openFile(file))
        return {};
    // The reader takes the format from the file's name as with a path.
    QImageReader reader(&file);
    prepare(reader);
    const Header header = readHeader(file, reader);
    const QSize size = header.natural;
    if (!size.isValid()) {
        // A handler that cannot tell its size from the header (rare): the
        // answer then costs a decode.
        if (!reader.canRead())
            return {};
        const Decoded d = decode(path);
        return d.image.isNull() ? QSize() : d.image.size();
    }
    if (size.isEmpty())
        return {};
    if (!declaredFits(header))
        return {};
    return size;
}

// Decodes what `reader` reads from `device` (opened, at its start).
static Decoded decodeFrom(QIODevice &device, QImageReader &reader, const TargetFor &targetFor)
{
    Decoded out;
    prepare(reader);
    const Header header = readHeader(device, reader);
    const QSize natural = header.natural;
    if (natural.isValid() && natural.isEmpty())
        return out;
    const QSize target = natural.isValid() && targetFor ? targetFor(natural) : QSize();
    const bool reduced = target.isValid() && !target.isEmpty() && target.width() < natural.width() &&
                         target.height() < natural.height() && reader.supportsOption(QImageIOHandler::ScaledSize);
    // Decoded at a reduced size, the pixels held are at most twice the target in
    // each direction (the next DCT scale up), or an eighth of the natural size
    // when the target is smaller still; never the natural size.
    const QSize held =
        reduced ? (target * 2).boundedTo(natural).expandedTo(reducedBy(natural, kLargestDecodeReduction)) : natural;
    if (natural.isValid() && (!declaredFits(header) || !holdingFits(header, held)))
        return out;
    if (reduced) {
        reader.setScaledSize(target);
        reader.setQuality(kScaledDecodeQuality);
    }
    if (!reader.read(&out.image)) {
        out.image = QImage();
        return out;
    }
    out.natural = natural.isValid() ? natural : out.image.size();
    return out;
}

Decoded decode(const QString &path, const TargetFor &targetFor)
{
    QFile file(path);
    if (!openFile(file))
        return {};
    // The reader takes the format from the file's name as with a path.
    QImageReader reader(&file);
    return decodeFrom(file, reader, targetFor);
}

Decoded decode(const QByteArray &bytes, const QByteArray &formatHint, const TargetFor &targetFor)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    // The hint only goes first: the content decides when it names another format.
    QImageReader reader(&buffer, formatHint);
    return decodeFrom(buffer, reader, targetFor);
}

QSize scaledSize(float w0, float h0, float width, float height)
{
    if (!(width > 0 || height > 0))
        return {};
    if (w0 > 0 && h0 > 0) {
        const float ratio = w0 / h0;
        if (width == 0)
            width = height * ratio;
        if (height == 0)
            height = width / ratio;
    }
    // Half to even, as the scaled bitmap's dimensions are rounded.
    const QSize size{int(std::nearbyint(double(width))), int(std::nearbyint(double(height)))};
    // A negative or vanishing side, or one past the memory limit, makes no bitmap.
    if (size.isEmpty() || !fitsMemory(size))
        return {};
    return size;
}

std::optional<QImage> decodeScaled(const QString &path, qint32 width, qint32 height)
{
    const float fw = float(width), fh = float(height);
    TargetFor targetFor;
    if (fw > 0 || fh > 0)
        targetFor = [fw, fh](QSize natural) { return scaledSize(float(natural.width()), float(natural.height()), fw, fh); };
    const Decoded d = decode(path, targetFor);
    if (d.image.isNull())
        return std::nullopt;
    // Alpha is dropped over black, as a device-dependent bitmap with background 0 shows it.
    const auto rgb32 = [](const QImage &img) {
        return img.format() == QImage::Format_RGB32 ? img : img.convertToFormat(QImage::Format_RGB32);
    };
    QImage scaled;
    const QSize size = scaledSize(float(d.natural.width()), float(d.natural.height()), fw, fh);
    if (size.isValid()) {
        scaled = rgb32(d.image.size() == size ? d.image
                                              : d.image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        if (scaled.size() != size)
            scaled = QImage();
    }
    // No size that can be made, or a scale that failed, keeps the picture as decoded.
    QImage picture = scaled.isNull() ? rgb32(d.image) : std::move(scaled);
    if (picture.isNull())
        return std::nullopt;
    return picture;
}

} // namespace ImageDecoder
