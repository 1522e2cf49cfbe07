// Image files: the header read and a reduced-size decode, as a page is drawn.
// The first byte picks the file name's extension, the rest is the file.
#include "FuzzInput.h"
#include "ImageDecoder.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzInput::start(argc, argv);
    // Inputs that decode to many megabytes only slow the search down; the limit
    // itself is the same code at any value.
    ImageDecoder::setMaxImageBytes(qint64(32) << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const char *const exts[] = {"jpg", "png", "bmp", "gif", "jpeg", "ani", "img", "webp", "tif", "ico"};
    if (size < 1)
        return 0;
    const QString name = QStringLiteral("page.") + QLatin1String(exts[data[0] % (sizeof exts / sizeof *exts)]);
    const QString path = FuzzInput::write(name, data + 1, size - 1);
    const QSize natural = ImageDecoder::headerSize(path);
    ImageDecoder::decode(path, [](QSize n) { return n.scaled(64, 48, Qt::KeepAspectRatio); });
    (void)natural;
    return 0;
}
