#include "CaseName.h"
#include "FileTree.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "platform/Canvas.h"
#include "platform/SkinButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

namespace {
class PageDraw : public ViewerFixture
{
protected:
    // A folder of n pages p1..pn, each w x h in its own colour.
    void openPages(int n, int pw = 300, int ph = 400, int sw = 1280, int sh = 960)
    {
        const QString root = TestImages::writePages(makeFolder(QStringLiteral("pages")), n, pw, ph);
        startUp();
        w->chkeffect->setChecked(false);
        w->PicDraw->resize(sw, sh);
        openFolder(root);
    }
    QColor at(int x, int y) { return QColor(w->PicDraw->surface().pixel(x, y)); }
    int colourIndex(int x, int y)
    {
        const QColor c = at(x, y);
        for (int i = 1; i <= 6; ++i)
            if (c == TestImages::pageColour(i))
                return i;
        return c == QColor(Qt::black) ? 0 : -1;
    }
};
} // namespace

TEST_F(PageDraw, SpreadPlacesPagesOnEitherSideOfTheCentreLineInBothOrders)
{
    openPages(5, 300, 400, 1000, 800);
    w->chk_view->setChecked(true);
    EXPECT_EQ(w->lblpage->text(), QStringLiteral("/3"));
    // Left to right: entry 0 left, entry 1 right.
    EXPECT_EQ(colourIndex(499, 400), 1);
    EXPECT_EQ(colourIndex(500, 400), 2);
    EXPECT_FALSE(w->cmdfile->isEnabled());
    EXPECT_TRUE(w->cmdfile->imageFile().endsWith("b_fileout_grey.bmp"));
    EXPECT_TRUE(w->cmdnext->imageFile().endsWith("b_next.bmp"));
    w->chk_japan->setChecked(true);
    EXPECT_EQ(colourIndex(499, 400), 2);
    EXPECT_EQ(colourIndex(500, 400), 1);
    // The lone fifth page: once, on the right half in right-to-left order ...
    w->session.goToStep(2, TurnDirection::RightOver, false);
    EXPECT_EQ(colourIndex(499, 400), 0);
    EXPECT_EQ(colourIndex(500, 400), 5);
    // ... and on the left half in left-to-right order.
    w->chk_japan->setChecked(false);
    EXPECT_EQ(colourIndex(499, 400), 5);
    EXPECT_EQ(colourIndex(500, 400), 0);
}

// The caption names the source, the volume and the page; a dot in a sub-folder's
// name is no extension; while a volume loads a second switch does nothing.
TEST_F(PageDraw, CaptionVolumesWithDotsAndTheSwitchGuard)
{
    const QString root = makeFolder(QStringLiteral("My Book"));
    for (const char *page : {"/cover.png", "/Vol.1/a.png", "/Vol.1/b.png"})
        TestImages::write(root + page, 10, 10);
    startUp();
    openFolder(root);
    ASSERT_EQ(w->cb_list->count(), 2);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("리프뷰 Ver1.7.0 ─ My Book/[cover.png]"));
    w->selectVolume(1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("리프뷰 Ver1.7.0 ─ My Book/[Vol.1//a.png]"));
    EXPECT_EQ(w->List1().ListCount(), 2);
    w->List1().Clear();
    w->IsProcess = true;
    w->cb_list_Click();
    EXPECT_EQ(w->List1().ListCount(), 0);
    w->IsProcess = false;
    w->cb_list_Click();
    EXPECT_EQ(w->List1().ListCount(), 2);
    EXPECT_TRUE(w->isEnabled());
}

// A bad page among good ones: how it is bad, one page or a spread, the book
// effect, and whether it was decoded ahead.
struct BadPage
{
    const char *what;
    const char *kind;
    bool spread;
    bool effect;
};
class UndecodablePage : public PageDraw, public ::testing::WithParamInterface<BadPage>
{
protected:
    // Six pages, the second bad; the composer shows a spread or a page index.
    QImage drawBadAfterGood(bool prefetching)
    {
        const BadPage c = GetParam();
        w->composer.setPrefetching(prefetching);
        const qint16 bad = c.spread ? 0 : 1;
        // Stepping back from two after the bad one: the look-ahead reaches it.
        w->session.goToStep(bad + 2, TurnDirection::RightOver, false);
        w->session.goToStep(bad + 1, TurnDirection::RightOver, false);
        QCoreApplication::processEvents();
        w->composer.decodes().settle();
        w->session.goToStep(bad, TurnDirection::RightOver, c.effect);
        return w->PicDraw->surface().copy();
    }
};

TEST_P(UndecodablePage, IsABlackPageWithANoticeOnItsOwnHalf)
{
    const BadPage c = GetParam();
    const QString root = TestImages::writePages(makeFolder(QStringLiteral("bad")), 6, 300, 400);
    QFile::remove(root + QStringLiteral("/p2.png"));
    const QByteArray kind(c.kind);
    const QString bad = root + (kind == "bomb" ? "/p2.bmp" : kind == "truncated" ? "/p2.png" : "/p2.jpg");
    QByteArray bytes = "not a picture";
    if (kind != "garbage") {
        TestImages::write(bad, 300, 400);
        bytes = readFile(bad);
        if (kind == "truncated") {
            bytes.truncate(bytes.size() / 2);
        } else { // the header claims 60000 x 60000 pixels
            bytes.replace(18, 8, QByteArray::fromHex("60ea000060ea0000"));
        }
    }
    ASSERT_TRUE(writeFile(bad, bytes));
    startUp();
    w->PicDraw->resize(1000, 800);
    openFolder(root);
    w->session.setOption(ReadingSession::TwoPage, c.spread);
    w->session.setOption(ReadingSession::BookEffect, c.effect);
    const QImage ahead = drawBadAfterGood(true);
    if (kind == "truncated") { // a readable header: decoded ahead, and failed there
        EXPECT_GT(w->composer.decodes().hits(), 0);
    }
    const QImage plain = drawBadAfterGood(false);
    EXPECT_TRUE(ahead == plain);
    // The notice's area: the right half of the spread, or the whole surface.
    const QRect area = c.spread ? QRect(500, 0, 500, 800) : QRect(0, 0, 1000, 800);
    int text = 0;
    for (int y = 0; y < 800; y += 2)
        for (int x = 0; x < 1000; x += 2) {
            const int colour = colourIndex(x, y);
            ASSERT_NE(colour, 3) << x << "," << y; // the page shown before
            if (!area.contains(x, y))
                continue;
            ASSERT_NE(colour, 4) << x << "," << y;
            if (colour != 0) {
                ASSERT_TRUE(area.adjusted(20, 250, -20, -250).contains(x, y)) << x << "," << y;
            }
            text += colour != 0;
        }
    EXPECT_GT(text, 20);
    if (c.spread) {
        EXPECT_EQ(colourIndex(350, 400), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, UndecodablePage,
                         ::testing::Values(BadPage{"Garbage", "garbage", false, false},
                                           BadPage{"TruncatedBookEffect", "truncated", false, true},
                                           BadPage{"BombBookEffect", "bomb", false, true},
                                           BadPage{"TruncatedInSpread", "truncated", true, false},
                                           BadPage{"GarbageInSpreadBookEffect", "garbage", true, true}),
                         CaseName());
