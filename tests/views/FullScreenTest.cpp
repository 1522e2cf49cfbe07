#include "CaseName.h"
// The full-screen window on the main window's reading session, without a display.
#include "FileTree.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "ViewerKit.h"
#include "core/ResumeRecord.h"
#include "platform/Canvas.h"
#include "views/Frm_FullScreen.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace {
class FullScreen : public ViewerFixture
{
protected:
    // A folder of n pages in their own colours (and, with `second`, a second volume).
    void openBook(int n, int second = 0)
    {
        const QString root = TestImages::writePages(makeFolder(QStringLiteral("book")), n, 120, 160);
        TestImages::writePages(root + QStringLiteral("/v2"), second, 120, 160, QStringLiteral("q"));
        startUp();
        w->session.setOption(ReadingSession::BookEffect, false);
        openFolder(root);
    }
    // The window as it opens over the main window, laid out on an 800 x 619 client area.
    Frm_FullScreen &open()
    {
        app->IsFullScreen = true;
        fs = std::make_unique<Frm_FullScreen>(*w);
        fs->resize(800, 619);
        fs->Form_Resize();
        return *fs;
    }
    void click(double x) { fs->PicDraw_MouseDown(1, x); }
    // The window is a child of the main window: it goes first.
    void TearDown() override
    {
        fs.reset();
        ViewerFixture::TearDown();
    }
    std::unique_ptr<Frm_FullScreen> fs;
};

struct HalfClick
{
    const char *what;
    double offset; // from half the surface width
    bool rightToLeft;
    int page;
    int turn;
};
using HalfClicks = WithCases<FullScreen, HalfClick>;

// Quick input while the book effect plays, in either window: Right presses
// 30 ms apart, or wheel notches each one burst of its own (sent as soon as the
// burst before has made its step).
struct QuickInput
{
    const char *name;
    bool fullScreen;
    bool wheel;
};
using QuickTurns = WithCases<FullScreen, QuickInput>;

// A way out taken between the frames of a turn: the mouse onto the top strip or a
// close event for the full-screen window, or a close event for the main window.
struct LeaveInput
{
    const char *name;
    bool fullScreen;
    bool topStrip;
};
using LeavingDuringATurn = WithCases<FullScreen, LeaveInput>;

} // namespace

TEST_P(QuickTurns, EveryPressOrNotchDuringATurnMakesItsOwnStep)
{
    const QuickInput c = GetParam();
    openBook(8);
    w->session.setOption(ReadingSession::BookEffect, true);
    QWidget *page = c.fullScreen ? open().PicDraw : w->PicDraw;
    QTimer notches;
    int sent = 0;
    if (c.wheel) {
        const auto bursting = [&] { return c.fullScreen ? fs->Tmr_Scroll.isActive() : w->Tmr_Scroll.timer.isActive(); };
        QObject::connect(&notches, &QTimer::timeout, [&, bursting] {
            if (sent == 5 || bursting())
                return;
            ++sent;
            sendWheel(page, -120);
        });
        notches.start(10);
    } else {
        for (int i = 0; i < 5; ++i)
            QTimer::singleShot(i * 30, page, [page] {
                for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease})
                    QCoreApplication::postEvent(page, new QKeyEvent(t, Qt::Key_Right, Qt::NoModifier));
            });
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->session.step() == 5; }, 10000)) << w->session.step();
    QTest::qWait(600);
    EXPECT_EQ(w->session.step(), 5);
}

INSTANTIATE_TEST_SUITE_P(Cases, QuickTurns,
                         ::testing::Values(QuickInput{"KeysInTheMainWindow", false, false},
                                           QuickInput{"WheelInTheMainWindow", false, true},
                                           QuickInput{"KeysInFullScreen", true, false},
                                           QuickInput{"WheelInFullScreen", true, true}),
                         CaseName());

// The turn ends at once, its page-turn object outlives the frames still on the
// stack, and the page it turned to is the one handed back (or recorded).
TEST_P(LeavingDuringATurn, EndsTheTurnAtOnceAndKeepsItsPage)
{
    const LeaveInput c = GetParam();
    openBook(5);
    w->session.setOption(ReadingSession::BookEffect, true);
    QWidget *target = w;
    if (c.fullScreen)
        target = c.topStrip ? open().pic_Top : &open();
    // Delivered by the turn's first wait for its frame.
    QTimer::singleShot(0, target, [&] {
        QEvent enter(QEvent::Enter);
        QCloseEvent close;
        QCoreApplication::sendEvent(target, c.topStrip ? &enter : static_cast<QEvent *>(&close));
    });
    QElapsedTimer turn;
    turn.start();
    if (c.fullScreen)
        fs->Form_KeyDown(Qt::Key_Right);
    else
        w->Go_Next();
    // Ten frames of at least 30 ms each make a whole turn.
    EXPECT_LT(turn.elapsed(), 300);
    if (c.fullScreen) {
        EXPECT_EQ(fs->result(), QDialog::Accepted);
        EXPECT_EQ(w->session.step(), 1);
        EXPECT_EQ(w->txtpage->text(), QStringLiteral("2"));
        EXPECT_EQ(w->session.promptOwner, w);
    } else {
        EXPECT_EQ(endCalls, 1);
        const auto rec = ResumeRecord::readFrom(dataPath(ResumeRecord::fileName()));
        ASSERT_TRUE(rec.has_value());
        EXPECT_EQ(rec->pagePosition, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LeavingDuringATurn,
                         ::testing::Values(LeaveInput{"TopStrip", true, true}, LeaveInput{"FullScreenClosed", true, false},
                                           LeaveInput{"MainWindowClosed", false, false}),
                         CaseName());

// The full-screen window is a view of the session: its menu and the main window's
// page box follow the view mode and the page it shows.
TEST_F(FullScreen, ItsMenuAndTheMainPageBoxFollowTheViewModeAndThePage)
{
    openBook(5);
    w->session.goToStep(3, TurnDirection::RightOver, false);
    Frm_FullScreen &f = open();
    EXPECT_EQ(f.PicDraw->height(), 600); // below the 19-pixel strip
    EXPECT_TRUE(f.mnuShowTwoPage->isVisible());
    EXPECT_TRUE(f.mnuExport->isEnabled());
    f.mnuShowTwoPage->trigger();
    EXPECT_EQ(int(w->session.viewMode()), 2);
    EXPECT_EQ(w->lblpage->text(), QStringLiteral("/3"));
    EXPECT_FALSE(f.mnuExport->isEnabled());
    EXPECT_FALSE(f.mnuShowTwoPage->isVisible());
    EXPECT_TRUE(f.mnuShowOnePage->isVisible());
    f.mnuGoLast->trigger();
    EXPECT_EQ(w->txtpage->text(), QStringLiteral("5"));
    // Page 5 alone, on the left half; the right half stays black.
    const QImage &s = f.PicDraw->surface();
    EXPECT_EQ(QColor(s.pixel(350, 300)), TestImages::pageColour(5));
    EXPECT_EQ(QColor(s.pixel(450, 300)), QColor(Qt::black));
    f.mnuShowOnePage->trigger();
    EXPECT_EQ(int(w->session.viewMode()), 1);
    EXPECT_TRUE(f.mnuExport->isEnabled());
}

TEST_P(HalfClicks, HalvesDecideTheIndexRightToLeftOnlyTheTurn)
{
    const HalfClick c = GetParam();
    openBook(5);
    w->session.setOption(ReadingSession::RightToLeft, c.rightToLeft);
    w->session.goToStep(2, TurnDirection::RightOver, false);
    Frm_FullScreen &f = open();
    click(f.PicDraw->width() / 2.0 + c.offset);
    EXPECT_EQ(w->session.step(), c.page);
    EXPECT_EQ(int(w->session.turn()), c.turn);
}

INSTANTIATE_TEST_SUITE_P(Cases, HalfClicks,
                         ::testing::Values(HalfClick{"LeftHalf", 0, false, 1, 1}, HalfClick{"RightHalf", 1, false, 3, 2},
                                           HalfClick{"LeftEdge", -400, false, 1, 1},
                                           HalfClick{"RightHalfRightToLeft", 1, true, 3, 1},
                                           HalfClick{"LeftHalfRightToLeft", 0, true, 1, 2}),
                         CaseName());

TEST_F(FullScreen, ABurstOfWheelNotchesMakesOneStepInTheDirectionOfTheLast)
{
    openBook(5);
    Frm_FullScreen &f = open();
    for (int i = 0; i < 3; ++i)
        f.WheelMouse1_WheelChanged(-120);
    EXPECT_TRUE(f.Tmr_Scroll.isActive());
    EXPECT_EQ(w->session.step(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Tmr_Scroll.isActive(); }, 2000));
    EXPECT_EQ(w->session.step(), 1);
    QTest::qWait(250);
    EXPECT_EQ(w->session.step(), 1); // one step for the whole burst
    f.WheelMouse1_WheelChanged(-120);
    f.WheelMouse1_WheelChanged(120);
    f.Tmr_Scroll_Timer();
    EXPECT_EQ(w->session.step(), 0);
}

// A step past the last page goes through the session's offer of the next volume.
TEST_F(FullScreen, AYesAtTheLastPageShowsTheNextVolume)
{
    openBook(3, 1);
    Frm_FullScreen &f = open();
    f.mnuGoLast_Click();
    prompts.messageAnswers = {MsgResult::Yes};
    f.Form_KeyDown(Qt::Key_Space);
    EXPECT_EQ(prompts.last()->text, QStringLiteral("마지막 페이지 입니다. 다음권을 보시겠습니까?"));
    EXPECT_EQ(w->session.currentVolume(), QStringLiteral("v2/"));
    EXPECT_EQ(w->session.step(), 0);
    EXPECT_TRUE(f.PicBox->isHidden());
}

// Escape, or the menu's last entry.
TEST_F(FullScreen, ClosingHandsThePageBackInTheLastViewMode)
{
    for (const bool byMenu : {false, true}) {
        openBook(5);
        Frm_FullScreen &f = open();
        f.Form_KeyDown(Qt::Key_Right);
        f.Form_KeyDown(Qt::Key_Right); // page 3
        f.Set_ViewMode(1);               // spread 1
        if (byMenu) {
            EXPECT_EQ(f.mnuFullScreenMenu->actions().last(), f.mnuLeaveFullScreen);
            EXPECT_EQ(f.mnuLeaveFullScreen->text(), QStringLiteral("전체 화면 끝내기 (F11)"));
            f.mnuLeaveFullScreen->trigger();
        } else {
            f.Form_KeyDown(Qt::Key_Escape);
        }
        EXPECT_EQ(f.result(), QDialog::Accepted) << byMenu;
        EXPECT_EQ(w->session.step(), 1);
        EXPECT_EQ(int(w->session.viewMode()), 2);
        EXPECT_TRUE(w->chk_view->isChecked());
        EXPECT_EQ(w->txtpage->text(), QStringLiteral("3-4"));
        EXPECT_EQ(w->session.promptOwner, w);
        fs.reset();
        newRun();
    }
}

TEST_F(FullScreen, ClosingTheMainWindowUnderItRecordsThePageInView)
{
    // Right presses in full screen, and the page the resume record then holds
    // (-1: the last page of the book: finished, nothing recorded).
    for (const auto &[presses, recorded] : {std::pair(2, 2), std::pair(4, -1)}) {
        openBook(5);
        Frm_FullScreen &f = open();
        for (int i = 0; i < presses; ++i)
            f.Form_KeyDown(Qt::Key_Right);
        ASSERT_EQ(w->session.step(), presses); // the one place, moved by the full-screen window
        w->close(); // what a stop signal does
        const auto rec = ResumeRecord::readFrom(dataPath(ResumeRecord::fileName()));
        EXPECT_EQ(rec.has_value(), recorded >= 0) << presses;
        if (rec) {
            EXPECT_EQ(rec->pagePosition, recorded);
        }
        fs.reset();
        newRun();
    }
}

TEST_F(FullScreen, DrawsTheSamePixelsAsTheMainWindow)
{
    openBook(5);
    w->session.setOption(ReadingSession::TwoPage, true);
    w->session.setOption(ReadingSession::RightToLeft, true);
    w->session.setOption(ReadingSession::Sharpen, true);
    Frm_FullScreen &f = open();
    w->PicDraw->resize(f.PicDraw->size());
    w->session.goToStep(1, TurnDirection::RightOver, false);
    w->Page_Draw(0);
    EXPECT_EQ(w->PicDraw->surface(), f.PicDraw->surface());
    EXPECT_FALSE(f.PicDraw->surface().isNull());
}

TEST_F(FullScreen, AnUndecodablePageShowsTheSameNoticeAsInTheMainWindow)
{
    openBook(3);
    ASSERT_TRUE(writeFile(w->session.Page_Path(1), "not a picture"));
    w->session.setOption(ReadingSession::BookEffect, true);
    Frm_FullScreen &f = open();
    w->session.goToStep(1, TurnDirection::RightOver, true);
    // The frames of the turn let the main window's pending layout run: its
    // surface is sized after them.
    w->PicDraw->resize(f.PicDraw->size());
    w->Page_Draw(0);
    const QImage &s = f.PicDraw->surface();
    EXPECT_EQ(w->PicDraw->surface(), s);
    // Black but for the notice: nothing of the page shown before.
    int text = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            const QColor c = s.pixelColor(x, y);
            ASSERT_NE(c, TestImages::pageColour(1));
            text += c != QColor(Qt::black);
        }
    EXPECT_GT(text, 20);
}

TEST_F(FullScreen, MenuMarksFollowTheRealOptionsAndSetThem)
{
    openBook(3);
    w->session.setOption(ReadingSession::Hundred, true);
    Frm_FullScreen &f = open();
    EXPECT_FALSE(f.mnuShowPage->isChecked());
    EXPECT_TRUE(f.mnuShowOriginal->isChecked());
    f.mnuShowJapan->trigger();
    EXPECT_TRUE(w->chk_japan->isChecked());
    EXPECT_TRUE(f.mnuShowJapan->isChecked());
}

TEST_F(FullScreen, NothingOpensOnAnEmptyListAndThePointerHidesUntilMoved)
{
    startUp();
    Frm_FullScreen::openOver(*w); // returns at once: no modal window
    EXPECT_FALSE(app->IsFullScreen);

    openBook(2);
    Frm_FullScreen &f = open();
    EXPECT_TRUE(f.pointerTimer.isActive());
    f.pointerTimer.start(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.PicDraw->cursor().shape() == Qt::BlankCursor; }, 1000));
    sendMouse(f.PicDraw, QEvent::MouseMove, QPointF(10, 10));
    EXPECT_NE(f.PicDraw->cursor().shape(), Qt::BlankCursor);
}
