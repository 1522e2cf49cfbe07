// Moving through a book in the window, and the keys that do it.
#include "CaseName.h"
#include "FileTree.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "core/PageKeys.h"
#include "dialogs/Frm_Info.h"
#include "platform/Canvas.h"
#include "platform/SkinButton.h"
#include "platform/KeyCodes.h"

#include <QMenu>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <QWheelEvent>

namespace {
class Navigation : public ViewerFixture
{
protected:
    // Volumes "/" (top pages), "a/" and "b/" with the given page counts.
    void openBook(int top, int a, int b)
    {
        const QString root = makeFolder(QStringLiteral("nav"));
        TestImages::writeVolumes(root, top, a, b, 20);
        startUp();
        w->chkeffect->setChecked(false);
        w->PicDraw->resize(400, 300);
        openFolder(root);
    }
};

// A step past either end of a volume: a question offering the neighbouring volume
// (whose first page a Yes opens), a notice at the ends of the book, and silence
// at the far end of a one-page volume that has no neighbour there.
struct VolumeEnd
{
    const char *what;
    int top, a, b;     // page counts of the volumes "/", "a/" and "b/"
    int volume, page;  // where the step starts
    bool forward;
    bool yes;          // the answer to a question
    const char *said;  // "" for nothing
    int volumeAfter, pageAfter;
};
using VolumeEnds = WithCases<Navigation, VolumeEnd>;

TEST_P(VolumeEnds, AskOrTellAndAYesOpensTheFirstPage)
{
    const VolumeEnd c = GetParam();
    openBook(c.top, c.a, c.b);
    w->selectVolume(c.volume);
    w->session.goToStep(c.page, TurnDirection::RightOver, false);
    const size_t before = prompts.shown.size();
    if (c.yes)
        prompts.messageAnswers = {MsgResult::Yes};
    c.forward ? w->Go_Next() : w->Go_Prev();
    const QString said = QString::fromUtf8(c.said);
    ASSERT_EQ(prompts.shown.size(), before + (said.isEmpty() ? 0 : 1));
    if (!said.isEmpty()) {
        EXPECT_EQ(prompts.last()->text, said);
        const bool question = said.endsWith('?');
        EXPECT_EQ(prompts.last()->buttons, question ? MsgButtons::YesNo : MsgButtons::Ok);
        if (!question) {
            EXPECT_EQ(prompts.last()->icon, MsgIcon::Information);
        }
    }
    EXPECT_EQ(w->cb_list->currentIndex(), c.volumeAfter);
    EXPECT_EQ(w->session.step(), c.pageAfter);
    EXPECT_TRUE(w->isEnabled());
}

const char *const offerNext = "마지막 페이지 입니다. 다음권을 보시겠습니까?";
const char *const offerPrevious = "첫 페이지 입니다. 이전권을 보시겠습니까?";
INSTANTIATE_TEST_SUITE_P(
    Cases, VolumeEnds,
    ::testing::Values(VolumeEnd{"LastPageNoStays", 2, 3, 2, 0, 1, true, false, offerNext, 0, 1},
                      VolumeEnd{"LastPageYesOpensTheNext", 2, 3, 2, 0, 1, true, true, offerNext, 1, 0},
                      VolumeEnd{"EndOfTheBook", 2, 3, 2, 2, 1, true, false, "마지막 페이지 입니다.", 2, 1},
                      VolumeEnd{"FirstPageYesOpensThePreviousAtItsFirstPage", 2, 3, 2, 2, 0, false, true, offerPrevious, 1, 0},
                      VolumeEnd{"StartOfTheBook", 2, 3, 2, 0, 0, false, false, "첫 페이지 입니다.", 0, 0},
                      VolumeEnd{"OnePageVolumeOffersTheNext", 1, 1, 0, 0, 0, true, false, offerNext, 0, 0},
                      VolumeEnd{"OnePageLastVolumeSaysNothingAtItsEnd", 1, 1, 0, 1, 0, true, false, "", 1, 0},
                      // or a one-page volume would be a dead end
                      VolumeEnd{"OnePageLastVolumeOffersThePrevious", 1, 1, 0, 1, 0, false, true, offerPrevious, 0, 0},
                      VolumeEnd{"OnePageFirstVolumeSaysNothingAtItsStart", 1, 1, 0, 0, 0, false, false, "", 0, 0}),
    CaseName());
} // namespace

TEST_F(Navigation, LastButtonAndFiveStepsInTwoPageMode)
{
    openBook(5, 0, 0);
    w->chk_view->setChecked(true);
    w->cmdlast_MouseDown();
    EXPECT_EQ(w->session.step(), 2);
    EXPECT_EQ(w->txtpage->text(), QStringLiteral("5")); // the page numbers of the spread
    w->cmdfirst_MouseDown();
    EXPECT_EQ(w->session.step(), 0);
}

TEST_F(Navigation, PageBoxEntries)
{
    openBook(4, 0, 0);
    struct Case
    {
        const char *text;
        int index;
    } cases[] = {{"0", 0}, {"999", 3}, {"-3", 3}, {"2.5", 2}, {"3.5", 2}, {" 2 ", 1}, {"4", 3}};
    for (const Case &c : cases) {
        w->txtpage->setText(QString::fromLatin1(c.text));
        w->txtpage_KeyUp(KeyCodes::Enter);
        EXPECT_EQ(w->session.step(), c.index) << c.text;
    }
    w->session.goToStep(1, TurnDirection::RightOver, false);
    w->txtpage->setText(QStringLiteral("abc"));
    w->txtpage_KeyUp(KeyCodes::Enter);
    EXPECT_EQ(w->session.step(), 1);
    EXPECT_TRUE(app->ErrorLog.endsWith(QStringLiteral("txtpage key setfocus \r\n")));
    w->txtpage->setText(QStringLiteral("3"));
    w->txtpage_KeyUp(KeyCodes::Space); // only Enter acts
    EXPECT_EQ(w->session.step(), 1);
}

TEST_F(Navigation, KeysClicksAndTheWheel)
{
    openBook(6, 0, 0);
    EXPECT_TRUE(w->PicDraw_KeyUp(Qt::Key_Right));
    EXPECT_TRUE(w->PicDraw_KeyUp(Qt::Key_Space));
    EXPECT_EQ(w->session.step(), 2);
    EXPECT_TRUE(w->PicDraw_KeyUp(Qt::Key_Left));
    EXPECT_FALSE(w->PicDraw_KeyUp(Qt::Key_X));
    EXPECT_EQ(w->session.step(), 1);
    // Home and End reach the first and the last page, as their buttons do.
    EXPECT_TRUE(w->PicDraw_KeyUp(Qt::Key_End));
    EXPECT_EQ(w->session.step(), 5);
    EXPECT_TRUE(w->PicDraw_KeyUp(Qt::Key_Home));
    EXPECT_EQ(w->session.step(), 0);
    w->session.goToStep(1, TurnDirection::RightOver, false);

    // A click exactly on the centre line goes back; right of it goes forward.
    w->PicDraw_MouseDown(Qt::LeftButton, 200.0);
    EXPECT_EQ(w->session.step(), 0);
    w->PicDraw_MouseDown(Qt::LeftButton, 200.5);
    EXPECT_EQ(w->session.step(), 1);
    w->PicDraw_MouseDown(Qt::RightButton, 350); // the page's menu, no step
    w->mnuPage->hide();
    EXPECT_EQ(w->session.step(), 1);

    // Three notches toward the reader within one burst make one forward step.
    ASSERT_NE(w->WheelMouse1, nullptr);
    for (int i = 0; i < 3; ++i) {
        QWheelEvent ev(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->PicDraw, &ev);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->Tmr_Scroll.timer.isActive(); }, 3000));
    EXPECT_EQ(w->session.step(), 2);
    // The direction is that of the last event of the burst.
    w->WheelMouse1_WheelChanged(-120);
    w->WheelMouse1_WheelChanged(120);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->Tmr_Scroll.timer.isActive(); }, 3000));
    EXPECT_EQ(w->session.step(), 1);
}

TEST_F(Navigation, TheKeysStillReachThePageAfterAStep)
{
    openBook(4, 0, 0);
    w->show();
    w->activateWindow();
    w->PicDraw->setFocus();
    if (!QTest::qWaitFor([&] { return QApplication::focusWidget() == w->PicDraw; }, 1000))
        GTEST_SKIP() << "this platform gives no keyboard focus";
    // A step disables the window while it draws; the page must get the keys back.
    QTest::keyClick(w->PicDraw, Qt::Key_Right);
    EXPECT_EQ(w->session.step(), 1);
    EXPECT_EQ(QApplication::focusWidget(), w->PicDraw);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(w->session.step(), 2);
    // The release of a key pressed elsewhere (Enter answering a question) is not a step.
    QTest::keyRelease(w->PicDraw, Qt::Key_Return);
    EXPECT_EQ(w->session.step(), 2);
    // After a volume switch (the open command ends in one) the keys reach the new pages.
    w->cb_list->setFocus();
    w->selectVolume(0);
    EXPECT_EQ(QApplication::focusWidget(), w->PicDraw);
}

TEST_F(Navigation, DuringAStepInputIsDroppedButNothingIsGreyed)
{
    openBook(3, 0, 0);
    w->setBusy(true);
    EXPECT_TRUE(w->isEnabled());
    EXPECT_TRUE(w->PicTop->isEnabled());
    QTest::keyClick(w->PicDraw, Qt::Key_Right);
    QTest::mouseClick(w->PicDraw, Qt::LeftButton, {}, QPoint(390, 10));
    EXPECT_EQ(w->session.step(), 0);
    w->setBusy(false);
    QTest::mouseClick(w->PicDraw, Qt::LeftButton, {}, QPoint(390, 10));
    EXPECT_EQ(w->session.step(), 1);
}

namespace {

using PageKeys::Action;
using PageKeys::KeyMap;

QKeyCombination key(const char *text)
{
    return QKeySequence::fromString(QString::fromLatin1(text))[0];
}

// Settings over the defaults: what each key does afterwards and how many
// problems are reported.
struct KeysCase
{
    const char *name;
    QList<QPair<QString, QString>> entries;
    QList<QPair<const char *, Action>> expected; // key, its action after
    int problems;
};
using KeySettings = ::testing::TestWithParam<KeysCase>;

TEST_P(KeySettings, TakeWhatIsClearAndKeepTheDefaultsElse)
{
    const KeysCase c = GetParam();
    QStringList problems;
    const KeyMap map = KeyMap::fromSettings(c.entries, &problems);
    for (const auto &[k, action] : c.expected)
        EXPECT_EQ(map.actionFor(key(k)), action) << k;
    EXPECT_EQ(problems.size(), c.problems) << qPrintable(problems.join(QLatin1Char('\n')));
}

const QString kNext = QStringLiteral("Next");
INSTANTIATE_TEST_SUITE_P(
    Cases, KeySettings,
    ::testing::Values(
        KeysCase{"Defaults",
                 {},
                 {{"Return", Action::Next}, {"PgUp", Action::ScreenUp}, {"Shift+R", Action::RotateCcw}, {"Shift++", Action::ZoomIn}, {"Ctrl+O", Action::Open}, {"O", Action::CoverAlone},
                  {"Shift+O", Action::None}, {"F9", Action::Index}, {"Esc", Action::Leave}},
                 0},
        KeysCase{"ReplacesTheWholeList", {{kNext, "Right, X"}}, {{"X", Action::Next}, {"Return", Action::None}}, 0},
        KeysCase{"NamesInAnyCase", {{"next", "ctrl+n"}}, {{"Ctrl+N", Action::Next}}, 0},
        KeysCase{"UnknownKeyKeepsTheDefaults", {{kNext, "Right, Hyper+Q"}}, {{"Return", Action::Next}}, 1},
        KeysCase{"UnknownAction", {{"Nxt", "X"}}, {{"X", Action::None}}, 1},
        KeysCase{"TakingAnotherActionsDefault", {{kNext, "A"}}, {{"A", Action::WideAlone}, {"Return", Action::Next}}, 1},
        KeysCase{"OneKeyForTwoIsSaidOnce",
                 {{kNext, "Q"}, {"Previous", "Q"}},
                 {{"Q", Action::None}, {"Return", Action::Next}, {"Left", Action::Prev}},
                 1},
        KeysCase{"ASwapIsNoConflict",
                 {{"WideAlone", "Q"}, {kNext, "A, Return"}},
                 {{"A", Action::Next}, {"Q", Action::WideAlone}},
                 0},
        // Reverting one action hands back a default that a third setting took.
        KeysCase{"RevertingChains",
                 {{"WideAlone", "Q"}, {kNext, "A"}, {"Previous", "Q"}},
                 {{"A", Action::WideAlone}, {"Q", Action::None}, {"Return", Action::Next}, {"Left", Action::Prev}},
                 2}),
    CaseName());

// The keypad's Enter steps on like Return; the keypad modifier is no part of a binding.
TEST(KeyMap, TheKeypadEnterStepsOn)
{
    EXPECT_EQ(KeyMap().actionFor(Qt::Key_Enter, Qt::KeypadModifier), Action::Next);
}

using KeysInTheWindow = ViewerFixture;

// The settings' keys reach the window and its information page; a problem is
// said once, at start.
TEST_F(KeysInTheWindow, FollowTheSettingsAndAProblemIsSaidOnceAtStart)
{
    ASSERT_TRUE(writeFile(dataPath("config/leafview.ini"), "[Keys]\nNext=X, Right\nPrevious=A\n"));
    newRun();
    const QString root = makeFolder(QStringLiteral("keys"));
    TestImages::writeVolumes(root, 3, 0, 0, 20);
    startUp();
    openFolder(root);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown.front().text.contains(QStringLiteral("Previous")));
    EXPECT_FALSE(w->PicDraw_KeyUp(Qt::Key_Return));
    EXPECT_TRUE(w->PicDraw_KeyUp(Qt::Key_X));
    EXPECT_EQ(w->session.step(), 1);

    const QString page = QStringLiteral(R"(<tr id="key-Next"><td class="k">old</td><td>next</td></tr>)");
    EXPECT_EQ(Frm_Info::withKeys(page, app->keys).toStdString(),
              R"(<tr id="key-Next"><td class="k">X, Right</td><td>next</td></tr>)");
}

} // namespace
