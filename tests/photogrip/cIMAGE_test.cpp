#include "PhotoGripFiles.h"
#include "cIMAGE.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace PhotoGripFiles;

namespace {

class ImageObject : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString png(int w, int h, QColor c = Qt::blue) { return solidPng(dir.path(), QStringLiteral("p.png"), w, h, c); }
};

struct ResizeCase
{
    int w0, h0;
    float width, height;
    int expectW, expectH;
};

class ResizeSizes : public ::testing::TestWithParam<ResizeCase>
{
protected:
    QTemporaryDir dir;
};

TEST_P(ResizeSizes, MakesTheBitmapSizeOfTheRules)
{
    const ResizeCase c = GetParam();
    cIMAGE img;
    ASSERT_TRUE(img.Load(solidPng(dir.path(), QStringLiteral("r.png"), c.w0, c.h0)));
    ASSERT_TRUE(img.Resize(c.width, c.height, nullptr, false));
    EXPECT_EQ(img.ImageWidth(), float(c.expectW));
    EXPECT_EQ(img.ImageHeight(), float(c.expectH));
    const std::optional<QImage> pic = img.Picture();
    ASSERT_TRUE(pic.has_value());
    EXPECT_EQ(pic->size(), QSize(c.expectW, c.expectH));
    EXPECT_EQ(pic->format(), QImage::Format_RGB32);
}

INSTANTIATE_TEST_SUITE_P(Examples, ResizeSizes,
                         ::testing::Values(ResizeCase{400, 600, 0, 300, 200, 300},   // height given: width by aspect
                                           ResizeCase{400, 600, 300, 0, 300, 450},   // width given: height by aspect
                                           ResizeCase{400, 600, 123, 77, 123, 77},   // both given: stretched exactly
                                           ResizeCase{400, 600, 800, 800, 800, 800}, // grown, stretched
                                           ResizeCase{3, 2, 0, 5, 8, 5},             // 7.5 rounds half to even
                                           ResizeCase{10, 10, 2.5f, 3.5f, 2, 4}));   // ties to even on both sides

TEST_F(ImageObject, ResizeWithNoSizeFailsAndPictureKeepsNaturalSize)
{
    cIMAGE img;
    ASSERT_TRUE(img.Load(png(40, 30)));
    ASSERT_TRUE(img.Resize(20, 20, nullptr, false));
    EXPECT_FALSE(img.Resize(0, 0, nullptr, false)); // also drops the earlier scaled image
    EXPECT_EQ(img.ImageWidth(), 40.f);
    const std::optional<QImage> pic = img.Picture();
    ASSERT_TRUE(pic.has_value());
    EXPECT_EQ(pic->size(), QSize(40, 30));
    EXPECT_EQ(pic->pixel(5, 5), QColor(Qt::blue).rgb());
}

TEST_F(ImageObject, ResizeRefusesNegativeAndOversizedBitmaps)
{
    cIMAGE img;
    ASSERT_TRUE(img.Load(png(40, 30)));
    EXPECT_FALSE(img.Resize(-10, 20, nullptr, false));
    EXPECT_FALSE(img.Resize(60000, 60000, nullptr, false));
    EXPECT_EQ(img.ImageWidth(), 40.f);
}

TEST_F(ImageObject, GrowingUsesBicubicOnlyWithGrowFlag)
{
    const QString path = dir.filePath(QStringLiteral("step.png"));
    ASSERT_TRUE(stepImage(40, 60, 64, 192).save(path));
    auto range = [](const QImage &img) {
        int lo = 255, hi = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                lo = std::min(lo, qGreen(img.pixel(x, y)));
                hi = std::max(hi, qGreen(img.pixel(x, y)));
            }
        return std::pair(lo, hi);
    };

    cIMAGE plain;
    ASSERT_TRUE(plain.Load(path));
    ASSERT_TRUE(plain.Resize(800, 800, nullptr, false));
    EXPECT_EQ(plain.LastInterpolation(), cIMAGE::Interpolation::HighQualityBilinear);
    const auto [plainLo, plainHi] = range(*plain.Picture());
    EXPECT_GE(plainLo, 64);
    EXPECT_LE(plainHi, 192);

    cIMAGE grown;
    ASSERT_TRUE(grown.Load(path));
    ASSERT_TRUE(grown.Resize(800, 800, nullptr, true));
    EXPECT_EQ(grown.LastInterpolation(), cIMAGE::Interpolation::HighQualityBicubic);
    const QImage pic = *grown.Picture();
    EXPECT_EQ(pic.size(), QSize(800, 800));
    const auto [lo, hi] = range(pic);
    EXPECT_TRUE(lo < 64 || hi > 192) << lo << " " << hi;
    // Away from the edge the colours are kept.
    EXPECT_EQ(qGreen(pic.pixel(20, 400)), 64);
    EXPECT_EQ(qGreen(pic.pixel(780, 400)), 192);
}

TEST_F(ImageObject, ShrinkingWithGrowFlagStaysBilinear)
{
    cIMAGE img;
    ASSERT_TRUE(img.Load(png(400, 600)));
    ASSERT_TRUE(img.Resize(200, 300, nullptr, true));
    EXPECT_EQ(img.LastInterpolation(), cIMAGE::Interpolation::HighQualityBilinear);
    // One side growing is enough for the cubic filter.
    ASSERT_TRUE(img.Resize(200, 700, nullptr, true));
    EXPECT_EQ(img.LastInterpolation(), cIMAGE::Interpolation::HighQualityBicubic);
    EXPECT_EQ(img.Picture()->pixel(100, 350), QColor(Qt::blue).rgb());
}

struct ThumbCase
{
    int w0, h0;
    bool keep;
    QSize expect;
};

class ThumbnailSizes : public ::testing::TestWithParam<ThumbCase>
{
protected:
    QTemporaryDir dir;
};

TEST_P(ThumbnailSizes, FollowTheProportionRule)
{
    const ThumbCase c = GetParam();
    cIMAGE img;
    ASSERT_TRUE(img.Load(solidPng(dir.path(), QStringLiteral("t.png"), c.w0, c.h0, Qt::green)));
    const std::optional<QImage> thumb = img.Thumbnail(100, 100, c.keep);
    ASSERT_TRUE(thumb.has_value());
    EXPECT_EQ(thumb->size(), c.expect);
    EXPECT_EQ(thumb->pixel(thumb->width() / 2, thumb->height() / 2), QColor(Qt::green).rgb());
    // The source is given up with the thumbnail.
    EXPECT_FALSE(img.Picture().has_value());
    EXPECT_FALSE(img.Thumbnail(10, 10, false).has_value());
}

INSTANTIATE_TEST_SUITE_P(Examples, ThumbnailSizes,
                         ::testing::Values(ThumbCase{400, 200, true, {100, 50}}, ThumbCase{200, 400, true, {50, 100}},
                                           ThumbCase{300, 300, true, {100, 100}},
                                           ThumbCase{400, 200, false, {100, 100}}));

TEST_F(ImageObject, SaveAsBareNameFails)
{
    cIMAGE img;
    ASSERT_TRUE(img.Load(png(20, 20)));
    EXPECT_FALSE(img.SaveAs(QStringLiteral("bare.jpg"), 80));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("bare.jpg")));
}

TEST_F(ImageObject, SaveAsCreatesOneMissingFolderLevel)
{
    cIMAGE img;
    ASSERT_TRUE(img.Load(png(20, 10)));
    const QString target = dir.filePath(QStringLiteral("new/copy.png"));
    ASSERT_TRUE(img.SaveAs(target, 80));
    QImageReader reader(target);
    EXPECT_EQ(reader.format(), QByteArray("jpeg")); // JPEG whatever the name says
    EXPECT_EQ(reader.size(), QSize(20, 10));

    const QString deep = dir.filePath(QStringLiteral("a/b/copy.jpg"));
    EXPECT_FALSE(img.SaveAs(deep, 80));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("a"))));
}

TEST_F(ImageObject, SaveAsWritesTheScaledImageAndDropsIt)
{
    cIMAGE img;
    ASSERT_TRUE(img.Load(png(80, 40)));
    ASSERT_TRUE(img.Resize(40, 0, nullptr, false));
    ASSERT_TRUE(img.SaveAs(dir.filePath(QStringLiteral("small.jpg")), 80));
    EXPECT_EQ(QImageReader(dir.filePath(QStringLiteral("small.jpg"))).size(), QSize(40, 20));
    // The scaled image is gone; the source stays.
    EXPECT_EQ(img.ImageWidth(), 80.f);
    ASSERT_TRUE(img.SaveAs(dir.filePath(QStringLiteral("full.jpg")), 80));
    EXPECT_EQ(QImageReader(dir.filePath(QStringLiteral("full.jpg"))).size(), QSize(80, 40));
}

TEST_F(ImageObject, SaveAsQualityReachesTheEncoder)
{
    const QString src = gradientJpeg(dir.path(), QStringLiteral("g.jpg"), 300, 200);
    cIMAGE img;
    ASSERT_TRUE(img.Load(src));
    ASSERT_TRUE(img.SaveAs(dir.filePath(QStringLiteral("q10.jpg")), 10));
    ASSERT_TRUE(img.SaveAs(dir.filePath(QStringLiteral("q100.jpg")), 100));
    EXPECT_LT(QFileInfo(dir.filePath(QStringLiteral("q10.jpg"))).size() * 2,
              QFileInfo(dir.filePath(QStringLiteral("q100.jpg"))).size());
}

TEST_F(ImageObject, SaveAsIntoUnwritablePlaceFailsAndKeepsOldFile)
{
    cIMAGE img;
    ASSERT_TRUE(img.Load(png(20, 20)));
    // The "folder" is a file: nothing can be created below it.
    const QString blocker = rawFile(dir.path(), QStringLiteral("blocker"), "x");
    EXPECT_FALSE(img.SaveAs(blocker + QStringLiteral("/out.jpg"), 80));
    EXPECT_EQ(QFileInfo(blocker).size(), 1);
}

TEST_F(ImageObject, AfterClassUnloadNothingWorksAndNothingIsReleasedTwice)
{
    cIMAGE img;
    EXPECT_TRUE(img.Initialised());
    ASSERT_TRUE(img.Load(png(20, 20)));
    img.ClassUnload();
    EXPECT_FALSE(img.Initialised());
    EXPECT_FALSE(img.Picture().has_value());
    img.ClassUnload();
    EXPECT_FALSE(img.Load(png(20, 20)));
    EXPECT_FALSE(img.SaveAs(dir.filePath(QStringLiteral("x.jpg")), 80));
}

TEST_F(ImageObject, DrawRotatedDrawsScaledAndIgnoresTheAngle)
{
    QImage dc(50, 50, QImage::Format_RGB32);
    dc.fill(Qt::black);
    cIMAGE img;
    img.DrawRotated(dc, png(10, 10, Qt::yellow), 90.f, 5, 5, 20, 30, 1, 1);
    EXPECT_EQ(dc.pixel(6, 33), QColor(Qt::yellow).rgb());
    EXPECT_EQ(dc.pixel(26, 10), qRgb(0, 0, 0));
    EXPECT_EQ(dc.pixel(10, 36), qRgb(0, 0, 0));
    // An unreadable file draws nothing.
    QImage before = dc;
    img.DrawRotated(dc, rawFile(dir.path(), QStringLiteral("junk.jpg"), "junk"), 0, 0, 0, 50, 50);
    EXPECT_EQ(dc, before);
}

TEST_F(ImageObject, LoadForResizeKeepsTheFilesOwnSize)
{
    cIMAGE img;
    ASSERT_TRUE(img.LoadForResize(gradientJpeg(dir.path(), QStringLiteral("big.jpg"), 1600, 1200), 200, 0));
    EXPECT_EQ(img.ImageWidth(), 1600.f);
    EXPECT_EQ(img.ImageHeight(), 1200.f);
    ASSERT_TRUE(img.Resize(200, 0, nullptr, false));
    EXPECT_EQ(img.Picture()->size(), QSize(200, 150));
}

TEST_F(ImageObject, GetSizeReadsTheHeaderAndLeavesValuesOnFailure)
{
    cIMAGE img;
    float w = -1, h = -2;
    img.GetSize(gradientJpeg(dir.path(), QStringLiteral("s.jpg"), 321, 123), w, h);
    EXPECT_EQ(w, 321.f);
    EXPECT_EQ(h, 123.f);
    w = -1, h = -2;
    img.GetSize(rawFile(dir.path(), QStringLiteral("text.png"), "not an image at all"), w, h);
    img.GetSize(dir.filePath(QStringLiteral("missing.png")), w, h);
    EXPECT_EQ(w, -1.f);
    EXPECT_EQ(h, -2.f);
    EXPECT_EQ(img.ImageWidth(), 0.f); // the object's own state is not touched
}

class HugeHeader : public ::testing::TestWithParam<const char *>
{
protected:
    QTemporaryDir dir;
    QString file()
    {
        const QByteArray kind(GetParam());
        return rawFile(dir.path(), QStringLiteral("huge.") + QString::fromLatin1(kind),
                       kind == "png" ? pngHeader(60000, 60000) : jpegHeader(60000, 60000));
    }
};

TEST_P(HugeHeader, IsRefusedLikeAnUndecodableFile)
{
    const QString path = file();
    ASSERT_EQ(QImageReader(path).size(), QSize(60000, 60000)); // the header is well-formed
    cIMAGE img;
    EXPECT_FALSE(img.Load(path));
    EXPECT_FALSE(img.LoadForResize(path, 100, 100));
    float w = 7, h = 8;
    img.GetSize(path, w, h);
    EXPECT_EQ(w, 7.f);
    EXPECT_EQ(h, 8.f);
}

INSTANTIATE_TEST_SUITE_P(Formats, HugeHeader, ::testing::Values("png", "jpg"));

struct ErrorCase
{
    qint32 code;
    const char *text;
};

class GdiErrors : public ::testing::TestWithParam<ErrorCase>
{
};

TEST_P(GdiErrors, GiveTheTableText)
{
    EXPECT_EQ(cIMAGE::GdiErrorString(GetParam().code), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, GdiErrors,
    ::testing::Values(ErrorCase{0, "Unknown GDI+ Error"}, ErrorCase{1, "Generic Error"},
                      ErrorCase{2, "Invalid Parameter"}, ErrorCase{3, "Out Of Memory"}, ErrorCase{4, "Object Busy"},
                      ErrorCase{5, "Insufficient Buffer"}, ErrorCase{6, "Not Implemented"},
                      ErrorCase{7, "Win32 Error"}, ErrorCase{8, "Wrong State"}, ErrorCase{9, "Aborted"},
                      ErrorCase{10, "File Not Found"}, ErrorCase{11, "Value Overflow"},
                      ErrorCase{12, "Access Denied"}, ErrorCase{13, "Unknown Image Format"},
                      ErrorCase{14, "FontFamily Not Found"}, ErrorCase{15, "FontStyle Not Found"},
                      ErrorCase{16, "Not TrueType Font"}, ErrorCase{17, "Unsupported Gdiplus Version"},
                      ErrorCase{18, "Gdiplus Not Initialized"}, ErrorCase{19, "Property Not Found"},
                      ErrorCase{20, "Property Not Supported"}, ErrorCase{21, "Unknown GDI+ Error"},
                      ErrorCase{-1, "Unknown GDI+ Error"}));

} // namespace
