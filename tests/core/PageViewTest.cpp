// The view's rules without a window: zoom steps, sizes in each fit, scrolling
// inside a page and turning at its end, the continuous strip's positions, its
// decoded pages' memory bound, and the place kept in the resume record.
#include "SessionFixture.h"
#include "core/ContinuousStrip.h"
#include "core/PageView.h"
#include "core/ResumeRecord.h"
#include "core/StripCache.h"

namespace {

struct ZoomCase
{
    const char *what;
    int from, in, out;
};
using ZoomSteps = ::testing::TestWithParam<ZoomCase>;

struct SizeCase
{
    const char *what;
    FitMode fit;
    int zoom, rotation, n;
    qreal ratio;
    QSize natural, surface, drawn;
};
using DrawnSizes = ::testing::TestWithParam<SizeCase>;

struct ScrollCase
{
    const char *what;
    int from;
    bool forward;
    int to; // -1: at the end, the move turns
};
using ScrollInPage = ::testing::TestWithParam<ScrollCase>;

TEST_P(ZoomSteps, GoToTheNextStepAndStopAtTheLimits)
{
    const ZoomCase c = GetParam();
    EXPECT_EQ(PageView::zoomIn(c.from), c.in);
    EXPECT_EQ(PageView::zoomOut(c.from), c.out);
}

INSTANTIATE_TEST_SUITE_P(Cases, ZoomSteps,
                         ::testing::Values(ZoomCase{"Fit", 100, 110, 90}, ZoomCase{"Least", 10, 25, 10},
                                           ZoomCase{"Most", 400, 400, 350}, ZoomCase{"BetweenSteps", 105, 110, 100},
                                           ZoomCase{"BelowTheLeast", 5, 10, 10}),
                         CaseName());

TEST_P(DrawnSizes, FollowTheFitZoomAndRotation)
{
    const SizeCase c = GetParam();
    const ViewSettings view{c.fit, c.zoom, c.rotation, false};
    EXPECT_EQ(PageView::drawnSize(PageView::turned(QSizeF(c.natural), c.rotation), view, c.n, false, c.surface,
                                  c.ratio),
              c.drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawnSizes,
    ::testing::Values(
        // The design's fit, its 1024 x 768 limit and 0.99 margin: 600x800 on 1280x960.
        SizeCase{"FitPage", FitMode::Page, 100, 0, 1, 1.0, {600, 800}, {1280, 960}, {714, 952}},
        SizeCase{"FitWidthHasNoLimit", FitMode::Width, 100, 0, 1, 1.0, {600, 800}, {1280, 960}, {1280, 1707}},
        SizeCase{"FitWidthSpreadHalf", FitMode::Width, 100, 0, 2, 1.0, {600, 800}, {1280, 960}, {640, 853}},
        SizeCase{"FitHeight", FitMode::Height, 100, 0, 1, 1.0, {600, 800}, {1280, 960}, {720, 960}},
        SizeCase{"ActualSize", FitMode::Actual, 100, 0, 1, 1.0, {3000, 2000}, {1280, 960}, {3000, 2000}},
        SizeCase{"ActualSizeOnADenseScreen", FitMode::Actual, 100, 0, 1, 2.0, {3000, 2000}, {1280, 960}, {1500, 1000}},
        SizeCase{"ZoomedFitPage", FitMode::Page, 200, 0, 1, 1.0, {600, 800}, {1280, 960}, {1428, 1904}},
        SizeCase{"ZoomedOutFitWidth", FitMode::Width, 50, 0, 1, 1.0, {600, 800}, {1280, 960}, {640, 853}},
        SizeCase{"TurnedFitWidth", FitMode::Width, 100, 90, 1, 1.0, {600, 800}, {1280, 960}, {1280, 960}},
        SizeCase{"UpsideDownKeepsItsShape", FitMode::Height, 100, 180, 1, 1.0, {600, 800}, {1280, 960}, {720, 960}},
        SizeCase{"UnreadablePage", FitMode::Width, 100, 0, 1, 1.0, {0, 0}, {1280, 960}, {0, 0}}),
    CaseName());

TEST_P(ScrollInPage, MovesAScreenInsideThePageThenTurns)
{
    // A 600x800 page at fit width on 1280x960: 1707 high, 747 to scroll.
    const ScrollCase c = GetParam();
    const std::optional<QPoint> to = PageView::scrolled(QPoint(0, c.from), {1280, 1707}, {1280, 960}, 960, c.forward);
    EXPECT_EQ(to ? to->y() : -1, c.to);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScrollInPage,
                         ::testing::Values(ScrollCase{"DownFromTheTop", 0, true, 747},
                                           ScrollCase{"DownAtTheBottomTurns", 747, true, -1},
                                           ScrollCase{"UpFromTheBottom", 747, false, 0},
                                           ScrollCase{"UpAtTheTopTurns", 0, false, -1},
                                           ScrollCase{"DownFromPastTheEndTurns", 5000, true, -1}),
                         CaseName());

TEST(PageView, PanStaysInsideThePagesAndAFittingAxisDoesNotMove)
{
    const QSize surface(1000, 800);
    const struct
    {
        QPoint asked;
        QSize content;
        QPoint kept;
    } cases[] = {{{-50, -50}, {3000, 2000}, {0, 0}},
                 {{2500, 1500}, {3000, 2000}, {2000, 1200}},
                 {{300, 400}, {3000, 600}, {300, 0}},
                 {{300, 400}, {900, 700}, {0, 0}}};
    for (const auto &c : cases)
        EXPECT_EQ(PageView::clampScroll(c.asked, c.content, surface), c.kept) << c.asked.x() << "," << c.asked.y();
    EXPECT_EQ(PageView::rotated(0, -90), 270);
    EXPECT_EQ(PageView::rotated(270, 90), 0);
}

TEST(ContinuousStrip, PagesStackWithoutAGapAndThePlaceCrossesTheirBorders)
{
    // At width 100: heights 200, 50, 50 and 150 (the last cannot be read: an
    // upright page's shape, rounded 133).
    const std::vector<QSizeF> sizes = {{100, 200}, {200, 100}, {400, 200}, {}};
    ContinuousStrip strip;
    strip.reset(4, [&](int k) { return sizes[size_t(k)]; });
    strip.setWidth(100);
    strip.setY(0);
    strip.settle(1000);
    const struct
    {
        int y, page, top;
    } cases[] = {{0, 0, 0}, {199, 0, 0}, {200, 1, 200}, {249, 1, 200}, {250, 2, 250}, {300, 3, 300}, {432, 3, 300}};
    for (const auto &c : cases) {
        EXPECT_EQ(strip.pageAt(c.y), c.page) << c.y;
        EXPECT_EQ(strip.topOf(c.page), c.top) << c.y;
    }
    EXPECT_EQ(strip.total(), 433);
    // The place is kept by its page: y 260 is page 2, 10 pixels in.
    strip.setY(260);
    EXPECT_EQ(strip.topPage(), 2);
    EXPECT_EQ(strip.centrePage(100), 3);
    // Past the end it stops where the last page's bottom meets the surface's.
    strip.setY(5000);
    strip.settle(100);
    EXPECT_EQ(strip.y(), 333);
}

TEST(ContinuousStrip, MeasuresOnlyThePagesNearTheSurfaceAndKeepsThePlaceWhenOthersAreMeasured)
{
    int measured = 0;
    ContinuousStrip strip;
    strip.reset(300, [&](int k) {
        ++measured;
        return QSizeF(100, k < 150 ? 1500 : 3000);
    });
    strip.setWidth(100);
    const auto [first, last] = strip.settle(600);
    // The first page alone reaches a screen past the surface.
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 0);
    EXPECT_EQ(measured, 1);
    // Estimated pages below; measuring them leaves what is on the surface alone.
    strip.setPage(149);
    strip.setY(strip.y() + 1400);
    const int page = strip.topPage();
    strip.settle(600);
    EXPECT_EQ(strip.topPage(), page);
    EXPECT_LE(measured, 4);
    // The exact offset from the volume's top needs every page above measured.
    strip.measureThrough(150 * 1500 + 10);
    EXPECT_EQ(strip.pageAt(150 * 1500 + 10), 150);
}

TEST(StripCache, DropsTheOldestPagesOverTheBudgetButNeverThoseInView)
{
    const QImage page(100, 100, QImage::Format_RGB32); // 40,000 bytes
    StripCache cache(100'000);
    for (int k = 0; k < 5; ++k)
        cache.put({k, page.size(), 0}, page, k, k);
    EXPECT_EQ(cache.held(), 2);
    EXPECT_TRUE(cache.find({4, page.size(), 0}));
    EXPECT_FALSE(cache.find({0, page.size(), 0}));
    // Pages 5..8 all in view: kept over the budget.
    for (int k = 5; k < 9; ++k)
        cache.put({k, page.size(), 0}, page, 5, 8);
    EXPECT_EQ(cache.held(), 4);
    EXPECT_FALSE(cache.find({5, QSize(50, 50), 0}));
}

// ---------------------------------------------------------------- the session

class ViewSession : public SessionTest
{
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        open(TestImages::writePages(dir.path() + "/book", 4, 60, 80));
    }
    // As a draw at fit width on a 120x100 surface tells the session: a page 160 high.
    void drawn() { s.setExtent(s.view().continuous ? QSize(120, 0) : QSize(120, 160), QSize(120, 100)); }
};

struct KeptCase
{
    const char *what;
    ViewSettings view;
    bool twoPage;
    int scrolledTo; // strip pixels, or pixels into the page
    qint16 viewMode, position;
};
using PlaceInResume = WithCases<ViewSession, KeptCase>;

} // namespace

TEST_F(ViewSession, SpaceScrollsAFitWidthPageBeforeTurningAndBackLandsAtTheBottom)
{
    s.setFit(FitMode::Width);
    drawn();
    s.scrollScreen(true);
    EXPECT_EQ(s.step(), 0);
    EXPECT_EQ(s.scrollOffset(), QPoint(0, 60));
    drawn();
    s.scrollScreen(true);
    EXPECT_EQ(s.step(), 1);
    EXPECT_EQ(s.scrollOffset(), QPoint(0, 0));
    drawn();
    s.scrollLine(false);
    EXPECT_EQ(s.step(), 0);
    drawn();
    EXPECT_EQ(s.scrollOffset(), QPoint(0, 60));
    // At the last page's end the reader is told so, and stays.
    s.goToStep(3, TurnDirection::RightOver, false);
    drawn();
    s.scrollScreen(true);
    drawn();
    s.scrollScreen(true);
    EXPECT_EQ(s.step(), 3);
    EXPECT_EQ(prompts.count("message"), 1);
}

TEST_F(ViewSession, TheStripShowsOnePageAtATimeWithoutTheEffectAndFollowsTheCentreLine)
{
    s.setOption(ReadingSession::TwoPage, true);
    s.goToStep(1, TurnDirection::RightOver, false); // pages 3-4
    s.setContinuous(true);
    EXPECT_EQ(s.viewMode(), ViewMode::OnePage);
    EXPECT_EQ(s.effectFlag(), 0);
    EXPECT_EQ(s.strip().topPage(), 2);
    drawn();
    s.goToStep(0, TurnDirection::RightOver, false);
    drawn();
    // Pages 160 high: the centre line (50) crosses into page 2 at strip pixel 110.
    s.scrollTo(109);
    EXPECT_EQ(s.step(), 0);
    s.scrollTo(110);
    EXPECT_EQ(s.step(), 1);
    s.scrollLine(true);
    EXPECT_EQ(s.scrollOffset().y(), 130);
    s.setContinuous(false);
    EXPECT_EQ(s.viewMode(), ViewMode::TwoPage);
    EXPECT_EQ(s.step(), 0);
}

TEST_P(PlaceInResume, TheResumeRecordKeepsThePageAndNotTheView)
{
    const KeptCase c = GetParam();
    s.setOption(ReadingSession::TwoPage, c.twoPage);
    s.setView(c.view);
    drawn();
    s.goToStep(1, TurnDirection::RightOver, false);
    drawn();
    if (c.view.continuous)
        s.scrollTo(c.scrolledTo);
    else
        s.panBy({0, c.scrolledTo});
    const ResumeRecord r = s.snapshot();
    EXPECT_EQ(r.viewMode, c.viewMode);
    EXPECT_EQ(r.pagePosition, c.position);
    // Read back into a session of the same view, it shows the same place.
    ReadingSession again{app};
    again.setView(c.view);
    SessionLifecycle::resume(again, *ResumeRecord::decode(r.encode()));
    EXPECT_EQ(again.snapshot().encode(), r.encode());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceInResume,
    ::testing::Values(KeptCase{"Plain", {}, false, 0, 1, 1}, KeptCase{"PlainSpread", {}, true, 0, 2, 1},
                      KeptCase{"FitWidthScrolled", {FitMode::Width, 100, 0, false}, false, 40, 1, 1},
                      KeptCase{"FitHeight", {FitMode::Height, 100, 0, false}, false, 0, 1, 1},
                      KeptCase{"Zoomed", {FitMode::Page, 200, 0, false}, false, 30, 1, 1},
                      KeptCase{"ActualSize", {FitMode::Actual, 100, 0, false}, false, 0, 1, 1},
                      KeptCase{"RotatedSpread", {FitMode::Page, 100, 270, false}, true, 0, 2, 1},
                      KeptCase{"StripTopPage", {FitMode::Page, 100, 0, true}, false, 300, 1, 1},
                      KeptCase{"StripOverSpreads", {FitMode::Page, 100, 90, true}, true, 170, 1, 1}),
    CaseName());
