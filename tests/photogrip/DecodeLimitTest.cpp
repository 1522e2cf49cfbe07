#include "FileTree.h"
#include "ImageDecoder.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
// An 8-bit run-length BMP of about a kilobyte whose header declares w x h; its one
// run code ends the bitmap, which a decoder would still have to allocate whole.
QByteArray rleBitmap(qint32 w, qint32 h)
{
    QByteArray b(14 + 40 + 256 * 4, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, b.data() + at); };
    b[0] = 'B';
    b[1] = 'M';
    put32(10, quint32(b.size()));
    put32(14, 40);
    put32(18, quint32(w));
    put32(22, quint32(h));
    put16(26, 1);
    put16(28, 8);
    put32(30, 1); // BI_RLE8
    put32(46, 256);
    b += QByteArray("\x00\x01", 2);
    put32(2, quint32(b.size()));
    put32(34, 2);
    return b;
}
} // namespace

TEST(DecodeLimit, ASmallBitmapDeclaringAHugeSizeIsRefusedUntilTheSettingAllowsIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bomb.bmp");
    ASSERT_TRUE(writeFile(path, rleBitmap(11500, 11500)));
    ASSERT_LT(QFileInfo(path).size(), 2000);
    ASSERT_EQ(QImageReader(path).size(), QSize(11500, 11500));

    EXPECT_EQ(ImageDecoder::maxImageBytes(), ImageDecoder::kDefaultMaxImageBytes);
    EXPECT_FALSE(ImageDecoder::headerSize(path).isValid());
    EXPECT_TRUE(ImageDecoder::decode(path, [](QSize) { return QSize(100, 100); }).image.isNull());

    ImageDecoder::setMaxImageBytes(qint64(600) << 20);
    EXPECT_EQ(ImageDecoder::headerSize(path), QSize(11500, 11500));
    ImageDecoder::setMaxImageBytes(0);
    EXPECT_EQ(ImageDecoder::maxImageBytes(), ImageDecoder::kDefaultMaxImageBytes);
}
