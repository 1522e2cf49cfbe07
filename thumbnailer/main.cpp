// leafview-thumbnailer -s SIZE INPUT OUTPUT: the file manager's picture of a
// book, its first page with the longest side SIZE, written as PNG to OUTPUT.
// It runs on whatever file the desktop meets, so every cost is bounded: the
// page is read into memory and nowhere else, under limits well below the
// reader's, and anything odd ends it with a non-zero status and no output.
#include "ImageDecoder.h"
#include "archive/CoverPage.h"
#include "archive/TmpZipWriter.h"
#include "listing/FileKinds.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace {
// A page scan is a few MiB; the reader itself takes members up to its
// extraction limit, but a picture for an icon need not.
constexpr qint64 kMemberBytes = qint64(32) << 20;
// What passing the members before the page may unpack (see MemberBytes).
constexpr qint64 kPassedBytes = qint64(128) << 20;
// Decoded pixels: a quarter of the reader's limit. A JPEG scan decodes at a
// reduced size anyway; a page in another format up to 16 megapixels still fits.
constexpr qint64 kImageBytes = ImageDecoder::kDefaultMaxImageBytes / 4;
// Pixels a page may declare. Decoding at a reduced size keeps the memory small,
// but the time still follows the declared pixels: a flat 8000 x 8000 PNG of a few
// kilobytes takes more than a second. A 600 dpi A4 scan is 35 megapixels.
constexpr qint64 kLargestPixels = 40'000'000;
// The largest picture the freedesktop sizes ask for is 1024; this is the sanity bound.
constexpr int kLargestSize = 4096;
// Whatever a reader or decoder does (a ZIP of 300,000 members takes two seconds
// to list), the process ends after this much processor time: an ordinary book
// takes a tenth of it.
constexpr rlim_t kCpuSeconds = 1;

// The picture being written, removed should the time run out while it is.
char g_output[4096];

void outOfTime(int)
{
    if (g_output[0])
        ::unlink(g_output);
    ::_exit(2);
}

int fail(const QString &why)
{
    std::fprintf(stderr, "leafview-thumbnailer: %s\n", qPrintable(why));
    return 1;
}

// A local path, or a file:// address of one (percent-decoded); empty for any other address.
QString localPath(const QString &input)
{
    if (!input.contains(QLatin1String("://")))
        return input;
    const QUrl url(input);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}
} // namespace

int main(int argc, char **argv)
{
    const rlimit cpu{kCpuSeconds, kCpuSeconds + 1}, noCore{0, 0};
    setrlimit(RLIMIT_CPU, &cpu);
    setrlimit(RLIMIT_CORE, &noCore);
    std::signal(SIGXCPU, outOfTime);
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    bool sized = false;
    const int size = args.size() == 4 && args[0] == QLatin1String("-s") ? args[1].toInt(&sized) : 0;
    if (!sized || size < 1 || size > kLargestSize)
        return fail(QStringLiteral("usage: leafview-thumbnailer -s SIZE INPUT OUTPUT.png (SIZE 1 to %1)")
                        .arg(kLargestSize));
    const QString input = localPath(args[2]);
    const QString output = args[3];
    if (input.isEmpty())
        return fail(QStringLiteral("not a local file: ") + args[2]);

    ImageDecoder::setMaxImageBytes(kImageBytes);
    const MemberBytes::Limits limits{std::min(kMemberBytes, TmpZipWriter::cap()), kPassedBytes};
    CoverPage::Page page = CoverPage::read(input, limits);
    if (page.bytes.isEmpty())
        return fail(input + QStringLiteral(": ") + page.why);

    const QSize box(size, size);
    const auto fitted = [box](QSize natural) { return natural.scaled(box, Qt::KeepAspectRatio).expandedTo({1, 1}); };
    const QByteArray hint = FileKinds::extensionOf(page.name).mid(1).toLatin1();
    QBuffer header(&page.bytes);
    header.open(QIODevice::ReadOnly);
    const QSize declared = QImageReader(&header, hint).size();
    if (qint64(declared.width()) * declared.height() > kLargestPixels)
        return fail(input + QStringLiteral(": the first page (") + page.name + QStringLiteral(") is too large"));
    header.close();
    QImage image = ImageDecoder::decode(page.bytes, hint, fitted).image;
    page.bytes.clear();
    if (image.isNull())
        return fail(input + QStringLiteral(": the first page (") + page.name + QStringLiteral(") cannot be decoded"));
    const QSize target = fitted(image.size());
    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const QByteArray file = QFile::encodeName(output);
    if (size_t(file.size()) < sizeof g_output)
        std::memcpy(g_output, file.constData(), size_t(file.size()) + 1);
    QImageWriter writer(output, "png");
    if (!writer.write(image))
        return fail(output + QStringLiteral(": ") + writer.errorString());
    return 0;
}
