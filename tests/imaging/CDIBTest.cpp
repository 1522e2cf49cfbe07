#include "CaseName.h"
// The DIB surface: layout, errors, copies in and out, and the pixel effects.
#include "imaging/CDIB.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
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

// Every seventh byte is 0 or 255, where the zero rule and the clamps matter.
std::vector<uint8_t> randomBytes(size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = i % 7 ? uint8_t(gen()) : (i % 14 ? 255 : 0);
    return out;
}

// The number and text of the ImagingError f raises; {0, ""} when it raises none.
std::pair<int, QString> errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const ImagingError &e) {
        return {e.number(), e.description()};
    }
    return {0, QString()};
}

// The sharpen rule computed byte by byte from an untouched copy.
std::vector<uint8_t> sharpenReference(const std::vector<uint8_t> &c, int s)
{
    std::vector<uint8_t> out = c;
    for (long j = 0; j + s + 3 < long(c.size()); ++j) // the neighbour is one row up, one pixel right
        if (c[j] > 0)
            out[j] = uint8_t(std::clamp(2 * c[j] - c[j + s + 3], 0, 255));
    return out;
}

} // namespace

// --- layout and errors ---

using CDIBLayout = ::testing::TestWithParam<std::array<int, 4>>; // width, height, stride, size

TEST_P(CDIBLayout, StrideSizeAndBlackStart)
{
    const auto [w, h, stride, size] = GetParam();
    CDIB dib;
    dib.Create(w, h);
    EXPECT_EQ(dib.RGBSize(), size);
    std::span<uint8_t> v;
    EXPECT_EQ(dib.MapArray(v), stride);
    EXPECT_EQ(int(v.size()), size);
    EXPECT_TRUE(std::all_of(v.begin(), v.end(), [](uint8_t b) { return b == 0; }));
    dib.UnMapArray(v);
    EXPECT_TRUE(v.empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, CDIBLayout,
                         ::testing::Values(std::array{5, 2, 16, 32}, std::array{4, 1, 12, 12},
                                           std::array{7, 2, 24, 48}), CaseName());

TEST(CDIB, ErrorNumbers)
{
    CDIB dib;
    std::span<uint8_t> v;
    EXPECT_EQ(errorOf([&] { dib.MapArray(v); }).first, ImagingError::DivisionByZero);
    EXPECT_EQ(errorOf([&] { dib.Clone(QImage(2, 2, QImage::Format_RGB32)); }).first, -1);
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 2}}) {
        dib.Create(2, 2);
        EXPECT_EQ(errorOf([&, w = w, h = h] { dib.Create(w, h); }).first, 825) << w << "x" << h;
        EXPECT_FALSE(dib.HasSurface());
        EXPECT_EQ(dib.RGBSize(), 0);
    }
    EXPECT_EQ(errorOf([&] { dib.Create(715827882, 1); }).first, ImagingError::Overflow); // the row size
    EXPECT_EQ(errorOf([&] { dib.Create(40000, 40000); }).first, ImagingError::Overflow);  // the picture size
}

TEST(CDIB, CloneHDCStoresTheTopRowLastAsBlueGreenRedAndPaintToRestoresIt)
{
    QImage src(7, 5, QImage::Format_RGB32);
    std::vector<uint8_t> want(120, 0); // stride 24; memory row H-1 is the picture's top row
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            src.setPixel(x, y, qRgb(37 * x + y, 11 * y + 5 * x + 1, x * y + 9));
            want[(4 - y) * 24 + 3 * x] = uint8_t(x * y + 9);
            want[(4 - y) * 24 + 3 * x + 1] = uint8_t(11 * y + 5 * x + 1);
            want[(4 - y) * 24 + 3 * x + 2] = uint8_t(37 * x + y);
        }
    CDIB dib;
    dib.Create(7, 5);
    dib.CloneHDC(src, CDIB::SRCCOPY, 0, 0);
    EXPECT_EQ(bytesOf(dib), want);
    QImage back(7, 5, QImage::Format_RGB32);
    back.fill(Qt::magenta);
    dib.PaintTo(back, 0, 0, CDIB::SRCCOPY);
    EXPECT_EQ(back, src);
}

// --- sharpen ---

TEST(CDIBSharpen, EveryByteIsComputedFromTheUnmodifiedPicture)
{
    // With and without row padding (padding bytes are walked like colour bytes, and the
    // last rows' neighbours fall outside), wide enough for a vector path, and one row.
    // The bytes include 0 and 255, where the zero rule and both clamps apply.
    for (auto [w, h] : {std::pair{5, 7}, std::pair{8, 5}, std::pair{101, 37}, std::pair{4, 1}}) {
        CDIB dib;
        dib.Create(w, h);
        const auto before = randomBytes(size_t(dib.RGBSize()), unsigned(w * 1000 + h));
        setBytes(dib, before);
        dib.Sharpen();
        EXPECT_EQ(bytesOf(dib), h == 1 ? before : sharpenReference(before, (3 * w + 3) / 4 * 4)) << w << "x" << h;
    }
}

// --- colour effects: one colour in, one colour out, on every pixel ---

struct ColourCase
{
    const char *name;
    std::function<void(CDIB &)> effect;
    std::array<int, 3> in, out; // blue, green, red
};

using CDIBColourEffect = ::testing::TestWithParam<ColourCase>;

TEST_P(CDIBColourEffect, EveryPixelOfAPaddedPictureAndNoPadding)
{
    const ColourCase c = GetParam();
    CDIB dib;
    dib.Create(5, 3); // stride 16: byte 15 of each row is padding, set to 99
    std::vector<uint8_t> b(48);
    for (int i = 0; i < 48; ++i)
        b[i] = uint8_t(i % 16 == 15 ? 99 : c.in[i % 16 % 3]);
    setBytes(dib, b);
    c.effect(dib);
    const auto a = bytesOf(dib);
    for (int i = 0; i < 48; ++i)
        ASSERT_EQ(a[i], i % 16 == 15 ? 99 : c.out[i % 16 % 3]) << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CDIBColourEffect,
    ::testing::Values(
        ColourCase{"Greyscale", [](CDIB &d) { d.Greyscale(); }, {10, 20, 31}, {20, 20, 20}},
        ColourCase{"FilterOutColors", [](CDIB &d) { d.FilterOutColors(true, false, true); }, {10, 20, 31}, {10, 0, 31}},
        ColourCase{"ShiftColorsClamps", [](CDIB &d) { d.ShiftColors(10, -20, 300); }, {5, 10, 250}, {255, 0, 255}},
        ColourCase{"ExchangeRGB1", [](CDIB &d) { d.ExchangeRGB(1); }, {1, 2, 3}, {2, 3, 1}},
        ColourCase{"MonochromeAtThreshold", [](CDIB &d) { d.Monochrome(20); }, {10, 20, 31}, {255, 255, 255}},
        // 1.5 x 1 = 1.5 -> 2; green 1.5 x 2 = 3; blue 1.5 x 5 = 7.5 -> 8
        ColourCase{"FreezeTiesToEven", [](CDIB &d) { d.Freeze(false); }, {0, 0, 1}, {8, 3, 2}},
        // 1.5 x 3 = 4.5 -> 4; green 1.5 x 4 = 6; blue 1.5 x 10 = 15
        ColourCase{"FreezeTieDown", [](CDIB &d) { d.Freeze(false); }, {0, 0, 3}, {15, 6, 4}},
        ColourCase{"NightShadeFromNewRed", [](CDIB &d) { d.NightShade(); }, {5, 5, 10}, {10, 10, 54}}),
    CaseName());

// --- geometric and neighbourhood effects ---

TEST(CDIBEffects, FlipVertSwapsMemoryRowsAndFastRotReversesPixels)
{
    CDIB dib;
    dib.Create(5, 3); // stride 16, padding swapped with its row
    const auto b = randomBytes(48, 1);
    setBytes(dib, b);
    dib.FlipVert();
    auto a = bytesOf(dib);
    for (int i = 0; i < 48; ++i)
        ASSERT_EQ(a[i], b[(2 - i / 16) * 16 + i % 16]) << "FlipVert byte " << i;

    dib.Create(8, 3); // stride 24, no padding
    const auto c = randomBytes(72, 2);
    setBytes(dib, c);
    dib.FastRot();
    a = bytesOf(dib);
    for (int i = 0; i < 72; ++i)
        ASSERT_EQ(a[i], c[72 - 3 - i / 3 * 3 + i % 3]) << "FastRot byte " << i;
}

// A pixel takes its own value plus the factor less its neighbour's: the next pixel,
// or (extended) the one a row and a pixel on. The walk runs forward, so every
// neighbour is read before the walk changes it; a pixel without one stays.
TEST(CDIBEffects, MakeEmbossReadsEachNeighbourBeforeTheWalkChangesIt)
{
    // 4 x 3 without row padding: every byte 100 but pixel 1 {10, 200, 100} and pixel 5 {0, 250, 90}.
    std::vector<uint8_t> b(36, 100);
    for (int c = 0; c < 3; ++c) {
        b[3 + c] = std::array<uint8_t, 3>{10, 200, 100}[c];
        b[15 + c] = std::array<uint8_t, 3>{0, 250, 90}[c];
    }
    const struct
    {
        bool extended, grey;
        int pixel;
        std::array<int, 3> want;
    } cases[] = {
        {false, false, 0, {130, 0, 40}},     // against pixel 1 as it was, clamped
        {false, false, 1, {0, 140, 40}},     // against pixel 2
        {false, true, 0, {56, 56, 56}},      // (130 + 0 + 40) / 3
        {false, false, 11, {100, 100, 100}}, // the last pixel has no neighbour
        {true, false, 0, {140, 0, 50}},      // against pixel 5
        {true, false, 6, {40, 40, 40}},      // against pixel 11, the last
        {true, false, 7, {100, 100, 100}},
    };
    CDIB dib;
    dib.Create(4, 3);
    for (const auto &c : cases) {
        setBytes(dib, b);
        dib.MakeEmboss(40, c.extended, c.grey);
        const auto a = bytesOf(dib);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(a[3 * c.pixel + k], c.want[k]) << "pixel " << c.pixel << " extended " << c.extended;
    }
}
