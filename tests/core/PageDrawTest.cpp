#include "FileTree.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "platform/Canvas.h"
#include "platform/SkinButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {
const QColor kColours[] = {QColor(200, 30, 30), QColor(30, 200, 30), QColor(30, 30, 200), QColor(200, 200, 30),
                           QColor(30, 200, 200), QColor(200, 30, 200)};

class PageDraw : public ViewerFixture
{
protected:
    // A folder of n pages p1..pn, each w x h in its own colour.
    void openPages(int n, int pw = 300, int ph = 400, int sw = 1280, int sh = 960)
    {
        const QString root = makeFolder(QStringLiteral("pages"));
        for (int i = 1; i <= n; ++i)
            TestImages::write(root + QStringLiteral("/p%1.png").arg(i), pw, ph, kColours[(i - 1) % 6]);
        startUp();
        w->chkeffect->setChecked(false);
        w->PicDraw->resize(sw, sh);
        openFolder(root);
    }
    QColor at(int x, int y) { return QColor(w->PicDraw->surface().pixel(x, y)); }
    int colourIndex(int x, int y)
    {
        const QColor c = at(x, y);
        for (int i = 0; i < 6; ++i)
            if (c == kColours[i])
                return i + 1;
        return c == QColor(Qt::black) ? 0 : -1;
    }
};
} // namespace

TEST_F(PageDraw, EmptyListShowsTheEmptyState)
{
    startUp();
    w->Page_Draw(0, 0);
    EXPECT_EQ(w->lblpage->text(), QStringLiteral("/0"));
    EXPECT_TRUE(w->txtpage->text().isEmpty());
    EXPECT_FALSE(w->cmdprev->isEnabled());
    EXPECT_EQ(at(10, 10), QColor(Qt::black));
}

TEST_F(PageDraw, OnePageAtHundredPercentIsCentredOnBlack)
{
    openPages(2, 600, 400);
    w->Chk_hundred->setChecked(true);
    // 600 x 400 on 1280 x 960: at (340, 280) .. (939, 679).
    EXPECT_EQ(colourIndex(340, 280), 1);
    EXPECT_EQ(colourIndex(939, 679), 1);
    EXPECT_EQ(colourIndex(339, 280), 0);
    EXPECT_EQ(colourIndex(940, 679), 0);
    EXPECT_EQ(colourIndex(340, 279), 0);
    EXPECT_EQ(colourIndex(340, 680), 0);
    EXPECT_EQ(w->txtpage->text(), QStringLiteral("1"));
    EXPECT_EQ(w->lblpage->text(), QStringLiteral("/2"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("리프뷰 Ver1.7.0 ─ pages/[/p1.png]").replace("/[/", "/["));
}

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
    // The lone fifth page: once, on the left half, in right-to-left order ...
    w->Page_Index = 2;
    w->Page_Draw(2, 0);
    EXPECT_EQ(colourIndex(499, 400), 5);
    EXPECT_EQ(colourIndex(500, 400), 0);
    // ... and in left-to-right order alike.
    w->chk_japan->setChecked(false);
    EXPECT_EQ(colourIndex(499, 400), 5);
    EXPECT_EQ(colourIndex(500, 400), 0);
}

TEST_F(PageDraw, SwitchingBetweenOneAndTwoPagesKeepsThePlace)
{
    openPages(5);
    w->Page_Index = 3;
    w->Page_Draw(3, 0);
    w->chk_view->setChecked(true);
    EXPECT_EQ(w->Page_Index, 1);
    EXPECT_EQ(w->txtpage->text(), QStringLiteral("2"));
    w->chk_view->setChecked(false);
    EXPECT_EQ(w->Page_Index, 2);
    EXPECT_TRUE(w->cmdfile->isEnabled());
    // From the lone last spread back to one page: entry 4, not the missing entry 5.
    w->chk_view->setChecked(true);
    w->Page_Index = 2;
    w->chk_view->setChecked(false);
    EXPECT_EQ(w->Page_Index, 4);
}

TEST_F(PageDraw, CaptionNamesSourceVolumeAndPage)
{
    const QString root = makeFolder(QStringLiteral("My Book"));
    TestImages::writeWithFolders(root + "/ch 1/a.png", 10, 10);
    TestImages::writeWithFolders(root + "/cover.png", 10, 10);
    startUp();
    openFolder(root);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("리프뷰 Ver1.7.0 ─ My Book/[cover.png]"));
    w->selectVolume(1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("리프뷰 Ver1.7.0 ─ My Book/[ch 1//a.png]"));
}

TEST_F(PageDraw, UndecodablePageLeavesItsPlaceBlack)
{
    const QString root = makeFolder(QStringLiteral("bad"));
    ASSERT_TRUE(writeFile(root + "/broken.jpg", "not a picture"));
    startUp();
    w->PicDraw->resize(400, 300);
    openFolder(root);
    EXPECT_EQ(w->List1().ListCount(), 1);
    const QImage &s = w->PicDraw->surface();
    for (int y = 0; y < s.height(); y += 37)
        for (int x = 0; x < s.width(); x += 41)
            ASSERT_EQ(QColor(s.pixel(x, y)), QColor(Qt::black));
}

TEST_F(PageDraw, VolumeSwitchGuardsAndSubFoldersWithDots)
{
    const QString root = makeFolder(QStringLiteral("dots"));
    TestImages::writeWithFolders(root + "/Vol.1/a.png", 10, 10);
    TestImages::writeWithFolders(root + "/Vol.1/b.png", 10, 10);
    startUp();
    openFolder(root);
    ASSERT_EQ(w->cb_list->count(), 1);
    EXPECT_EQ(w->List1().ListCount(), 2);
    // While a volume loads a second switch does nothing.
    w->List1().Clear();
    w->IsProcess = true;
    w->cb_list_Click();
    EXPECT_EQ(w->List1().ListCount(), 0);
    w->IsProcess = false;
    w->cb_list_Click();
    EXPECT_EQ(w->List1().ListCount(), 2);
    EXPECT_TRUE(w->isEnabled());
}
