#include "CaseName.h"
#include "FileTree.h"
#include "ImageDecoder.h"
#include "TestImages.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
// A real progressive JPEG whose frame header is made to declare w x h.
QByteArray progressiveDeclaring(quint16 w, quint16 h)
{
    QByteArray b = TestImages::progressiveJpeg(64, 48);
    const qsizetype sof = b.indexOf("\xFF\xC2");
    qToBigEndian(h, b.data() + sof + 5);
    qToBigEndian(w, b.data() + sof + 7);
    return b;
}

// The markers of a sequential JPEG of three full-size components, w x h, up to a
// first scan holding `inFirstScan` of them; no pixel data.
QByteArray sequentialHeader(quint16 w, quint16 h, char inFirstScan)
{
    QByteArray sof("\xFF\xC0\x00\x11\x08\0\0\0\0\x03\x01\x11\x00\x02\x11\x00\x03\x11\x00", 19);
    qToBigEndian(h, sof.data() + 5);
    qToBigEndian(w, sof.data() + 7);
    QByteArray sos("\xFF\xDA", 2);
    sos += QByteArray(1, '\0') + char(6 + 2 * inFirstScan) + inFirstScan;
    for (char c = 1; c <= inFirstScan; ++c)
        sos += QByteArray(1, c) + char(0);
    sos += QByteArray("\x00\x3F\x00", 3);
    return QByteArray("\xFF\xD8\xFF\xDB\x00\x43\x00", 7) + QByteArray(64, '\x01') + sof + sos + QByteArray(16, '\0') +
           QByteArray("\xFF\xD9", 2);
}

struct DeclaredCase
{
    const char *what;
    const char *ext;
    QByteArray (*bytes)(); // made when the test runs, with the application up
    QSize declared;
    // The limit from which it is decoded; 0: at the default limit.
    qint64 admittedFromMB;
};

using DecodeLimit = ::testing::TestWithParam<DeclaredCase>;

// A file declaring more pixels than a decode may hold is refused from its header,
// before anything the size of its pixels is allocated.
TEST_P(DecodeLimit, AHugeDeclaredSizeIsRefusedUntilTheSettingAllowsIt)
{
    const DeclaredCase &c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.") + c.ext);
    ASSERT_TRUE(writeFile(path, c.bytes()));
    ASSERT_LT(QFileInfo(path).size(), 4000);
    ASSERT_EQ(QImageReader(path).size(), c.declared);
    EXPECT_EQ(ImageDecoder::maxImageBytes(), ImageDecoder::kDefaultMaxImageBytes);
    if (c.admittedFromMB == 0) {
        EXPECT_EQ(ImageDecoder::headerSize(path), c.declared);
        return;
    }
    // A refused decode would cost gigabytes and minutes.
    ASSERT_FALSE(ImageDecoder::headerSize(path).isValid());
    EXPECT_TRUE(ImageDecoder::decode(path, [](QSize) { return QSize(100, 100); }).image.isNull());

    ImageDecoder::setMaxImageBytes(c.admittedFromMB << 20);
    EXPECT_EQ(ImageDecoder::headerSize(path), c.declared);
    ImageDecoder::setMaxImageBytes(0);
    EXPECT_EQ(ImageDecoder::maxImageBytes(), ImageDecoder::kDefaultMaxImageBytes);
}

// A JPEG that scales while decoding holds its reduced size, and the coefficients
// of the whole image when its decoder keeps them for later scans: a progressive
// one (3 bytes a pixel at 4:2:0), or one whose first scan leaves components out
// (6 bytes a pixel here, three components at full size).
INSTANTIATE_TEST_SUITE_P(
    Files, DecodeLimit,
    ::testing::Values(
        DeclaredCase{"run-length bitmap", "bmp", [] { return TestImages::rleBitmap(11500, 11500); }, {11500, 11500}, 600},
        DeclaredCase{"progressive JPEG", "jpg", [] { return progressiveDeclaring(32000, 32000); }, {32000, 32000}, 3100},
        DeclaredCase{"JPEG scanning one component first", "jpg", [] { return sequentialHeader(32000, 32000, 1); },
                     {32000, 32000}, 6000},
        DeclaredCase{"baseline JPEG at reduced size", "jpg", [] { return sequentialHeader(32000, 32000, 3); },
                     {32000, 32000}, 0},
        DeclaredCase{"progressive JPEG of a page", "jpg", [] { return TestImages::progressiveJpeg(64, 48); }, {64, 48},
                     0}),
    CaseName());
} // namespace
