#include "CaseName.h"
#include "WithCases.h"
#include "FileTree.h"
#include "ImgPicture.h"
#include "cFILE.h"
#include "cIMAGE.h"
#include "TestImages.h"
#include "platform/ControlHost.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A file holding exactly these bytes.
QString rawFile(const QString &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir + QLatin1Char('/') + name;
    writeFile(path, bytes);
    return path;
}

// A w x h PNG filled with color.
QString solidPng(const QString &dir, const QString &name, int w, int h, QColor color = Qt::red)
{
    const QString path = dir + QLatin1Char('/') + name;
    TestImages::write(path, w, h, color);
    return path;
}

bool allPixels(const QImage &img, QRgb colour)
{
    QImage ref(img.size(), QImage::Format_RGB32);
    ref.fill(QColor(colour));
    return img.convertToFormat(QImage::Format_RGB32) == ref;
}

// ---- the control, loaded from its library and on its own

// Gives `programDir` an ocx/ that points at the library just built, and registers it.
bool registerBuiltLibrary(ControlHost &host, const QString &programDir, QString &log)
{
    const QString lib = programDir + QStringLiteral("/ocx/PhotoGrip.so");
    return QDir(programDir).mkpath(QStringLiteral("ocx")) &&
           QFile::link(QStringLiteral(LEAFVIEW_BUILD_BIN "/ocx/PhotoGrip.so"), lib) && host.registerLibrary(lib, log);
}

// What the control shows of `file` on a visible surface of `size`, driven through its interface alone.
QImage shownThrough(IImgPicture *img, const QString &file, QSize size)
{
    img->SetVisible(true);
    img->SetWidth(size.width());
    img->SetHeight(size.height());
    img->DisplayPicture(file);
    return img->GetHdc();
}

TEST(PluginLoad, ControlIsCreatedByItsProgramIdentifierFromTheBuiltLibraryAndNotWithoutIt)
{
    QTemporaryDir programDir;
    const QString lib = programDir.filePath(QStringLiteral("ocx/PhotoGrip.so"));
    ControlHost host;
    QString log;
    EXPECT_FALSE(host.registerLibrary(lib, log));
    EXPECT_TRUE(log.contains(QStringLiteral("PhotoGrip.so")));
    EXPECT_EQ(host.createControl(QStringLiteral("PhotoGrip.ImgPicture"), nullptr), nullptr);

    log.clear();
    ASSERT_TRUE(registerBuiltLibrary(host, programDir.path(), log)) << qPrintable(log);
    EXPECT_TRUE(log.isEmpty());
    QWidget window;
    QWidget *control = host.createControl(QStringLiteral("PhotoGrip.ImgPicture"), &window);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parent(), &window);
    IImgPicture *img = qobject_cast<IImgPicture *>(control);
    ASSERT_NE(img, nullptr);

    const QImage shown = shownThrough(img, solidPng(programDir.path(), QStringLiteral("p.png"), 64, 32, Qt::cyan), {32, 16});
    EXPECT_EQ(shown.size(), QSize(32, 16));
    EXPECT_EQ(shown.pixel(5, 5), QColor(Qt::cyan).rgb());
}

// The user's settings file sets the control's decode limit over the program's,
// as it does the program's own decoding.
TEST(PluginLoad, TheUsersDecodeLimitReachesTheControl)
{
    QTemporaryDir programDir, config;
    ControlHost host;
    QString log;
    ASSERT_TRUE(registerBuiltLibrary(host, programDir.path(), log)) << qPrintable(log);
    // The user's config folder, wherever this run's paths put it under its home.
    const QByteArray homeBefore = qgetenv("HOME"), configBefore = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(config.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.filePath(QStringLiteral(".config"))));
    const QString mine = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Leafview";
    ASSERT_TRUE(mine.startsWith(config.path()));
    const QString page = rawFile(programDir.path(), QStringLiteral("big.png"), TestImages::flatPng(3000, 3000));
    const auto shown = [&](const char *settings) {
        QDir().mkpath(mine);
        writeFile(mine + QStringLiteral("/leafview.ini"), settings);
        QWidget window;
        auto *img = qobject_cast<IImgPicture *>(host.createControl(QStringLiteral("PhotoGrip.ImgPicture"), &window));
        return img && shownThrough(img, page, {32, 32}).pixel(5, 5) == qRgb(0x80, 0x80, 0x80);
    };
    const bool refusedAtOneMB = !shown("[Limits]\nDecodeMB=1\n");
    const bool shownByDefault = shown("[Limits]\n");
    qputenv("HOME", homeBefore);
    qputenv("XDG_CONFIG_HOME", configBefore);
    if (configBefore.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    EXPECT_TRUE(refusedAtOneMB);
    EXPECT_TRUE(shownByDefault);
}

class Control : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    ImgPicture pic;
    const QString red = solidPng(dir.path(), QStringLiteral("red.png"), 400, 600, Qt::red);
    const QString blue = solidPng(dir.path(), QStringLiteral("blue.png"), 300, 200, Qt::blue);
    const QString junk = rawFile(dir.path(), QStringLiteral("junk.jpg"), QByteArray("\xFF\xD8 broken", 9));
    const QRgb kRed = QColor(Qt::red).rgb();
    const QRgb kBlue = QColor(Qt::blue).rgb();

    std::optional<QImage> show(bool visible, int w, int h, const QString &file)
    {
        pic.SetVisible(visible);
        pic.SetWidth(w);
        pic.SetHeight(h);
        return pic.DisplayPicture(file);
    }
};

TEST_F(Control, ShowFlagOnPutsTheScaledPictureOnTheSurface)
{
    EXPECT_FALSE(show(true, 100, 150, red).has_value());
    EXPECT_EQ(pic.GetHdc().size(), QSize(100, 150));
    EXPECT_EQ(pic.GetHdc().format(), QImage::Format_RGB32);
    EXPECT_TRUE(allPixels(pic.GetHdc(), kRed));
    EXPECT_EQ(pic.size(), QSize(100, 150));
    EXPECT_TRUE(pic.hasBackgroundPicture());
}

TEST_F(Control, ShowFlagOffReturnsThePictureAndOnlyResizesTheSurface)
{
    show(true, 40, 40, red);
    const std::optional<QImage> out = show(false, 60, 20, blue);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->size(), QSize(60, 20));
    EXPECT_TRUE(allPixels(*out, kBlue));
    // The old picture stays at the top-left of the resized surface.
    EXPECT_EQ(pic.GetHdc().size(), QSize(60, 20));
    EXPECT_EQ(pic.GetHdc().pixel(0, 0), kRed);
    EXPECT_EQ(pic.GetHdc().pixel(39, 19), kRed);
    EXPECT_EQ(pic.GetHdc().pixel(45, 10), ImgPicture::kBackColor);
}

TEST_F(Control, ScaledPictureDecodesAtTheSizeAndLeavesTheControlAsItWas)
{
    show(true, 40, 40, red);
    const std::optional<QImage> out = pic.ScaledPicture(blue, 47, 31);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->size(), QSize(47, 31));
    EXPECT_TRUE(allPixels(*out, kBlue));
    EXPECT_EQ(pic.targetWidth(), 40);
    EXPECT_EQ(pic.GetHdc().size(), QSize(40, 40));
    EXPECT_EQ(pic.GetHdc().pixel(0, 0), kRed);
    EXPECT_FALSE(pic.ScaledPicture(junk, 10, 10).has_value());
}

TEST_F(Control, UnreadableFileBlanksTheSurfaceWhenShownAndLeavesItOtherwise)
{
    for (const QString &bad : {junk, dir.filePath(QStringLiteral("missing.jpg")), dir.path()}) {
        show(true, 50, 50, red);
        ASSERT_TRUE(allPixels(pic.GetHdc(), kRed));
        EXPECT_FALSE(pic.DisplayPicture(bad).has_value());
        EXPECT_EQ(pic.GetHdc().size(), QSize(50, 50));
        EXPECT_TRUE(allPixels(pic.GetHdc(), ImgPicture::kBackColor));
        EXPECT_FALSE(pic.hasBackgroundPicture());
    }
    show(true, 30, 30, blue);
    EXPECT_FALSE(show(false, 90, 30, junk).has_value());
    EXPECT_EQ(pic.GetHdc().size(), QSize(30, 30));
    EXPECT_TRUE(allPixels(pic.GetHdc(), kBlue));
}

TEST_F(Control, AutoSizeTakesTheImagesSizeAndKeepsIt)
{
    pic.SetAutoSize(true);
    show(true, 10, 10, blue);
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

TEST_F(Control, GetImageSizeLeavesCallersValuesForNonImagesAndPipes)
{
    float w = 11, h = 22;
    pic.GetImageSize(rawFile(dir.path(), QStringLiteral("notes.txt"), "just words"), w, h);
    const QString fifo = dir.filePath(QStringLiteral("page.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    pic.GetImageSize(fifo, w, h); // refused without waiting for a writer
    EXPECT_EQ(w, 11.f);
    EXPECT_EQ(h, 22.f);
    EXPECT_FALSE(show(false, 0, 0, fifo).has_value());
    EXPECT_FALSE(pic.Save_File(fifo, dir.filePath(QStringLiteral("c.jpg"))));
    pic.GetImageSize(blue, w, h);
    EXPECT_EQ(w, 300.f);
    EXPECT_EQ(h, 200.f);
}

// ---- the image and file objects

class ImageObject : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString png(int w, int h, QColor c = Qt::blue) { return solidPng(dir.path(), QStringLiteral("p.png"), w, h, c); }
};

// Source size, asked width and height, expected size.
using ResizeSizes = WithCases<ImageObject, std::tuple<QSize, float, float, QSize>>;

TEST_P(ResizeSizes, MakesTheBitmapSizeOfTheRules)
{
    const auto [source, width, height, expect] = GetParam();
    cIMAGE img;
    ASSERT_TRUE(img.Load(png(source.width(), source.height())));
    ASSERT_TRUE(img.Resize(width, height, nullptr, false));
    EXPECT_EQ(QSizeF(img.ImageWidth(), img.ImageHeight()), QSizeF(expect));
    const std::optional<QImage> pic = img.Picture();
    ASSERT_TRUE(pic.has_value());
    EXPECT_EQ(pic->size(), expect);
    EXPECT_EQ(pic->format(), QImage::Format_RGB32);
}

INSTANTIATE_TEST_SUITE_P(Examples, ResizeSizes,
                         ::testing::Values(std::tuple(QSize(400, 600), 0.f, 300.f, QSize(200, 300)), // width by aspect
                                           std::tuple(QSize(400, 600), 300.f, 0.f, QSize(300, 450)), // height by aspect
                                           std::tuple(QSize(3, 2), 0.f, 5.f, QSize(8, 5))), CaseName()); // 7.5 rounds half to even

TEST_F(ImageObject, ResizeRefusesNoSizeNegativeAndOversizedBitmaps)
{
    cIMAGE img;
    ASSERT_TRUE(img.Load(png(40, 30)));
    ASSERT_TRUE(img.Resize(20, 20, nullptr, false));
    EXPECT_FALSE(img.Resize(0, 0, nullptr, false)); // also drops the earlier scaled image
    EXPECT_FALSE(img.Resize(-10, 20, nullptr, false));
    EXPECT_FALSE(img.Resize(60000, 60000, nullptr, false));
    EXPECT_EQ(img.ImageWidth(), 40.f);
    EXPECT_EQ(img.Picture()->size(), QSize(40, 30));
}

TEST_F(ImageObject, BicubicOnlyWhenGrowingWithTheGrowFlag)
{
    // A grey step: only a cubic filter overshoots beyond the two greys at the edge.
    QImage step(40, 60, QImage::Format_RGB32);
    step.fill(qRgb(192, 192, 192));
    QPainter(&step).fillRect(0, 0, 20, 60, QColor(64, 64, 64));
    const QString path = dir.filePath(QStringLiteral("step.png"));
    ASSERT_TRUE(step.save(path));
    auto overshoots = [](const QImage &img) { // along one row: all rows are alike
        for (int x = 0; x < img.width(); ++x)
            if (qGreen(img.pixel(x, img.height() / 2)) < 64 || qGreen(img.pixel(x, img.height() / 2)) > 192)
                return true;
        return false;
    };
    const auto bilinear = cIMAGE::Interpolation::HighQualityBilinear, bicubic = cIMAGE::Interpolation::HighQualityBicubic;
    for (const auto &[grow, size, expect] : {std::tuple(false, QSize(800, 800), bilinear),
                                             std::tuple(true, QSize(800, 800), bicubic),
                                             std::tuple(true, QSize(20, 30), bilinear)}) { // shrinking
        cIMAGE img;
        ASSERT_TRUE(img.Load(path));
        ASSERT_TRUE(img.Resize(size.width(), size.height(), nullptr, grow));
        EXPECT_EQ(img.LastInterpolation(), expect);
        EXPECT_EQ(overshoots(*img.Picture()), expect == bicubic);
    }
}

// Source size, keep proportions, expected size of a 100 x 100 thumbnail.
using ThumbnailSizes = WithCases<ImageObject, std::tuple<QSize, bool, QSize>>;

TEST_P(ThumbnailSizes, FollowTheProportionRule)
{
    const auto [source, keep, expect] = GetParam();
    cIMAGE img;
    ASSERT_TRUE(img.Load(png(source.width(), source.height(), Qt::green)));
    const std::optional<QImage> thumb = img.Thumbnail(100, 100, keep);
    ASSERT_TRUE(thumb.has_value());
    EXPECT_EQ(thumb->size(), expect);
    EXPECT_EQ(thumb->pixel(thumb->width() / 2, thumb->height() / 2), QColor(Qt::green).rgb());
    // The source is given up with the thumbnail.
    EXPECT_FALSE(img.Picture().has_value());
    EXPECT_FALSE(img.Thumbnail(10, 10, false).has_value());
}

INSTANTIATE_TEST_SUITE_P(Examples, ThumbnailSizes,
                         ::testing::Values(std::tuple(QSize(400, 200), true, QSize(100, 50)), // wide
                                           std::tuple(QSize(200, 400), true, QSize(50, 100)), // tall
                                           std::tuple(QSize(300, 300), true, QSize(100, 100)), // square
                                           std::tuple(QSize(400, 200), false, QSize(100, 100))), CaseName()); // stretched

TEST_F(ImageObject, SaveAsNeedsAFolderAndCreatesOneMissingLevel)
{
    cIMAGE img;
    ASSERT_TRUE(img.Load(png(20, 10)));
    EXPECT_FALSE(img.SaveAs(QStringLiteral("bare.jpg"), 80));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("bare.jpg")));

    const QString target = dir.filePath(QStringLiteral("new/copy.png"));
    ASSERT_TRUE(img.SaveAs(target, 80));
    QImageReader reader(target);
    EXPECT_EQ(reader.format(), QByteArray("jpeg")); // JPEG whatever the name says
    EXPECT_EQ(reader.size(), QSize(20, 10));
    EXPECT_FALSE(img.SaveAs(dir.filePath(QStringLiteral("a/b/copy.jpg")), 80));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("a"))));
}

TEST_F(ImageObject, HugeHeaderIsRefusedLikeAnUndecodableFile)
{
    // A baseline JPEG header declaring 60000 x 60000 with no pixel data after it.
    const QByteArray b = QByteArray("\xFF\xD8\xFF\xDB\x00\x43\x00", 7) + QByteArray(64, '\x01')
                         + QByteArray("\xFF\xC0\x00\x0B\x08\xEA\x60\xEA\x60\x01\x01\x11\x00", 13)
                         + QByteArray("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x00\x00\xFF\xD9", 14);
    const QString path = rawFile(dir.path(), QStringLiteral("huge.jpg"), b);
    ASSERT_EQ(QImageReader(path).size(), QSize(60000, 60000)); // the header is well-formed
    cIMAGE img;
    EXPECT_FALSE(img.Load(path));
    EXPECT_FALSE(img.LoadForResize(path, 100, 100));
    float w = 7, h = 8;
    img.GetSize(path, w, h);
    EXPECT_EQ(w, 7.f);
    EXPECT_EQ(h, 8.f);
}

TEST(Texts, ErrorNumbersOutsideTheTableAndSizeUnits)
{
    for (const auto &[number, text] : {std::pair(0, "Unknown GDI+ Error"), std::pair(13, "Unknown Image Format"),
                                       std::pair(20, "Property Not Supported"), std::pair(21, "Unknown GDI+ Error")})
        EXPECT_EQ(cIMAGE::GdiErrorString(number), QString::fromLatin1(text)) << number;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // size texts follow the locale
    for (const auto &[size, text] : {std::pair(0, "0 Bytes"), std::pair(1023, "1023 Bytes"), std::pair(1024, "1 KB"),
                                     std::pair(1536, "1.5 KB"), std::pair(5242880, "5 MB"),
                                     std::pair(1048575, "1024 KB"), // 1023.999 KB, rounded to 1024
                                     std::pair(-1, "-1 Bytes")}) // 2 GB and more wrap below zero
        EXPECT_EQ(cFILE::SizeText(size), QString::fromLatin1(text)) << size;
}

TEST(FileInfo, TwoGigabyteFileWrapsToNegativeSize)
{
    QTemporaryDir dir;
    QFile big(dir.filePath(QStringLiteral("big.bin")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    if (!big.resize((qint64(1) << 31) + 512)) // sparse: takes no disk space
        GTEST_SKIP() << "the file system cannot hold a sparse 2 GB file";
    big.close();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    cFILE f;
    ASSERT_TRUE(f.Load(big.fileName()));
    EXPECT_EQ(f.Size(), QStringLiteral("-2147483136")); // its text is that of a negative size, tested above
}

// The flag from the first two bytes whatever the name; a path past 260
// characters still opens, shown shortened.
TEST(FileInfo, JpegFlagComesFromTheFirstTwoBytesAndALongPathOpens)
{
    QTemporaryDir dir;
    for (const auto &[bytes, flag] : {std::pair(QByteArray("\xFF\xD8 not a picture"), "True"),
                                      std::pair(QByteArray(), "False"), std::pair(QByteArray("\xFF", 1), "False")}) {
        cFILE f;
        ASSERT_TRUE(f.Load(rawFile(dir.path(), QStringLiteral("fake.txt"), bytes)));
        EXPECT_EQ(f.IsJPG(), QString::fromLatin1(flag)) << bytes.size();
        EXPECT_EQ(f.Size(), QString::number(bytes.size()));
    }
    QString folder = dir.path();
    for (int i = 0; i < 6; ++i)
        folder += QStringLiteral("/a rather long folder name for depth %1").arg(i);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = rawFile(folder, QStringLiteral("page.jpg"), QByteArray("\xFF\xD8", 2));
    ASSERT_GT(path.size(), 260);
    cFILE f;
    ASSERT_TRUE(f.Load(path));
    EXPECT_EQ(f.IsJPG(), QStringLiteral("True"));
    EXPECT_EQ(f.PathFull().size(), cFILE::kFullPathChars);
    EXPECT_TRUE(f.PathFull().endsWith(QStringLiteral(".../page.jpg")));
    EXPECT_TRUE(f.PathFull().startsWith(dir.path()));
    EXPECT_EQ(f.PathCompact(), path.left(7) + QStringLiteral(".../page.jpg"));
}

} // namespace
