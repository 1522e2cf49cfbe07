#include "CaseName.h"
#include "FileTree.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "core/PageKeys.h"
#include "dialogs/Frm_Info.h"

#include <QTextBrowser>

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
