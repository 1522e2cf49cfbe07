#include "CaseName.h"
// The view keys in both page windows, the view kept in imgviewer.ini, scrolling
// and dragging a page larger than the surface, and --render: it draws with the
// reading session and the composer alone, no window, and the picture it writes
// is the main window's, byte for byte, for every option and view flag.
#include "RunLeafview.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "ViewerKit.h"
#include "core/ExportFolderFile.h"
#include "platform/Canvas.h"
#include "views/Frm_FullScreen.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct KeyCase
{
    const char *what;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    ViewSettings view; // after the key, from the default view
};

using ViewKeys = WithCases<ViewerFixture, std::tuple<KeyCase, bool>>;

// --render of `book` at `step` into a 300x200 picture, then the window started
// on a surface of that size to draw the same.
class Rendering : public ViewerFixture
{
protected:
    QImage renderThenStart(const QString &book, const QStringList &flags, int step)
    {
        QTemporaryDir out;
        const QString png = out.path() + "/p.png";
        const ProcessResult r = runLeafview(QStringList{"--render", book, "--out", png, "--size", "300x200", "--page",
                                                        QString::number(step)} + flags);
        EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
        startUp();
        w->PicDraw->resize(300, 200);
        return QImage(png).convertToFormat(QImage::Format_RGB32);
    }
};

struct RenderFlags
{
    const char *name;
    QStringList flags;
    int step;
    int centre; // the page whose colour the surface's centre shows
};
using HeadlessDraw = WithCases<Rendering, RenderFlags>;

struct RenderCase
{
    const char *what;
    QStringList flags;
    ViewSettings view;
    bool twoPage;
    int step, scroll;
    // What the surface shows at `probe`: page `page`'s upper (light) or lower half.
    QPoint probe;
    int page;
    bool lowerHalf;
};
using RenderedView = WithCases<Rendering, RenderCase>;

class Scrolling : public ViewerFixture
{
protected:
    // Four 120x160 pages at fit width on a 300x200 surface: 400 high.
    void SetUp() override
    {
        ViewerFixture::SetUp();
        startUp();
        w->session.setOption(ReadingSession::BookEffect, false);
        w->PicDraw->resize(300, 200);
        openFolder(TestImages::writePages(makeFolder("book"), 4, 120, 160));
        QTest::keyClick(w->PicDraw, Qt::Key_W);
    }
    QColor centre() { return QColor(w->PicDraw->surface().pixel(150, 100)); }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held) { sendMouse(w->PicDraw, type, at, Qt::LeftButton, held); }
};

} // namespace

TEST_P(ViewKeys, SetTheViewInEitherWindowAndTheViewOutlivesTheRun)
{
    const auto [c, fullScreen] = GetParam();
    startUp();
    openFolder(TestImages::writePages(makeFolder("book"), 3, 60, 80));
    std::unique_ptr<Frm_FullScreen> fs;
    if (fullScreen) {
        app->IsFullScreen = true;
        fs = std::make_unique<Frm_FullScreen>(*w);
        fs->resize(400, 300);
        QTest::keyClick(fs.get(), c.key, c.modifiers);
    } else {
        QTest::keyClick(w->PicDraw, c.key, c.modifiers);
    }
    EXPECT_EQ(w->session.view(), c.view);
    fs.reset();
    app->IsFullScreen = false;
    newRun();
    startUp();
    EXPECT_EQ(w->session.view(), c.view);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewKeys,
    ::testing::Combine(
        ::testing::Values(KeyCase{"W", Qt::Key_W, Qt::NoModifier, {FitMode::Width, 100, 0, false}},
                          KeyCase{"H", Qt::Key_H, Qt::NoModifier, {FitMode::Height, 100, 0, false}},
                          KeyCase{"Plus", Qt::Key_Plus, Qt::ShiftModifier, {FitMode::Page, 110, 0, false}},
                          KeyCase{"Minus", Qt::Key_Minus, Qt::NoModifier, {FitMode::Page, 90, 0, false}},
                          KeyCase{"One", Qt::Key_1, Qt::NoModifier, {FitMode::Actual, 100, 0, false}},
                          KeyCase{"R", Qt::Key_R, Qt::NoModifier, {FitMode::Page, 100, 90, false}},
                          KeyCase{"ShiftR", Qt::Key_R, Qt::ShiftModifier, {FitMode::Page, 100, 270, false}},
                          KeyCase{"C", Qt::Key_C, Qt::NoModifier, {FitMode::Page, 100, 0, true}},
                          KeyCase{"ControlW", Qt::Key_W, Qt::ControlModifier, {}}),
        ::testing::Bool()),
    [](const auto &info) {
        return std::string(std::get<0>(info.param).what) + (std::get<1>(info.param) ? "_FullScreen" : "_Main");
    });

TEST_F(Scrolling, SpaceScrollsTheFitWidthPageThenTurnsToTheNextPagesTop)
{
    // The page's lower half, then page 2 from its top.
    EXPECT_EQ(centre(), TestImages::pageColour(1));
    QTest::keyClick(w->PicDraw, Qt::Key_Space);
    EXPECT_EQ(w->session.step(), 0);
    EXPECT_EQ(w->session.scrollOffset(), QPoint(0, 200));
    QTest::keyClick(w->PicDraw, Qt::Key_Space);
    EXPECT_EQ(w->session.step(), 1);
    EXPECT_EQ(w->session.scrollOffset(), QPoint(0, 0));
    EXPECT_EQ(centre(), TestImages::pageColour(2));
    // Back lands at the previous page's bottom.
    QTest::keyClick(w->PicDraw, Qt::Key_PageUp);
    EXPECT_EQ(w->session.step(), 0);
    EXPECT_EQ(w->session.scrollOffset(), QPoint(0, 200));
}

TEST_F(Scrolling, ADragPansWithoutTurningAndAClickStillTurns)
{
    mouse(QEvent::MouseButtonPress, {100, 150}, Qt::LeftButton);
    mouse(QEvent::MouseMove, {100, 90}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {100, 90}, Qt::NoButton);
    EXPECT_EQ(w->session.step(), 0);
    EXPECT_EQ(w->session.scrollOffset(), QPoint(0, 60));
    mouse(QEvent::MouseButtonPress, {250, 100}, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, {250, 100}, Qt::NoButton);
    EXPECT_EQ(w->session.step(), 1);
}

TEST_P(RenderedView, WritesTheMainWindowsPicture)
{
    const RenderCase c = GetParam();
    // Five 60x80 pages, each darker in its lower half: a scroll or a turn shows.
    const QString book = makeFolder("book");
    for (int i = 1; i <= 5; ++i) {
        QImage page(60, 80, QImage::Format_RGB32);
        page.fill(TestImages::pageColour(i));
        QPainter(&page).fillRect(0, 40, 60, 40, TestImages::pageColour(i).darker());
        ASSERT_TRUE(page.save(book + QStringLiteral("/p%1.png").arg(i)));
    }
    const QImage drawn = renderThenStart(book, c.flags, c.step);
    w->session.setOption(ReadingSession::BookEffect, c.flags.contains("--effect"));
    openFolder(book);
    w->session.setOption(ReadingSession::TwoPage, c.twoPage);
    w->session.setView(c.view);
    w->session.goToStep(c.step, TurnDirection::RightOver, c.scroll == 0);
    if (c.scroll > 0)
        w->session.scrollTo(c.scroll);
    EXPECT_EQ(drawn, w->PicDraw->surface());
    const QColor light = TestImages::pageColour(c.page);
    EXPECT_EQ(QColor(drawn.pixel(c.probe)), c.lowerHalf ? light.darker() : light);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderedView,
    ::testing::Values(
        RenderCase{"FitWidth", {"--fit", "width"}, {FitMode::Width, 100, 0, false}, false, 1, 0, {150, 100}, 2, false},
        RenderCase{"FitWidthScrolled", {"--fit", "width", "--scroll", "150"}, {FitMode::Width, 100, 0, false}, false, 1, 150, {150, 100}, 2, true},
        RenderCase{"FitHeightSpread", {"--fit", "height", "--two-page"}, {FitMode::Height, 100, 0, false}, true, 1, 0, {160, 150}, 4, true},
        RenderCase{"RotatedSpreadTurned", {"--rotate", "90", "--two-page", "--effect"}, {FitMode::Page, 100, 90, false}, true, 1, 0, {20, 100}, 3, true},
        RenderCase{"UpsideDown", {"--rotate", "180"}, {FitMode::Page, 100, 180, false}, false, 2, 0, {150, 50}, 3, true},
        RenderCase{"StripAcrossABorder", {"--continuous", "--scroll", "500"}, {FitMode::Page, 100, 0, true}, false, 0, 500, {150, 150}, 2, true},
        RenderCase{"TurnedStrip", {"--continuous", "--rotate", "270", "--scroll", "300"}, {FitMode::Page, 100, 270, true}, false, 0, 300, {50, 50}, 2, false}),
    CaseName());

TEST_P(HeadlessDraw, WritesTheMainWindowsPicture)
{
    const RenderFlags c = GetParam();
    // Five pages, the third a wide scan.
    const QString book = TestImages::writePages(makeFolder("book"), 5, 60, 80);
    TestImages::write(book + "/p3.png", 160, 80, TestImages::pageColour(3));
    const QImage drawn = renderThenStart(book, c.flags, c.step);
    openFolder(book);
    const std::pair<ReadingSession::Option, const char *> options[] = {
        {ReadingSession::BookEffect, "--effect"}, {ReadingSession::TwoPage, "--two-page"},
        {ReadingSession::RightToLeft, "--rtl"},   {ReadingSession::WideAlone, "--wide-alone"},
        {ReadingSession::CoverAlone, "--cover-alone"}};
    for (const auto &[o, flag] : options)
        w->session.setOption(o, c.flags.contains(QString::fromLatin1(flag)));
    w->session.goToStep(c.step, TurnDirection::RightOver, true);
    EXPECT_EQ(drawn, w->PicDraw->surface());
    EXPECT_EQ(QColor(drawn.pixel(150, 100)), TestImages::pageColour(c.centre));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeadlessDraw,
    // A spread's centre column is its right page's first (x 150 of 300).
    ::testing::Values(RenderFlags{"OnePage", {}, 2, 3}, RenderFlags{"Spread", {"--two-page"}, 1, 4},
                      RenderFlags{"SpreadRightToLeft", {"--two-page", "--rtl"}, 2, 5},
                      RenderFlags{"WideAlone", {"--two-page", "--wide-alone"}, 1, 3},
                      RenderFlags{"CoverAloneRightToLeft", {"--two-page", "--cover-alone", "--rtl"}, 0, 1},
                      RenderFlags{"BothAfterTheWidePage", {"--two-page", "--wide-alone", "--cover-alone"}, 3, 5},
                      RenderFlags{"TurnedSpread", {"--two-page", "--wide-alone", "--effect"}, 2, 5}),
    CaseName());
