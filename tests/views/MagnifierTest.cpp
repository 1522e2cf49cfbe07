#include "TestImages.h"
#include "ViewerFixture.h"
#include "ViewerKit.h"
#include "platform/Canvas.h"
#include "views/Magnifier.h"
#include "core/PageView.h"

#include <QCheckBox>
#include <QTest>

namespace {

class MagnifierTest : public ViewerFixture
{
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        startUp();
        w->chkeffect->setChecked(false);
        w->PicDraw->resize(800, 600);
        openFolder(TestImages::writePages(makeFolder(QStringLiteral("pages")), 2, 300, 400));
    }
    void moveTo(QPoint p) { sendMouse(w->PicDraw, QEvent::MouseMove, p); }
    void middle(QEvent::Type type)
    {
        sendMouse(w->PicDraw, type, w->lens->pointer(), Qt::MiddleButton,
                  type == QEvent::MouseButtonPress ? Qt::MiddleButton : Qt::NoButton);
    }
    void wheel(int delta) { sendWheel(w->PicDraw, delta, QPointF(400, 300)); }
};

} // namespace

TEST_F(MagnifierTest, HeldItFollowsThePointerShowsThePageAndTakesTheWheel)
{
    Magnifier *lens = w->lens;
    ASSERT_TRUE(lens);
    EXPECT_TRUE(lens->isHidden());
    QTest::keyPress(w->PicDraw, Qt::Key_Z);
    ASSERT_FALSE(lens->isHidden());
    moveTo({400, 300});
    EXPECT_EQ(lens->pos(), QPoint(400 - 150, 300 - 150));
    // The page under it is decoded for it apart from the screen's picture.
    ASSERT_TRUE(QTest::qWaitFor([&] { return lens->sharp(); }, 5000));
    const QImage seen = lens->grab().toImage();
    EXPECT_EQ(QColor(seen.pixel(seen.width() / 2, seen.height() / 2)), TestImages::pageColour(1));
    moveTo({100, 50});
    EXPECT_EQ(lens->pos(), QPoint(100 - 150, 50 - 150));
    // The wheel zooms the lens and turns no page.
    wheel(120);
    EXPECT_EQ(lens->zoom(), 2.5);
    EXPECT_FALSE(w->Tmr_Scroll.timer.isActive());
    QTest::keyRelease(w->PicDraw, Qt::Key_Z);
    EXPECT_TRUE(lens->isHidden());
    wheel(-120);
    EXPECT_EQ(lens->zoom(), 2.5);
    // The middle button holds it too, and a click with it turns no page.
    middle(QEvent::MouseButtonPress);
    EXPECT_FALSE(lens->isHidden());
    middle(QEvent::MouseButtonRelease);
    EXPECT_TRUE(lens->isHidden());
    EXPECT_EQ(w->session.step(), 0);
}

// The lens shows a turned page as the surface does: its upright top, here red,
// lies on the right of a page turned a quarter clockwise.
TEST_F(MagnifierTest, ATurnedPageIsMagnifiedTurned)
{
    QImage page(300, 400, QImage::Format_RGB32);
    page.fill(Qt::blue);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            page.setPixel(x, y, qRgb(255, 0, 0));
    const QString folder = makeFolder(QStringLiteral("turned"));
    ASSERT_TRUE(page.save(folder + QStringLiteral("/p1.png")));
    openFolder(folder);
    ViewSettings view = w->session.view();
    view.rotation = 90;
    w->session.setView(view);
    ASSERT_EQ(w->composer.shownPages().size(), 1u);
    const QRect shown = w->composer.shownPages().front().rect;
    ASSERT_GT(shown.width(), shown.height());
    QTest::keyPress(w->PicDraw, Qt::Key_Z);
    // Three quarters across and down: red when turned, the upright bottom (blue) if not.
    moveTo(shown.topLeft() + QPoint(shown.width() * 3 / 4, shown.height() * 3 / 4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->lens->sharp(); }, 5000));
    const QImage seen = w->lens->grab().toImage();
    EXPECT_EQ(QColor(seen.pixel(seen.width() / 2, seen.height() / 2)), QColor(Qt::red));
    QTest::keyRelease(w->PicDraw, Qt::Key_Z);
}
