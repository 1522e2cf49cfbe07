// The pixel effects other than sharpen.
#include "imaging/CDIB.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

namespace {

struct Bgr
{
    int b, g, r;
    bool operator==(const Bgr &) const = default;
};

void PrintTo(const Bgr &c, std::ostream *os)
{
    *os << "(b " << c.b << ", g " << c.g << ", r " << c.r << ")";
}

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
    std::copy(bytes.begin(), bytes.end(), v.begin());
    dib.UnMapArray(v);
}

// A picture of w x h pixels all of colour c, with every padding byte set to 99.
void fillPixels(CDIB &dib, int w, int h, Bgr c)
{
    dib.Create(w, h);
    std::span<uint8_t> v;
    const int s = dib.MapArray(v);
    std::fill(v.begin(), v.end(), uint8_t(99));
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x) {
            v[r * s + 3 * x] = uint8_t(c.b);
            v[r * s + 3 * x + 1] = uint8_t(c.g);
            v[r * s + 3 * x + 2] = uint8_t(c.r);
        }
    dib.UnMapArray(v);
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

std::vector<uint8_t> paddingOf(CDIB &dib)
{
    std::span<uint8_t> v;
    const int s = dib.MapArray(v);
    std::vector<uint8_t> out;
    for (int r = 0; r < dib.Height(); ++r)
        for (int i = 3 * dib.Width(); i < s; ++i)
            out.push_back(v[r * s + i]);
    dib.UnMapArray(v);
    return out;
}

} // namespace

// --- colour effects: one colour in, one colour out, on every pixel ---

struct ColourCase
{
    const char *name;
    std::function<void(CDIB &)> effect;
    Bgr in, out;
};

void PrintTo(const ColourCase &c, std::ostream *os)
{
    *os << c.name;
}

class CDIBColourEffect : public ::testing::TestWithParam<ColourCase>
{
};

TEST_P(CDIBColourEffect, EveryPixelOfAPaddedPictureAndNoPadding)
{
    const ColourCase c = GetParam();
    CDIB dib;
    fillPixels(dib, 5, 3, c.in); // width 5: one padding byte per row
    c.effect(dib);
    std::span<uint8_t> v;
    const int s = dib.MapArray(v);
    for (int r = 0; r < 3; ++r)
        for (int x = 0; x < 5; ++x) {
            const uint8_t *p = v.data() + r * s + 3 * x;
            ASSERT_EQ((Bgr{p[0], p[1], p[2]}), c.out) << "row " << r << " column " << x;
        }
    dib.UnMapArray(v);
    for (uint8_t pad : paddingOf(dib))
        EXPECT_EQ(pad, 99);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CDIBColourEffect,
    ::testing::Values(
        ColourCase{"Greyscale", [](CDIB &d) { d.Greyscale(); }, {10, 20, 31}, {20, 20, 20}},
        ColourCase{"FilterOutColors", [](CDIB &d) { d.FilterOutColors(true, false, true); }, {10, 20, 31}, {10, 0, 31}},
        ColourCase{"ShiftColorsClamps", [](CDIB &d) { d.ShiftColors(10, -20, 300); }, {5, 10, 250}, {255, 0, 255}},
        ColourCase{"ShiftColorsExOtherColour", [](CDIB &d) { d.ShiftColorsEx(1, 1, 1, 3 + 256 * 2 + 65536 * 1); },
                   {1, 2, 4}, {2, 3, 5}},
        ColourCase{"ShiftColorsExSkipsExCol", [](CDIB &d) { d.ShiftColorsEx(1, 1, 1, 3 + 256 * 2 + 65536 * 1); },
                   {1, 2, 3}, {1, 2, 3}},
        ColourCase{"Brightness", [](CDIB &d) { d.Brightness(-5); }, {10, 20, 3}, {5, 15, 0}},
        ColourCase{"ExchangeRGB1", [](CDIB &d) { d.ExchangeRGB(1); }, {1, 2, 3}, {2, 3, 1}},
        ColourCase{"ExchangeRGB2", [](CDIB &d) { d.ExchangeRGB(2); }, {1, 2, 3}, {3, 1, 2}},
        ColourCase{"ExchangeRGB3", [](CDIB &d) { d.ExchangeRGB(3); }, {1, 2, 3}, {3, 2, 1}},
        ColourCase{"ExchangeRGBOther", [](CDIB &d) { d.ExchangeRGB(4); }, {1, 2, 3}, {1, 2, 3}},
        ColourCase{"InvertColors", [](CDIB &d) { d.InvertColors(); }, {1, 2, 3}, {254, 253, 252}},
        ColourCase{"MonochromeAtThreshold", [](CDIB &d) { d.Monochrome(20); }, {10, 20, 31}, {255, 255, 255}},
        ColourCase{"MonochromeBelow", [](CDIB &d) { d.Monochrome(21); }, {10, 20, 31}, {0, 0, 0}},
        ColourCase{"Flame", [](CDIB &d) { d.Flame(); }, {30, 60, 90}, {0, 60, 150}},
        // 1.5 x 1 = 1.5 -> 2; green 1.5 x 2 = 3; blue 1.5 x 5 = 7.5 -> 8
        ColourCase{"FreezeTiesToEven", [](CDIB &d) { d.Freeze(false); }, {0, 0, 1}, {8, 3, 2}},
        // 1.5 x 3 = 4.5 -> 4; green 1.5 x 4 = 6; blue 1.5 x 10 = 15
        ColourCase{"FreezeTieDown", [](CDIB &d) { d.Freeze(false); }, {0, 0, 3}, {15, 6, 4}},
        ColourCase{"FreezeStrongClamps", [](CDIB &d) { d.Freeze(true); }, {0, 0, 200}, {255, 255, 255}},
        ColourCase{"NightShadeFromNewRed", [](CDIB &d) { d.NightShade(); }, {5, 5, 10}, {10, 10, 54}},
        ColourCase{"Spooky", [](CDIB &d) { d.Spooky(); }, {100, 100, 200}, {250, 250, 200}},
        ColourCase{"SpookyClamps", [](CDIB &d) { d.Spooky(); }, {100, 100, 220}, {255, 255, 220}},
        // red 255 x 0.008 = 2.04 -> 2; green 98^2 x 0.008 = 76.832 -> 77; blue 75^2 x 0.008 = 45
        ColourCase{"Psycho", [](CDIB &d) { d.Psycho(); }, {100, 0, 7}, {45, 77, 2}},
        ColourCase{"Brown", [](CDIB &d) { d.Brown(); }, {128, 200, 9}, {19, 50, 100}},
        ColourCase{"PurpleStain", [](CDIB &d) { d.PurpleStain(); }, {40, 100, 50}, {145, 90, 125}}));

// --- geometric effects ---

TEST(CDIBEffects, FlipVertSwapsWholeMemoryRows)
{
    CDIB dib;
    dib.Create(5, 3);
    std::vector<uint8_t> b(48);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = uint8_t(i);
    setBytes(dib, b);
    dib.FlipVert();
    const auto a = bytesOf(dib);
    for (int r = 0; r < 3; ++r)
        for (int i = 0; i < 16; ++i)
            ASSERT_EQ(a[r * 16 + i], b[(2 - r) * 16 + i]);
}

TEST(CDIBEffects, FastRotReversesThePixelGroupsOfAnUnpaddedPicture)
{
    CDIB dib;
    dib.Create(8, 3); // stride 24, no padding
    std::vector<uint8_t> b(72);
    std::mt19937 gen(1);
    for (auto &x : b)
        x = uint8_t(gen());
    setBytes(dib, b);
    dib.FastRot();
    const auto a = bytesOf(dib);
    for (int k = 0; k <= 72 - 3; k += 3)
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(a[k + c], b[72 - 3 - k + c]) << k;
}

TEST(CDIBEffects, FastRotAndFlipHorZTurnPaddedPicturesAsPictures)
{
    for (int w : {5, 6, 7, 8}) {
        const QImage src = randomImage(w, 4, unsigned(w));
        CDIB dib;
        dib.Create(w, 4);
        dib.CloneHDC(src);
        const auto pad = paddingOf(dib);
        dib.FastRot();
        EXPECT_EQ(dib.toImage(), src.mirrored(true, true)) << w;
        EXPECT_EQ(paddingOf(dib), pad);
        dib.CloneHDC(src);
        dib.FlipHorZ();
        EXPECT_EQ(dib.toImage(), src.mirrored(true, false)) << w;
    }
}

TEST(CDIBEffects, RotatePicTurnsAQuarterCounterClockwise)
{
    // Square and unpadded: the byte formula itself.
    CDIB sq;
    sq.Create(4, 4);
    std::vector<uint8_t> b(48);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = uint8_t(i * 5 + 1);
    setBytes(sq, b);
    sq.RotatePic();
    const auto a = bytesOf(sq);
    const int s = 12, H = 4;
    for (int y = 0; y < H; ++y)
        for (int k = 0; k <= s - 3; k += 3)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(a[k * H + (s - 3 - 3 * y) + c], b[s * y + k + c]);

    // Any other picture turns as a picture: the top-right corner goes to the top-left.
    const QImage src = randomImage(5, 3, 2);
    CDIB dib;
    dib.Create(5, 3);
    dib.CloneHDC(src);
    dib.RotatePic();
    ASSERT_EQ(dib.Width(), 3);
    ASSERT_EQ(dib.Height(), 5);
    const QImage got = dib.toImage();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x)
            ASSERT_EQ(got.pixel(x, y), src.pixel(4 - y, x)) << x << "," << y;
}

// --- neighbourhood effects ---

TEST(CDIBEffects, MakeEmbossUsesNeighboursBeforeTheWalk)
{
    CDIB dib;
    dib.Create(4, 3); // stride 12, size 36
    std::vector<uint8_t> b(36);
    std::mt19937 gen(5);
    for (auto &x : b)
        x = uint8_t(gen());
    for (bool extended : {false, true}) {
        for (bool grey : {false, true}) {
            setBytes(dib, b);
            dib.MakeEmboss(40, extended, grey);
            const auto a = bytesOf(dib);
            const int d = extended ? 15 : 3;
            for (int k = 0; k <= 36 - 3 - d; k += 3) {
                int e[3];
                for (int c = 0; c < 3; ++c)
                    e[c] = std::clamp(b[k + c] + 40 - b[k + c + d], 0, 255);
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(a[k + c], grey ? (e[0] + e[1] + e[2]) / 3 : e[c])
                        << "extended " << extended << " grey " << grey << " byte " << k + c;
            }
            for (int j = (36 - 3 - d) / 3 * 3 + 3; j < 36; ++j)
                ASSERT_EQ(a[j], b[j]) << "byte " << j << " past the walk";
        }
    }
}

TEST(CDIBEffects, FastBlurAveragesTheFourNeighboursWithTheByteTwice)
{
    CDIB dib;
    dib.Create(4, 3); // stride 12; the walk covers bytes 15..20
    std::vector<uint8_t> b(36, 0);
    b[17] = 60;
    b[5] = 6;  // the row below byte 17
    b[29] = 12; // the row above byte 17
    setBytes(dib, b);
    dib.FastBlur();
    const auto a = bytesOf(dib);
    EXPECT_EQ(a[17], 23); // (2 x 60 + 6 + 12) / 6
    EXPECT_EQ(a[20], 10); // its left neighbour is 60
    EXPECT_EQ(a[5], 6);   // outside the walk
    EXPECT_EQ(a[14], 0);  // outside the walk although next to 60
    EXPECT_EQ(a[29], 12); // outside the walk
}

TEST(CDIBEffects, ScanLinesBlackenEveryStepthMemoryRow)
{
    struct Case
    {
        uint8_t p;
        std::vector<int> black;
    };
    // step = round(100 / p), ties to even: 40 -> 2.5 -> 2; 200 -> 0.5 -> 0, read as every row
    for (const Case &c : {Case{0, {}}, Case{50, {0, 2, 4}}, Case{40, {0, 2, 4}}, Case{30, {0, 3}},
                          Case{100, {0, 1, 2, 3, 4, 5}}, Case{200, {0, 1, 2, 3, 4, 5}}, Case{250, {0, 1, 2, 3, 4, 5}}}) {
        CDIB dib;
        fillPixels(dib, 5, 6, {7, 7, 7});
        dib.ScanLines(c.p);
        const auto a = bytesOf(dib);
        for (int r = 0; r < 6; ++r) {
            const bool black = std::find(c.black.begin(), c.black.end(), r) != c.black.end();
            for (int i = 0; i < 16; ++i)
                ASSERT_EQ(a[r * 16 + i] == 0, black) << "p " << int(c.p) << " row " << r << " byte " << i;
        }
    }
}

TEST(CDIBEffects, DynamicBlurSpreadsAPointAndKeepsAFlatPicture)
{
    CDIB flat;
    fillPixels(flat, 7, 5, {40, 80, 120});
    flat.DynamicBlur(2, 2);
    EXPECT_EQ(flat.toImage(), [] {
        QImage i(7, 5, QImage::Format_RGB32);
        i.fill(qRgb(120, 80, 40));
        return i;
    }());

    CDIB dot;
    dot.Create(9, 9);
    QImage src(9, 9, QImage::Format_RGB32);
    src.fill(Qt::black);
    src.setPixel(4, 4, qRgb(225, 225, 225));
    dot.CloneHDC(src);
    dot.DynamicBlur(1, 1);
    const QImage got = dot.toImage();
    EXPECT_EQ(qRed(got.pixel(4, 4)), 25);
    EXPECT_EQ(got.pixel(3, 3), got.pixel(5, 5));
    EXPECT_EQ(got.pixel(3, 4), got.pixel(4, 5));
    EXPECT_EQ(got.pixel(2, 4), 0xFF000000u);
    dot.DynamicBlur(0, 3);
    EXPECT_EQ(dot.toImage(), got);
}

TEST(CDIBEffects, AlphaBlendMixesTheOtherSurfaceAtItsPlace)
{
    CDIB base;
    fillPixels(base, 4, 4, {0, 0, 0});
    CDIB top;
    fillPixels(top, 2, 2, {255, 255, 255});
    {
        CDIB::Painter p(top);
        p.fillRect(QRect(1, 1, 1, 1), QColor(1, 2, 3)); // the transparent colour
    }
    base.AlphaBlend(top, 1, 2, 50, 1 + 256 * 2 + 65536 * 3);
    const QImage got = base.toImage();
    EXPECT_EQ(got.pixel(1, 2), qRgb(128, 128, 128));
    EXPECT_EQ(got.pixel(2, 2), qRgb(128, 128, 128));
    EXPECT_EQ(got.pixel(1, 3), qRgb(128, 128, 128));
    EXPECT_EQ(got.pixel(2, 3), qRgb(0, 0, 0)); // skipped colour
    EXPECT_EQ(got.pixel(0, 2), qRgb(0, 0, 0));
    EXPECT_EQ(got.pixel(1, 1), qRgb(0, 0, 0));

    const QImage before = base.toImage();
    base.AlphaBlend(top, 0, 0, 0, -1);
    base.AlphaBlend(top, 0, 0, 101, -1);
    base.AlphaBlend(top, 5, 0, 50, -1);
    EXPECT_EQ(base.toImage(), before);
}
