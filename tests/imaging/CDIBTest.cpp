// The DIB surface: layout, errors, copies in and out, and the sharpen walk.
#include "imaging/CDIB.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <random>
#include <vector>

namespace {

std::vector<uint8_t> bytesOf(CDIB &dib)
{
    std::span<uint8_t> v;
    dib.MapArray(v);
    std::vector<uint8_t> out(v.begin(), v.end());
    dib.UnMapArray(v);
    return out;
}

void setBytes(CDIB &dib, const std::vector<uint8_t> &bytes)
{
    std::span<uint8_t> v;
    dib.MapArray(v);
    ASSERT_EQ(v.size(), bytes.size());
    std::copy(bytes.begin(), bytes.end(), v.begin());
    dib.UnMapArray(v);
}

std::vector<uint8_t> randomBytes(size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> d(0, 255);
    std::vector<uint8_t> out(n);
    for (auto &b : out)
        b = uint8_t(d(gen));
    // Plenty of zeros and extremes, where the clamp and the zero rule matter.
    for (size_t i = 0; i < n; i += 7)
        out[i] = (i / 7) % 3 == 0 ? 0 : ((i / 7) % 3 == 1 ? 255 : out[i]);
    return out;
}

QImage randomImage(int w, int h, unsigned seed)
{
    std::mt19937 gen(seed);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, 0xFF000000u | (gen() & 0xFFFFFFu));
    return img;
}

// The sharpen rule computed byte by byte from an untouched copy.
std::vector<uint8_t> sharpenReference(const std::vector<uint8_t> &c, int s)
{
    std::vector<uint8_t> out = c;
    const long size = long(c.size());
    for (long k = 0; k <= size - 1 - s; k += 3) {
        for (long j = k; j < k + 3; ++j) {
            const long nb = j + s + 3;
            if (c[j] > 0 && nb < size) {
                const int x = 2 * c[j] - c[nb];
                out[j] = uint8_t(x >= 256 ? 255 : (x <= -1 ? 0 : x));
            }
        }
    }
    return out;
}

} // namespace

// --- layout ---

struct LayoutCase
{
    int w, h, stride, size;
};

class CDIBLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(CDIBLayout, StrideSizeAndBlackStart)
{
    const LayoutCase c = GetParam();
    CDIB dib;
    dib.Create(c.w, c.h);
    EXPECT_EQ(dib.Width(), c.w);
    EXPECT_EQ(dib.Height(), c.h);
    EXPECT_EQ(dib.RGBSize(), c.size);
    std::span<uint8_t> v;
    EXPECT_EQ(dib.MapArray(v), c.stride);
    EXPECT_EQ(int(v.size()), c.size);
    EXPECT_TRUE(std::all_of(v.begin(), v.end(), [](uint8_t b) { return b == 0; }));
    dib.UnMapArray(v);
    EXPECT_TRUE(v.empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, CDIBLayout,
                         ::testing::Values(LayoutCase{5, 2, 16, 32}, LayoutCase{4, 1, 12, 12},
                                           LayoutCase{1, 1, 4, 4}, LayoutCase{2, 3, 8, 24},
                                           LayoutCase{3, 3, 12, 36}, LayoutCase{7, 2, 24, 48}));

TEST(CDIB, ClsBlacksEveryByteAndIgnoresAMissingSurface)
{
    CDIB none;
    none.Cls();
    CDIB dib;
    dib.Create(5, 2);
    setBytes(dib, std::vector<uint8_t>(32, 9));
    dib.Cls();
    const auto b = bytesOf(dib);
    EXPECT_TRUE(std::all_of(b.begin(), b.end(), [](uint8_t x) { return x == 0; }));
}

// --- errors ---

TEST(CDIB, SurfaceOfNoPixelsCannotBeCreated)
{
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 2}, std::pair{4, -1}}) {
        CDIB dib;
        dib.Create(2, 2);
        try {
            dib.Create(w, h);
            ADD_FAILURE() << w << "x" << h << " was created";
        } catch (const ImagingError &e) {
            EXPECT_EQ(e.number(), 825);
            EXPECT_EQ(e.description(),
                      QStringLiteral("DIB failed to create\r\nPlease restart your system and try again"));
        }
        EXPECT_FALSE(dib.HasSurface());
        EXPECT_EQ(dib.RGBSize(), 0);
    }
}

TEST(CDIB, SizeArithmeticOverflowIsAnError)
{
    for (auto [w, h] : {std::pair{715827882, 1}, std::pair{1 << 30, 1}, std::pair{40000, 40000}}) {
        CDIB dib;
        try {
            dib.Create(w, h);
            ADD_FAILURE() << w << "x" << h << " did not overflow";
        } catch (const ImagingError &e) {
            EXPECT_EQ(e.number(), ImagingError::Overflow);
        }
        EXPECT_FALSE(dib.HasSurface());
    }
}

TEST(CDIB, WithoutSurfaceMapArrayDividesByZeroAndCloneNeedsASurface)
{
    CDIB dib;
    std::span<uint8_t> v;
    try {
        dib.MapArray(v);
        ADD_FAILURE() << "MapArray without surface";
    } catch (const ImagingError &e) {
        EXPECT_EQ(e.number(), ImagingError::DivisionByZero);
    }
    try {
        dib.Clone(randomImage(2, 2, 1));
        ADD_FAILURE() << "Clone without surface";
    } catch (const ImagingError &e) {
        EXPECT_EQ(e.number(), -1);
        EXPECT_EQ(e.description(), QStringLiteral("DIB has to be created first"));
    }
    // Sharpen skips the failing view and completes.
    EXPECT_NO_THROW(dib.Sharpen());
    EXPECT_THROW(dib.Greyscale(), ImagingError);
}

// --- copies ---

TEST(CDIB, CloneHDCStoresTheTopRowLastAsBlueGreenRed)
{
    const QImage src = randomImage(7, 5, 3);
    CDIB dib;
    dib.Create(7, 5);
    dib.CloneHDC(src, CDIB::SRCCOPY, 0, 0);
    const auto b = bytesOf(dib);
    const int s = 24;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const QRgb px = src.pixel(x, y);
            const int at = (4 - y) * s + 3 * x; // memory row H-1 is the top row
            ASSERT_EQ(b[at], qBlue(px));
            ASSERT_EQ(b[at + 1], qGreen(px));
            ASSERT_EQ(b[at + 2], qRed(px));
        }
    }
    QImage back(7, 5, QImage::Format_RGB32);
    back.fill(Qt::magenta);
    dib.PaintTo(back, 0, 0, CDIB::SRCCOPY);
    EXPECT_EQ(back, src);
    EXPECT_EQ(dib.toImage(), src);
}

TEST(CDIB, CloneHDCTakesTheBlockAtXYAndLeavesWhatLiesOutsideTheSource)
{
    const QImage src = randomImage(6, 4, 4);
    CDIB dib;
    dib.Create(3, 2);
    dib.CloneHDC(src, CDIB::SRCCOPY, 2, 1);
    EXPECT_EQ(dib.toImage(), src.copy(2, 1, 3, 2));

    // A block reaching past the source's right and bottom edges: only the
    // overlapping pixel is copied; the rest keeps its black.
    dib.Create(3, 3);
    dib.CloneHDC(src, CDIB::SRCCOPY, 5, 3);
    const QImage got = dib.toImage();
    EXPECT_EQ(got.pixel(0, 0), src.pixel(5, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            if (x || y) {
                EXPECT_EQ(got.pixel(x, y), 0xFF000000u) << x << "," << y;
            }
}

TEST(CDIB, CloneHDCConvertsOtherFormats)
{
    const QImage src = randomImage(5, 3, 5);
    CDIB dib;
    dib.Create(4, 2);
    dib.CloneHDC(src.convertToFormat(QImage::Format_RGB888), CDIB::SRCCOPY, 1, 1);
    EXPECT_EQ(dib.toImage(), src.copy(1, 1, 4, 2));
}

TEST(CDIB, PaintToIsClippedToTheTarget)
{
    const QImage src = randomImage(4, 3, 6);
    CDIB dib;
    dib.Create(4, 3);
    dib.CloneHDC(src);
    QImage target(5, 5, QImage::Format_RGB32);
    target.fill(Qt::magenta);
    dib.PaintTo(target, -1, 3);
    QImage expected(5, 5, QImage::Format_RGB32);
    expected.fill(Qt::magenta);
    QPainter(&expected).drawImage(QPoint(0, 3), src, QRect(1, 0, 3, 2));
    EXPECT_EQ(target, expected);
}

TEST(CDIB, CloneStretchesToTheSurfaceOrFitsTheSurfaceToThePicture)
{
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(10, 20, 30));
    two.setPixel(1, 0, qRgb(40, 50, 60));
    CDIB dib;
    dib.Create(4, 2);
    dib.Clone(two);
    const QImage got = dib.toImage();
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(got.pixel(0, y), two.pixel(0, 0));
        EXPECT_EQ(got.pixel(1, y), two.pixel(0, 0));
        EXPECT_EQ(got.pixel(2, y), two.pixel(1, 0));
        EXPECT_EQ(got.pixel(3, y), two.pixel(1, 0));
    }
    const QImage src = randomImage(5, 3, 7);
    dib.Clone(src, true);
    EXPECT_EQ(dib.Width(), 5);
    EXPECT_EQ(dib.Height(), 3);
    EXPECT_EQ(dib.toImage(), src);
}

TEST(CDIB, PaintZoomRoundsTheSizeHalfToEven)
{
    CDIB dib;
    dib.Create(5, 5);
    dib.CloneHDC(randomImage(5, 5, 8));
    QImage target(6, 6, QImage::Format_RGB32);
    target.fill(Qt::magenta);
    dib.PaintZoom(target, 0, 0, 50); // 2.5 -> 2
    EXPECT_NE(target.pixel(1, 1), qRgb(255, 0, 255));
    EXPECT_EQ(target.pixel(2, 0), qRgb(255, 0, 255));
    EXPECT_EQ(target.pixel(0, 2), qRgb(255, 0, 255));

    CDIB two;
    two.Create(2, 2);
    two.CloneHDC(randomImage(2, 2, 9));
    target.fill(Qt::magenta);
    two.PaintZoom(target, 1, 1, 150); // 3 x 3 at (1, 1), nearest pixel
    EXPECT_EQ(target.pixel(0, 0), qRgb(255, 0, 255));
    EXPECT_EQ(target.pixel(1, 1), two.toImage().pixel(0, 0));
    EXPECT_EQ(target.pixel(3, 3), two.toImage().pixel(1, 1));
    EXPECT_EQ(target.pixel(4, 4), qRgb(255, 0, 255));
}

TEST(CDIB, PainterDrawsInPictureCoordinates)
{
    CDIB dib;
    dib.Create(4, 3);
    {
        CDIB::Painter p(dib);
        p.fillRect(QRect(0, 0, 4, 1), QColor(1, 2, 3)); // the picture's top row
    }
    const auto b = bytesOf(dib);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(b[2 * 12 + 3 * x], 3); // memory row H-1, blue first
        EXPECT_EQ(b[2 * 12 + 3 * x + 1], 2);
        EXPECT_EQ(b[2 * 12 + 3 * x + 2], 1);
    }
    EXPECT_TRUE(std::all_of(b.begin(), b.begin() + 24, [](uint8_t x) { return x == 0; }));
}

TEST(CDIB, PrintTxtDrawsUprightTextInsideItsRectangle)
{
    CDIB dib;
    dib.Create(120, 100);
    dib.SetTextColor(Qt::white);
    dib.SetBackTransparent(true);
    dib.PrintTxt(QStringLiteral("HH"), 10, 5); // rectangle x 10..41, y 5..54
    const QImage got = dib.toImage();
    QRect lit;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            if (got.pixel(x, y) != 0xFF000000u)
                lit |= QRect(x, y, 1, 1);
    ASSERT_FALSE(lit.isEmpty()) << "no text drawn";
    EXPECT_TRUE(QRect(10, 5, 32, 50).contains(lit)) << lit.x() << "," << lit.y() << " " << lit.width() << "x"
                                                    << lit.height();
    // Text starts at the top of its rectangle: a flipped drawing would land at its bottom.
    EXPECT_LT(lit.top(), 5 + 20);
}

// --- sharpen ---

struct SharpenValue
{
    int v, n, expected;
};

class CDIBSharpenValue : public ::testing::TestWithParam<SharpenValue>
{
};

TEST_P(CDIBSharpenValue, ByteAgainstItsDiagonalNeighbour)
{
    const SharpenValue c = GetParam();
    CDIB dib;
    dib.Create(4, 2); // stride 12: byte 0's neighbour is byte 15
    std::vector<uint8_t> b(24, 0);
    b[0] = uint8_t(c.v);
    b[15] = uint8_t(c.n);
    setBytes(dib, b);
    dib.Sharpen();
    EXPECT_EQ(bytesOf(dib)[0], c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, CDIBSharpenValue,
                         ::testing::Values(SharpenValue{200, 50, 255}, SharpenValue{10, 100, 0},
                                           SharpenValue{100, 80, 120}, SharpenValue{0, 0, 0},
                                           SharpenValue{0, 255, 0}, SharpenValue{128, 0, 255},
                                           SharpenValue{127, 0, 254}, SharpenValue{1, 2, 0},
                                           SharpenValue{255, 255, 255}));

TEST(CDIBSharpen, OneRowChangesNothing)
{
    CDIB dib;
    dib.Create(4, 1);
    const auto before = randomBytes(12, 11);
    setBytes(dib, before);
    dib.Sharpen();
    EXPECT_EQ(bytesOf(dib), before);
}

TEST(CDIBSharpen, EveryByteIsComputedFromTheUnmodifiedPicture)
{
    // Sizes with and without row padding, and wide enough for the vector path.
    for (auto [w, h] : {std::pair{5, 7}, std::pair{8, 5}, std::pair{13, 11}, std::pair{1, 9},
                        std::pair{64, 3}, std::pair{101, 37}, std::pair{4, 2}}) {
        CDIB dib;
        dib.Create(w, h);
        const auto before = randomBytes(size_t(dib.RGBSize()), unsigned(w * 1000 + h));
        setBytes(dib, before);
        std::span<uint8_t> v;
        const int s = dib.MapArray(v);
        dib.UnMapArray(v);
        dib.Sharpen();
        EXPECT_EQ(bytesOf(dib), sharpenReference(before, s)) << w << "x" << h;
    }
}

TEST(CDIBSharpen, PaddingBytesAreWalkedLikeColourBytes)
{
    CDIB dib;
    dib.Create(5, 3); // stride 16, one padding byte per row (15, 31, 47)
    std::vector<uint8_t> b(48, 0);
    b[15] = 100; // padding of row 0, neighbour 34 (row 2, byte 2)
    b[34] = 30;
    b[12] = 90; // rightmost pixel of row 0, its neighbour 31 is row 1's padding
    b[31] = 40;
    b[28] = 50; // rightmost pixel of row 1: neighbour 47 is row 2's padding
    b[47] = 10;
    setBytes(dib, b);
    dib.Sharpen();
    const auto a = bytesOf(dib);
    EXPECT_EQ(a[15], 170);
    EXPECT_EQ(a[12], 140);
    EXPECT_EQ(a[28], 90);
    // The last three bytes of the row below the top row, and the top row, stay.
    EXPECT_EQ(a[31], 40);
    EXPECT_EQ(a[34], 30);
    EXPECT_EQ(a[47], 10);
}

TEST(CDIBSharpen, WithoutPaddingTheRightmostPixelMeetsTheRowAfterNext)
{
    CDIB dib;
    dib.Create(4, 3); // stride 12, no padding
    std::vector<uint8_t> b(36, 0);
    b[9] = 100; // rightmost pixel of row 0, neighbour 24 = row 2's first byte
    b[24] = 60;
    setBytes(dib, b);
    dib.Sharpen();
    EXPECT_EQ(bytesOf(dib)[9], 140);
}

TEST(CDIBSharpen, ThroughThePageSurface)
{
    // The viewer's sequence: Create at the surface size, CloneHDC, Sharpen, PaintTo.
    const QImage page = randomImage(9, 6, 12);
    QImage surface = page;
    CDIB dib;
    dib.Cls();
    dib.Create(surface.width(), surface.height());
    dib.CloneHDC(surface, CDIB::SRCCOPY, 0, 0);
    dib.Sharpen();
    dib.PaintTo(surface, 0, 0, CDIB::SRCCOPY);

    CDIB ref;
    ref.Create(9, 6);
    ref.CloneHDC(page);
    const auto expected = sharpenReference(bytesOf(ref), 28);
    setBytes(ref, expected);
    EXPECT_EQ(surface, ref.toImage());
    // The picture's top row has no row above it and stays as it was.
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(surface.pixel(x, 0), page.pixel(x, 0));
}
