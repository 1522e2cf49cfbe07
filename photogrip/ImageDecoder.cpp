#include "ImageDecoder.h"

#include <QFileInfo>
#include <algorithm>
#include <QImageIOHandler>
#include <QImageReader>

namespace ImageDecoder {

namespace {

qint64 g_maxImageBytes = kDefaultMaxImageBytes;

// A JPEG decodes at down to 1/8 of its size in each direction (libjpeg's DCT
// scaling); its pixels are never held at a larger size than the one it is
// decoded at.
constexpr int kLargestDecodeReduction = 8;

// Only regular files (or links to them) are read: opening a pipe or a device
// found among the pages would block or never end.
bool isReadableFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
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

// Whether a declared size is worth decoding at all. A format that scales while
// decoding never holds its natural size, but one declaring more than sixteen
// times the limit is refused too: reading it costs seconds at any scale.
bool declaredFits(QSize natural, bool scales)
{
    return fitsMemory(scales ? reducedBy(natural, 4) : natural);
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
    if (!isReadableFile(path))
        return {};
    QImageReader reader(path);
    prepare(reader);
    QSize size = reader.size();
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
    if (!declaredFits(size, reader.supportsOption(QImageIOHandler::ScaledSize)))
        return {};
    return size;
}

Decoded decode(const QString &path, const TargetFor &targetFor)
{
    Decoded out;
    if (!isReadableFile(path))
        return out;
    QImageReader reader(path);
    prepare(reader);
    const QSize natural = reader.size();
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
    if (natural.isValid() &&
        (!declaredFits(natural, reader.supportsOption(QImageIOHandler::ScaledSize)) || !fitsMemory(held)))
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

} // namespace ImageDecoder
