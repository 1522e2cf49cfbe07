#include "ImageDecoder.h"

#include <QFileInfo>
#include <QImageIOHandler>
#include <QImageReader>

namespace ImageDecoder {

namespace {

// Qt's own guard, in megabytes, for the allocation a handler makes. Ours is
// checked first against the header; Qt's catches handlers that report no size.
constexpr int kAllocationLimitMb = int(kMaxImageBytes >> 20);

// Asks the JPEG handler for its accurate IDCT and smooth final scaling when it
// decodes at a reduced size (below 50 it would take the fast, blocky path).
constexpr int kScaledDecodeQuality = 100;

// Only regular files (or links to them) are read: opening a pipe or a device
// found among the pages would block or never end.
bool isReadableFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

void prepare(QImageReader &reader)
{
    reader.setAllocationLimit(kAllocationLimitMb);
    // The pixels as stored: page scans are shown the way the file has them.
    reader.setAutoTransform(false);
}

} // namespace

bool fitsMemory(QSize size)
{
    if (size.width() < 0 || size.height() < 0)
        return false;
    return qint64(size.width()) * qint64(size.height()) * 4 <= kMaxImageBytes;
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
    if (size.isEmpty() || !fitsMemory(size))
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
    if (natural.isValid() && (natural.isEmpty() || !fitsMemory(natural)))
        return out;
    const QSize target = natural.isValid() && targetFor ? targetFor(natural) : QSize();
    if (target.isValid() && !target.isEmpty() && target.width() < natural.width() &&
        target.height() < natural.height() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
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
