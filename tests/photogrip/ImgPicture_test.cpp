#include "ImgPicture.h"
#include "PhotoGripFiles.h"

#include <QFileInfo>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace PhotoGripFiles;

namespace {

bool allPixels(const QImage &img, QRgb colour)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != colour)
                return false;
    return true;
}

class Control : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    ImgPicture pic;
    QString red, blue, junk;
    const QRgb kRed = QColor(Qt::red).rgb();
    const QRgb kBlue = QColor(Qt::blue).rgb();

    void SetUp() override
    {
        red = solidPng(dir.path(), QStringLiteral("red.png"), 400, 600, Qt::red);
        blue = solidPng(dir.path(), QStringLiteral("blue.png"), 300, 200, Qt::blue);
        junk = rawFile(dir.path(), QStringLiteral("junk.jpg"), QByteArray("\xFF\xD8 broken", 9));
    }
};

TEST_F(Control, ShowFlagOnPutsTheScaledPictureOnTheSurface)
{
    pic.SetVisible(true);
    pic.SetWidth(100);
    pic.SetHeight(150);
    EXPECT_FALSE(pic.DisplayPicture(red).has_value());
    EXPECT_EQ(pic.GetHdc().size(), QSize(100, 150));
    EXPECT_EQ(pic.GetHdc().format(), QImage::Format_RGB32);
    EXPECT_TRUE(allPixels(pic.GetHdc(), kRed));
    EXPECT_EQ(pic.size(), QSize(100, 150));
    EXPECT_TRUE(pic.hasBackgroundPicture());
}

TEST_F(Control, ShowFlagOffReturnsThePictureAndOnlyResizesTheSurface)
{
    pic.SetVisible(true);
    pic.SetWidth(40);
    pic.SetHeight(40);
    pic.DisplayPicture(red);
    pic.SetVisible(false);
    pic.SetWidth(60);
    pic.SetHeight(20);
    const std::optional<QImage> out = pic.DisplayPicture(blue);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->size(), QSize(60, 20));
    EXPECT_TRUE(allPixels(*out, kBlue));
    // The old picture stays at the top-left of the resized surface.
    EXPECT_EQ(pic.GetHdc().size(), QSize(60, 20));
    EXPECT_EQ(pic.GetHdc().pixel(0, 0), kRed);
    EXPECT_EQ(pic.GetHdc().pixel(39, 19), kRed);
    EXPECT_EQ(pic.GetHdc().pixel(45, 10), ImgPicture::kBackColor);
}

TEST_F(Control, UnreadableFileBlanksTheSurfaceWhenShown)
{
    pic.SetVisible(true);
    pic.SetWidth(50);
    pic.SetHeight(50);
    pic.DisplayPicture(red);
    ASSERT_TRUE(allPixels(pic.GetHdc(), kRed));
    for (const QString &bad : {junk, dir.filePath(QStringLiteral("missing.jpg")), dir.path()}) {
        pic.DisplayPicture(red);
        EXPECT_FALSE(pic.DisplayPicture(bad).has_value());
        EXPECT_EQ(pic.GetHdc().size(), QSize(50, 50));
        EXPECT_TRUE(allPixels(pic.GetHdc(), ImgPicture::kBackColor));
        EXPECT_FALSE(pic.hasBackgroundPicture());
    }
}

TEST_F(Control, UnreadableFileWithShowFlagOffLeavesTheSurfaceAlone)
{
    pic.SetVisible(true);
    pic.SetWidth(30);
    pic.SetHeight(30);
    pic.DisplayPicture(blue);
    pic.SetVisible(false);
    pic.SetWidth(90);
    EXPECT_FALSE(pic.DisplayPicture(junk).has_value());
    EXPECT_EQ(pic.GetHdc().size(), QSize(30, 30));
    EXPECT_TRUE(allPixels(pic.GetHdc(), kBlue));
}

TEST_F(Control, ZeroTargetsGiveNaturalPictureOnEmptySurface)
{
    const std::optional<QImage> out = pic.DisplayPicture(blue);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->size(), QSize(300, 200));
    EXPECT_EQ(pic.GetHdc().size(), QSize(0, 0));
}

TEST_F(Control, OneZeroTargetKeepsTheAspectButNotTheSurfaceWidth)
{
    pic.SetHeight(100);
    const std::optional<QImage> out = pic.DisplayPicture(blue);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->size(), QSize(150, 100));
    // A surface with no width holds no pixels; the control itself has the size.
    EXPECT_EQ(pic.size(), QSize(0, 100));
    EXPECT_TRUE(pic.GetHdc().isNull());
}

TEST_F(Control, AutoSizeTakesTheImagesSizeAndKeepsIt)
{
    pic.SetAutoSize(true);
    pic.SetVisible(true);
    pic.SetWidth(10);
    pic.SetHeight(10);
    pic.DisplayPicture(blue);
    EXPECT_EQ(pic.targetWidth(), 300);
    EXPECT_EQ(pic.targetHeight(), 200);
    EXPECT_EQ(pic.GetHdc().size(), QSize(300, 200));
    EXPECT_TRUE(allPixels(pic.GetHdc(), kBlue));

    // Later calls without auto-size use the stored size.
    pic.SetAutoSize(false);
    pic.DisplayPicture(red);
    EXPECT_EQ(pic.GetHdc().size(), QSize(300, 200));
    EXPECT_TRUE(allPixels(pic.GetHdc(), kRed));
}

TEST_F(Control, LargeJpegToSmallTargetLooksLikeAFullDecode)
{
    const QString path = gradientJpeg(dir.path(), QStringLiteral("page.jpg"), 1800, 1200);
    pic.SetVisible(true);
    pic.SetWidth(300);
    pic.SetHeight(200);
    pic.DisplayPicture(path);
    const QImage &got = pic.GetHdc();
    ASSERT_EQ(got.size(), QSize(300, 200));
    const QImage ref = QImage(path).scaled(300, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    qint64 diff = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const QRgb a = got.pixel(x, y), b = ref.pixel(x, y);
            diff += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(double(diff) / (300 * 200 * 3), 3.0);
}

TEST_F(Control, PipeNamedLikeAPageIsRefusedWithoutWaiting)
{
    const QString fifo = dir.filePath(QStringLiteral("page.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    float w = 5, h = 6;
    pic.GetImageSize(fifo, w, h);
    EXPECT_EQ(w, 5.f);
    pic.SetVisible(false);
    EXPECT_FALSE(pic.DisplayPicture(fifo).has_value());
    EXPECT_FALSE(pic.Save_File(fifo, dir.filePath(QStringLiteral("c.jpg"))));
}

TEST_F(Control, GetImageSizeLeavesCallersValuesForNonImages)
{
    float w = 11, h = 22;
    pic.GetImageSize(rawFile(dir.path(), QStringLiteral("notes.txt"), "just words"), w, h);
    EXPECT_EQ(w, 11.f);
    EXPECT_EQ(h, 22.f);
    pic.GetImageSize(blue, w, h);
    EXPECT_EQ(w, 300.f);
    EXPECT_EQ(h, 200.f);
}

TEST_F(Control, PictureThumbnailIsExactSize)
{
    pic.SetWidth(30);
    pic.SetHeight(30);
    const std::optional<QImage> thumb = pic.PictureThumNail(red);
    ASSERT_TRUE(thumb.has_value());
    EXPECT_EQ(thumb->size(), QSize(30, 30));
    EXPECT_EQ(pic.GetHdc().size(), QSize(30, 30));
    pic.SetVisible(true);
    EXPECT_FALSE(pic.PictureThumNail(blue).has_value());
    EXPECT_TRUE(allPixels(pic.GetHdc(), kBlue));
    pic.PictureThumNail(junk);
    EXPECT_TRUE(allPixels(pic.GetHdc(), ImgPicture::kBackColor));
}

TEST_F(Control, SetPictureShowsAndEmptyPathForgetsWithoutRepaint)
{
    pic.SetVisible(true);
    pic.SetWidth(500);
    pic.SetHeight(300);
    pic.DisplayPicture(junk); // sized nothing: the surface stays 0 x 0
    pic.Draw_ImgCopy(QImage(), 500, 300);
    pic.SetPicture(blue);
    EXPECT_EQ(pic.GetHdc().pixel(10, 10), kBlue);
    EXPECT_EQ(pic.GetHdc().pixel(450, 250), ImgPicture::kBackColor);
    pic.SetPicture(QString());
    EXPECT_FALSE(pic.hasBackgroundPicture());
    EXPECT_EQ(pic.GetHdc().pixel(10, 10), kBlue);
}

TEST_F(Control, DrawImgCopyCopiesFromTheGivenContext)
{
    QImage source(80, 80, QImage::Format_RGB32);
    source.fill(Qt::green);
    pic.Draw_ImgCopy(source, 40, 20);
    EXPECT_EQ(pic.GetHdc().size(), QSize(40, 20));
    EXPECT_TRUE(allPixels(pic.GetHdc(), QColor(Qt::green).rgb()));
    EXPECT_FALSE(pic.hasBackgroundPicture());
}

TEST_F(Control, DrawFlipMirrorsDrawsAndRewritesAsJpeg)
{
    QImage halves(20, 10, QImage::Format_RGB32);
    halves.fill(Qt::red);
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x)
            halves.setPixel(x, y, kBlue);
    const QString path = dir.filePath(QStringLiteral("halves.png"));
    ASSERT_TRUE(halves.save(path));
    QImage dc(40, 20, QImage::Format_RGB32);
    dc.fill(Qt::black);
    pic.Draw_Flip(dc, 0, 0, 40, 20, path);
    EXPECT_EQ(dc.pixel(2, 10), kBlue);
    EXPECT_EQ(dc.pixel(37, 10), kRed);
    QImageReader back(path);
    EXPECT_EQ(back.format(), QByteArray("jpeg"));
    const QImage rewritten = back.read();
    EXPECT_GT(qBlue(rewritten.pixel(1, 5)), 200);
    EXPECT_GT(qRed(rewritten.pixel(18, 5)), 200);

    // A file that does not decode is left as it was.
    QImage untouched = dc;
    pic.Draw_Flip(dc, 0, 0, 40, 20, junk);
    EXPECT_EQ(dc, untouched);
    EXPECT_EQ(QFileInfo(junk).size(), 9);
}

TEST_F(Control, SavingCopiesAsJpegAtTheAskedSize)
{
    const QString copy = dir.filePath(QStringLiteral("out/copy.jpg"));
    EXPECT_TRUE(pic.PictureSaveAsFile(red, copy, 40, 60));
    EXPECT_EQ(QImageReader(copy).size(), QSize(40, 60));
    EXPECT_TRUE(pic.PictureSaveAsFile(red, copy, 40, 0)); // one zero: natural size
    EXPECT_EQ(QImageReader(copy).size(), QSize(400, 600));
    EXPECT_TRUE(pic.Save_File(blue, dir.filePath(QStringLiteral("copy2.png"))));
    EXPECT_EQ(QImageReader(dir.filePath(QStringLiteral("copy2.png"))).format(), QByteArray("jpeg"));
    EXPECT_FALSE(pic.Save_File(junk, dir.filePath(QStringLiteral("copy3.jpg"))));
    EXPECT_FALSE(pic.PictureSaveAsFile(blue, QStringLiteral("bare.jpg")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("copy3.jpg"))));
}

TEST_F(Control, MouseEventsCarryButtonShiftAndPosition)
{
    pic.SetVisible(true);
    pic.SetWidth(100);
    pic.SetHeight(100);
    pic.DisplayPicture(red);
    QSignalSpy down(&pic, &ImgPicture::MouseDown);
    QSignalSpy up(&pic, &ImgPicture::MouseUp);
    QSignalSpy click(&pic, &ImgPicture::Click);
    QSignalSpy dbl(&pic, &ImgPicture::DblClick);

    QTest::mousePress(&pic, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(12, 34));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0).at(0).value<short>(), 2);
    EXPECT_EQ(down.at(0).at(1).value<short>(), 3);
    EXPECT_EQ(down.at(0).at(2).toFloat(), 12.f);
    EXPECT_EQ(down.at(0).at(3).toFloat(), 34.f);
    QTest::mouseRelease(&pic, Qt::RightButton, Qt::NoModifier, QPoint(12, 34));
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(click.count(), 0); // only the left button clicks

    QTest::mouseClick(&pic, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_EQ(click.count(), 1);
    QTest::mouseDClick(&pic, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_EQ(dbl.count(), 1);
}

} // namespace
