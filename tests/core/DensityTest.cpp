// Drawing on dense screens: the same logical layout at every device pixel ratio,
// and the magnifier's view of the pages.
#include "CaseName.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "core/LensGeometry.h"
#include "core/PageGeometry.h"
#include "core/DecodeQueue.h"
#include "platform/Canvas.h"

#include <QCheckBox>
#include <map>

namespace {

struct DensityCase
{
    const char *what;
    bool twoPage, hundred, effect;
    double ratio;
};

class DensityLayout : public ViewerFixture, public ::testing::WithParamInterface<DensityCase>
{
protected:
    // Where each page colour stands on the surface.
    static std::map<int, QRect> boxes(const QImage &s)
    {
        std::map<int, QRect> out;
        for (int y = 0; y < s.height(); ++y) {
            const QRgb *row = reinterpret_cast<const QRgb *>(s.constScanLine(y));
            for (int x = 0; x < s.width(); ++x) {
                for (int i = 1; i <= 4; ++i) {
                    if (QColor(row[x]) == TestImages::pageColour(i))
                        out[i] |= QRect(x, y, 1, 1);
                }
            }
        }
        return out;
    }
    // Page (or spread) 1, reached from 0 with the effect when the case has it.
    std::map<int, QRect> drawn()
    {
        w->session.setOption(ReadingSession::BookEffect, GetParam().effect);
        w->session.goToStep(0, TurnDirection::RightOver, false);
        w->session.goToStep(1, TurnDirection::RightOver, true);
        return boxes(w->PicDraw->surface());
    }
};

TEST_P(DensityLayout, TheDeviceSurfaceHoldsTheLogicalLayoutAtTheRatio)
{
    const DensityCase c = GetParam();
    const QString root = TestImages::writePages(makeFolder(QStringLiteral("pages")), 4, 300, 400);
    startUp();
    w->chkeffect->setChecked(false);
    w->PicDraw->resize(1001, 801);
    openFolder(root);
    w->Chk_hundred->setChecked(c.hundred);
    w->chk_view->setChecked(c.twoPage);
    const std::map<int, QRect> logical = drawn();
    std::vector<QRect> shown;
    for (const PageComposer::ShownPage &p : w->composer.shownPages())
        shown.push_back(p.rect);
    ASSERT_EQ(logical.size(), c.twoPage ? 2u : 1u);

    // As on a move to a screen of this density: drawn again there at once (at
    // the size the window's layout gives the surface).
    w->PicDraw->setRatio(c.ratio);
    EXPECT_EQ(w->PicDraw->surface().size(), w->PicDraw->size() * c.ratio);
    EXPECT_FALSE(boxes(w->PicDraw->surface()).empty());
    w->PicDraw->resize(1001, 801);
    const QSize device(qRound(1001 * c.ratio), qRound(801 * c.ratio));
    const std::map<int, QRect> dense = drawn();
    EXPECT_EQ(w->PicDraw->surface().size(), device);
    ASSERT_EQ(dense.size(), logical.size());
    for (const auto &[colour, box] : logical)
        EXPECT_EQ(dense.at(colour), PageGeometry::toDevice(box, c.ratio)) << "page colour " << colour;
    // What the magnifier reads is the logical layout, whatever the ratio.
    ASSERT_EQ(w->composer.shownPages().size(), shown.size());
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(w->composer.shownPages()[i].rect, shown[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Ratios, DensityLayout,
    ::testing::Values(DensityCase{"OnePageAt1", false, false, false, 1.0},
                      DensityCase{"OnePageAt1_5", false, false, false, 1.5},
                      DensityCase{"OnePageAt2", false, false, false, 2.0},
                      DensityCase{"SpreadAt1_5", true, false, false, 1.5},
                      DensityCase{"SpreadAt2", true, false, false, 2.0},
                      DensityCase{"HundredAt1_5", false, true, false, 1.5},
                      DensityCase{"HundredSpreadAt2", true, true, false, 2.0},
                      DensityCase{"TurnedSpreadAt2", true, false, true, 2.0},
                      DensityCase{"TurnedPageAt1_25", false, false, true, 1.25}),
    CaseName());

struct LensCase
{
    const char *what;
    QPointF pointer;
    std::vector<QRect> pages;
    // Expected pieces: page, source rectangle (in the 2x picture), lens target.
    std::vector<LensGeometry::Piece> pieces;
};

using Lens = ::testing::TestWithParam<LensCase>;

} // namespace

// A 300-pixel lens at 2x shows 150 x 150 logical pixels of the surface; the
// pictures have twice the pixels of the pages as they stand.
TEST_P(Lens, ShowsThePartsOfThePagesAroundThePointerFromTheirPictures)
{
    const LensCase c = GetParam();
    std::vector<QSize> pictures;
    for (const QRect &r : c.pages)
        pictures.push_back(r.size() * 2);
    const std::vector<LensGeometry::Piece> got = LensGeometry::pieces(c.pointer, 300, 2.0, c.pages, pictures);
    ASSERT_EQ(got.size(), c.pieces.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].page, c.pieces[i].page);
        EXPECT_EQ(got[i].source, c.pieces[i].source) << i;
        EXPECT_EQ(got[i].target, c.pieces[i].target) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pointers, Lens,
    ::testing::Values(
        LensCase{"InsideAPage", {300, 400}, {{100, 100, 400, 600}}, {{0, {250, 450, 300, 300}, {0, 0, 300, 300}}}},
        LensCase{"OnATopLeftCorner", {100, 100}, {{100, 100, 400, 600}}, {{0, {0, 0, 150, 150}, {150, 150, 150, 150}}}},
        LensCase{"OnABottomRightCorner", {500, 700}, {{100, 100, 400, 600}},
                 {{0, {650, 1050, 150, 150}, {0, 0, 150, 150}}}},
        LensCase{"BesideThePage", {20, 400}, {{100, 100, 400, 600}}, {}},
        LensCase{"OnTheSpine", {400, 300}, {{0, 0, 400, 600}, {400, 0, 400, 600}},
                 {{0, {650, 450, 150, 300}, {0, 0, 150, 300}}, {1, {0, 450, 150, 300}, {150, 0, 150, 300}}}},
        LensCase{"OverTheLonePageOfASpread", {390, 10}, {{400, 50, 400, 600}},
                 {{0, {0, 0, 130, 70}, {170, 230, 130, 70}}}}),
    CaseName());

TEST(Lens, ZoomStaysWithinItsLimitsAndPicturesStayWithinTheirFiles)
{
    EXPECT_EQ(LensGeometry::zoomAfter(2.0, 120), 2.5);
    EXPECT_EQ(LensGeometry::zoomAfter(2.0, -240), 1.5);
    EXPECT_EQ(LensGeometry::zoomAfter(3.5, 3 * 120), 4.0);
    // Never more pixels than the file has, nor more than the largest zoom needs.
    EXPECT_EQ(LensGeometry::pictureSize({400, 300}, {3000, 2000}, 2.0), QSize(3000, 2000));
    EXPECT_EQ(LensGeometry::pictureSize({100, 100}, {3000, 3000}, 1.5), QSize(600, 600));
    EXPECT_EQ(LensGeometry::sideFromSetting(QStringLiteral(" 450 ")), 450);
    EXPECT_EQ(LensGeometry::sideFromSetting(QStringLiteral("big")), LensGeometry::kDefaultSide);
    EXPECT_EQ(LensGeometry::sideFromSetting(QStringLiteral("5")), LensGeometry::kMinSide);
}

TEST(DenseThumbnail, HasTheRatioTimesThePixelsAndTheSameLogicalSize)
{
    QTemporaryDir d;
    const QString file = d.path() + QStringLiteral("/p.png");
    ASSERT_TRUE(TestImages::write(file, 800, 1200));
    const std::pair<double, QSize> cells[] = {{1.0, {88, 71}}, {1.5, {132, 106}}, {2.0, {176, 142}}};
    for (const auto &[ratio, size] : cells) {
        const QImage cell = DecodeQueue::thumbnailCell(file, ratio);
        EXPECT_EQ(cell.size(), size) << ratio;
        EXPECT_NEAR(cell.deviceIndependentSize().height(), 71, 0.5) << ratio;
    }
}
