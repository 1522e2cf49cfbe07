#include "CaseName.h"
// --render draws with the reading session and the composer alone, no window: the
// picture it writes is the main window's, byte for byte, for every option.
#include "RunLeafview.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "platform/Canvas.h"

#include <QImage>
#include <QTemporaryDir>

namespace {

struct RenderFlags
{
    const char *name;
    QStringList flags;
    int step;
    int centre; // the page whose colour the surface's centre shows
};
class HeadlessDraw : public ViewerFixture, public ::testing::WithParamInterface<RenderFlags>
{
};

} // namespace

TEST_P(HeadlessDraw, WritesTheMainWindowsPicture)
{
    const RenderFlags c = GetParam();
    // Five pages, the third a wide scan.
    const QString book = TestImages::writePages(makeFolder("book"), 5, 60, 80);
    TestImages::write(book + "/p3.png", 160, 80, TestImages::pageColour(3));
    QTemporaryDir out;
    const QString png = out.path() + "/p.png";
    const ProcessResult r = runLeafview(QStringList{"--render", book, "--out", png, "--size", "300x200", "--page",
                                                    QString::number(c.step)} + c.flags);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);

    startUp();
    w->PicDraw->resize(300, 200);
    openFolder(book);
    const auto on = [&](const char *flag) { return c.flags.contains(QString::fromLatin1(flag)); };
    const std::pair<ReadingSession::Option, const char *> options[] = {
        {ReadingSession::BookEffect, "--effect"}, {ReadingSession::TwoPage, "--two-page"},
        {ReadingSession::RightToLeft, "--rtl"},   {ReadingSession::WideAlone, "--wide-alone"},
        {ReadingSession::CoverAlone, "--cover-alone"}};
    for (const auto &[o, flag] : options)
        w->session.setOption(o, on(flag));
    w->session.goToStep(c.step, TurnDirection::RightOver, true);
    const QImage drawn = QImage(png).convertToFormat(QImage::Format_RGB32);
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
