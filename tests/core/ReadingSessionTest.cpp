#include "CaseName.h"
// The reading session's rules, driven without any window.
#include "ComicArchive.h"
#include "FileTree.h"
#include "ScriptedPrompts.h"
#include "TestImages.h"
#include "core/Program.h"
#include "core/ReadingSession.h"
#include "core/SessionLifecycle.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Session : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Program app{ProgramPaths::inFolder(dir.path() + "/bin"), &prompts};
    ReadingSession s{app};

    void SetUp() override { app.lang.load(); }

    // Volumes "/" (top pages), "a/" and "b/" with the given page counts.
    void open(int top, int a, int b)
    {
        const QString root = dir.path() + "/book";
        TestImages::writeVolumes(root, top, a, b);
        app.OpenPath = root;
        app.IsArchive = false;
        s.Open_Source();
    }
};

struct ModeSwitch
{
    const char *what;
    int entries, page, spread, pageAgain;
};
class ViewModeSwitch : public Session, public ::testing::WithParamInterface<ModeSwitch>
{
};

// A path handed over while old.cbr is read at its fourth page (in two-page mode
// its second spread): where reading goes on.
struct HandedPath
{
    const char *name;
    const char *path; // under the test folder
    bool twoPage;
    int index;     // the page, or the spread
    bool oldStays; // the handed book shows nothing: old.cbr stays
};
class HandOver : public Session, public ::testing::WithParamInterface<HandedPath>
{
};

} // namespace

TEST_P(HandOver, StartsTheNewBookAtItsBeginningOrKeepsTheOldOneAtItsPage)
{
    const HandedPath c = GetParam();
    QDir().mkpath(app.paths.tmpZip());
    const QString old = ComicArchive::write(dir.path() + "/old.cbr");
    ComicArchive::write(dir.path() + "/other.cbz");
    TestImages::writeVolumes(dir.path() + "/other", 6, 0, 0);
    ASSERT_TRUE(writeFile(dir.path() + "/bad.cbz", "plain text") && writeFile(dir.path() + "/bad.cbr", "plain text"));
    SessionLifecycle::openHandedOver(s, old);
    s.Page_Index = 3;
    s.setOption(ReadingSession::TwoPage, c.twoPage);
    const QString handed = dir.path() + "/" + c.path;
    SessionLifecycle::openHandedOver(s, handed);
    EXPECT_EQ(s.Page_Index, c.index);
    EXPECT_EQ(prompts.count("message"), c.oldStays ? 1 : 0);
    if (!c.oldStays) {
        EXPECT_EQ(app.OpenPath, handed.endsWith(".png") ? QFileInfo(handed).path() : handed);
        return;
    }
    EXPECT_EQ(app.OpenPath, old);
    EXPECT_EQ(s.List1().items(), ComicArchive::pageNames());
    // The page in view is there to draw again.
    const int entry = c.twoPage ? c.index * 2 : c.index;
    s.extractEntry(entry);
    EXPECT_GT(QFileInfo(s.Page_Path(entry)).size(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, HandOver,
                         ::testing::Values(HandedPath{"AnArchive", "other.cbz", false, 0, false},
                                           HandedPath{"AnArchiveInTwoPages", "other.cbz", true, 0, false},
                                           HandedPath{"AnImage", "other/t5.png", false, 4, false},
                                           HandedPath{"AnImageInTwoPages", "other/t3.png", true, 1, false},
                                           HandedPath{"ADamagedZip", "bad.cbz", false, 3, true},
                                           HandedPath{"ADamagedRarInTwoPages", "bad.cbr", true, 1, true}),
                         CaseName());

TEST_P(ViewModeSwitch, PageToSpreadAndBack)
{
    const ModeSwitch c = GetParam();
    open(c.entries, 0, 0);
    s.Page_Index = qint16(c.page);
    ASSERT_TRUE(s.setOption(ReadingSession::TwoPage, true));
    EXPECT_EQ(s.I_ViewMode, 2);
    EXPECT_EQ(s.Page_Index, c.spread);
    ASSERT_TRUE(s.setOption(ReadingSession::TwoPage, false));
    EXPECT_EQ(s.I_ViewMode, 1);
    EXPECT_EQ(s.Page_Index, c.pageAgain);
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewModeSwitch,
                         ::testing::Values(ModeSwitch{"SecondOfASpreadBackToItsFirst", 5, 3, 1, 2},
                                           ModeSwitch{"LoneFifthPage", 5, 4, 2, 4}, ModeSwitch{"LastOfFour", 4, 3, 1, 2},
                                           ModeSwitch{"OnePage", 1, 0, 0, 0}),
                         CaseName());

TEST_F(Session, OptionsSignalOnceForEachRealChange)
{
    QSignalSpy spy(&s, &ReadingSession::optionChanged);
    EXPECT_TRUE(s.option(ReadingSession::BookEffect)); // on at start, the rest off
    EXPECT_FALSE(s.setOption(ReadingSession::BookEffect, true));
    EXPECT_TRUE(s.setOption(ReadingSession::RightToLeft, true));
    EXPECT_FALSE(s.setOption(ReadingSession::RightToLeft, true));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<ReadingSession::Option>(), ReadingSession::RightToLeft);
    // Right-to-left reading swaps the turn directions.
    EXPECT_EQ(s.turnDirection(true), 1);
    EXPECT_EQ(s.turnDirection(false), 2);
}

TEST_F(Session, FivePagesInTwoPageModeMakeThreeStepsAndTheLastEndsTheBook)
{
    open(5, 0, 0);
    s.setOption(ReadingSession::TwoPage, true);
    EXPECT_EQ(s.stepCount(), 3);
    qint16 index = 1, turn = 0;
    EXPECT_EQ(s.stepForward(index, turn), ReadingSession::Step::Moved);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(turn, 2);
    EXPECT_FALSE(s.finishedReading()); // Page_Index is still 0
    s.Page_Index = 2;
    EXPECT_TRUE(s.finishedReading());
    EXPECT_EQ(s.stepForward(index, turn), ReadingSession::Step::Stayed);
    EXPECT_EQ(prompts.last()->text, QStringLiteral("마지막 페이지 입니다."));

    const ResumeRecord r = s.snapshot();
    EXPECT_EQ(r.viewMode, 2);
    EXPECT_EQ(r.pagePosition, 2);
    EXPECT_EQ(r.volumeIndex, 0);
    EXPECT_EQ(r.effect, 1);
}

TEST_F(Session, PageBoxTextGivesIndexAndDirection)
{
    open(4, 0, 0);
    qint16 turn = 0;
    EXPECT_EQ(s.pageBoxIndex(QStringLiteral("3"), 0, turn), 2);
    EXPECT_EQ(turn, 2);
    EXPECT_EQ(s.pageBoxIndex(QStringLiteral("-3"), 3, turn), 3);
    EXPECT_EQ(turn, 2); // the same page: the forward direction
    EXPECT_EQ(s.pageBoxIndex(QStringLiteral("1"), 3, turn), 0);
    EXPECT_EQ(turn, 1);
    EXPECT_FALSE(s.pageBoxIndex(QStringLiteral("two"), 0, turn).has_value());
}
