#include "CaseName.h"
#include "core/IndexGeometry.h"

#include <gtest/gtest.h>

using namespace IndexGeometry;

namespace {

struct SizeCase
{
    const char *what;
    double w, h;
    QSize expected;
};

using ThumbnailSize = ::testing::TestWithParam<SizeCase>;

TEST_P(ThumbnailSize, FollowsTheBoxRule)
{
    const SizeCase c = GetParam();
    EXPECT_EQ(thumbnailSize(c.w, c.h), c.expected) << c.w << " x " << c.h;
}

INSTANTIATE_TEST_SUITE_P(Index, ThumbnailSize,
                         ::testing::Values(SizeCase{"SmallerThanTheBoxKeepsItsSize", 60, 40, {60, 40}},
                                           SizeCase{"TallPage", 800, 1200, {47, 71}},
                                           SizeCase{"ScaledByOnly0_099", 400, 300, {40, 30}},
                                           SizeCase{"WideHeldToTheBoxWidth", 2000, 1000, {88, 44}},
                                           SizeCase{"SliverStillShows", 1, 5000, {1, 71}},
                                           SizeCase{"SizeUnknown", 0, 0, {}}, SizeCase{"Negative", 120, -5, {}}),
                         CaseName());

// Two cells a row, left then right: each thumbnail inside its highlight with its
// caption below, no highlights overlapping, every cell inside the content's
// height and the viewport's width, a small thumbnail centred in its box.
TEST(IndexGeometry, CellsStandTwoToARowApartAndInside)
{
    const int n = 5;
    for (int i = 0; i < n; ++i) {
        EXPECT_TRUE(highlightRect(i).contains(thumbRect(i))) << i;
        EXPECT_EQ(captionRect(i).left(), thumbRect(i).left()) << i;
        EXPECT_GT(captionRect(i).top(), thumbRect(i).bottom()) << i;
        EXPECT_LE(captionRect(i).bottom(), contentHeight(n)) << i;
        EXPECT_LE(highlightRect(i).right(), kPaneWidth - kScrollWidth - 6) << i;
        EXPECT_EQ(thumbRect(i).top(), thumbRect(i ^ 1).top()) << i;
        EXPECT_EQ(thumbRect(i).left() < thumbRect(i ^ 1).left(), i % 2 == 0) << i;
        for (int j = i + 1; j < n; ++j)
            EXPECT_FALSE(highlightRect(i).intersects(highlightRect(j))) << i << " " << j;
        if (i + 2 < n) {
            EXPECT_GT(thumbRect(i + 2).top(), captionRect(i).bottom()) << i;
        }
    }
    const QSize small(47, 71);
    const QPoint at = thumbnailOffset(small);
    EXPECT_LE(std::abs(thumbRect(0).width() - small.width() - 2 * at.x()), 1);
    EXPECT_LE(std::abs(thumbRect(0).height() - small.height() - 2 * at.y()), 1);
}

struct CaptionCase
{
    const char *what;
    const char *path;
    const char *expected;
};

using Caption = ::testing::TestWithParam<CaptionCase>;

TEST_P(Caption, CutsNamesLongerThanSevenLegacyBytes)
{
    EXPECT_EQ(caption(QString::fromUtf8(GetParam().path)), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Index, Caption,
    ::testing::Values(CaptionCase{"LongNameCut", "/books/vol1/abcdef12.jpg", "abcdef1..."},
                      CaptionCase{"ShortName", "/books/a.png", "a.png"}, CaptionCase{"BareName", "p1.jpg", "p1.jpg"},
                      // three syllables are six bytes in CP949: seven characters, ten bytes
                      CaptionCase{"KoreanCutByBytes", "/tmp/가나다.jpg", "가나다.jpg..."},
                      CaptionCase{"ShortKorean", "/tmp/가.jpg", "가.jpg"},
                      CaptionCase{"AstralCharacterNeverHalved", "abcdef\xF0\x9F\x98\x80x.png", "abcdef\xF0\x9F\x98\x80..."}),
    CaseName());

TEST(IndexGeometry, ScrollBarOnlyForContentTallerThanTheViewport)
{
    const ScrollSettings fits = scrollSettings(contentHeight(3), 500, 40);
    EXPECT_FALSE(fits.enabled);
    EXPECT_EQ(fits.value, 0);
    EXPECT_EQ(fits.maximum, 0);

    const ScrollSettings tall = scrollSettings(1000, 400, 900);
    EXPECT_TRUE(tall.enabled);
    EXPECT_EQ(tall.maximum, 600);
    EXPECT_EQ(tall.pageStep, 400);
    EXPECT_EQ(tall.singleStep, 95);
    EXPECT_EQ(tall.value, 600); // kept, within reach
}

TEST(IndexGeometry, PaneLayoutAndEdges)
{
    // Below the strip the viewport and its bar fill the height down to the bottom bar,
    // which runs the pane's full width; two cells fit the viewport; the wait panel is centred.
    const QRect pane(0, 0, 221, 600);
    const PaneLayout l = paneLayout(pane.width(), pane.height(), 24, 8, QSize(22, 22), QSize(209, 56));
    EXPECT_EQ(l.viewport.top(), 24);
    EXPECT_EQ(l.scrollBar.left(), l.viewport.right() + 1);
    EXPECT_EQ(l.scrollBar.width(), kScrollWidth);
    EXPECT_EQ(l.scrollBar.top(), l.viewport.top());
    EXPECT_EQ(l.scrollBar.bottom(), l.viewport.bottom());
    EXPECT_GE(l.viewport.width(), highlightRect(1).right() + 1);
    EXPECT_EQ(l.bottomBar, QRect(0, l.viewport.bottom() + 1, pane.width(), 8));
    EXPECT_EQ(l.bottomBar.bottom(), pane.bottom());
    EXPECT_EQ(l.waitPanel.size(), QSize(209, 56));
    EXPECT_EQ(l.waitPanel.center(), pane.center());
    EXPECT_EQ(l.edges[5].line, QLine(220, 0, 220, 592)); // the frame ends on the pane's last column
    EXPECT_EQ(gridLinesY(190), (std::vector<int>{95, 190, 285}));
}

} // namespace
