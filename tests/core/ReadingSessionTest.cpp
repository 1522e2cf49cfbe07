#include "CaseName.h"
// The reading session's rules, driven without any window.
#include "ScriptedPrompts.h"
#include "TestImages.h"
#include "core/Program.h"
#include "core/ReadingSession.h"

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

} // namespace

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
