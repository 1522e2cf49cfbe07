// The reading session's rules, driven without any window.
#include "ComicArchive.h"
#include "FileTree.h"
#include "SessionFixture.h"

#include <QSignalSpy>

namespace {

class Session : public SessionTest
{
protected:
    // Volumes "/" (top pages), "a/" and "b/" with the given page counts.
    void open(int top, int a, int b)
    {
        TestImages::writeVolumes(dir.path() + "/book", top, a, b);
        SessionTest::open(dir.path() + "/book");
    }
};

struct ModeSwitch
{
    const char *what;
    int entries, page, spread, pageAgain;
};
using ViewModeSwitch = WithCases<Session, ModeSwitch>;

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
using HandOver = WithCases<Session, HandedPath>;

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
    s.goToStep(3, TurnDirection::RightOver, false);
    s.setOption(ReadingSession::TwoPage, c.twoPage);
    const QString handed = dir.path() + "/" + c.path;
    SessionLifecycle::openHandedOver(s, handed);
    EXPECT_EQ(s.step(), c.index);
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
    s.goToStep(c.page, TurnDirection::RightOver, false);
    ASSERT_TRUE(s.setOption(ReadingSession::TwoPage, true));
    EXPECT_EQ(int(s.viewMode()), 2);
    EXPECT_EQ(s.step(), c.spread);
    ASSERT_TRUE(s.setOption(ReadingSession::TwoPage, false));
    EXPECT_EQ(int(s.viewMode()), 1);
    EXPECT_EQ(s.step(), c.pageAgain);
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
}

TEST_F(Session, FivePagesInTwoPageModeMakeThreeStepsAndTheLastEndsTheBook)
{
    open(5, 0, 0);
    s.setOption(ReadingSession::TwoPage, true);
    EXPECT_EQ(s.stepCount(), 3);
    EXPECT_FALSE(s.finishedReading());
    s.goToStep(1, TurnDirection::LeftOver, false);
    EXPECT_EQ(s.stepForward(), ReadingSession::Move::Moved);
    EXPECT_EQ(s.step(), 2);
    EXPECT_EQ(s.turn(), TurnDirection::RightOver);
    EXPECT_TRUE(s.finishedReading());
    EXPECT_EQ(s.stepForward(), ReadingSession::Move::Stayed);
    EXPECT_EQ(prompts.last()->text, QStringLiteral("마지막 페이지 입니다."));

    const ResumeRecord r = s.snapshot();
    EXPECT_EQ(r.viewMode, 2);
    EXPECT_EQ(r.pagePosition, 2);
    EXPECT_EQ(r.volumeIndex, 0);
    EXPECT_EQ(r.effect, 1);
}

TEST_F(Session, StepsAndThePageBoxTurnByTheReadingOrder)
{
    open(4, 0, 0);
    ASSERT_TRUE(s.goToPageBox(QStringLiteral("3")));
    EXPECT_EQ(s.step(), 2);
    EXPECT_EQ(s.turn(), TurnDirection::RightOver);
    s.goToStep(3, TurnDirection::LeftOver, false);
    ASSERT_TRUE(s.goToPageBox(QStringLiteral("-3")));
    EXPECT_EQ(s.step(), 3);
    EXPECT_EQ(s.turn(), TurnDirection::RightOver); // the same page: the forward direction
    ASSERT_TRUE(s.goToPageBox(QStringLiteral("1")));
    EXPECT_EQ(s.step(), 0);
    EXPECT_EQ(s.turn(), TurnDirection::LeftOver);
    EXPECT_FALSE(s.goToPageBox(QStringLiteral("two")));
    s.stepForward();
    s.stepBack();
    EXPECT_EQ(s.turn(), TurnDirection::LeftOver);
    // Right to left every step and typed page turns the other way; the page in view
    // typed again turns right over either way.
    s.setOption(ReadingSession::RightToLeft, true);
    s.stepForward();
    EXPECT_EQ(s.turn(), TurnDirection::LeftOver);
    s.stepBack();
    EXPECT_EQ(s.turn(), TurnDirection::RightOver);
    ASSERT_TRUE(s.goToPageBox(QStringLiteral("4")));
    EXPECT_EQ(s.turn(), TurnDirection::LeftOver);
    ASSERT_TRUE(s.goToPageBox(QStringLiteral("4")));
    EXPECT_EQ(s.turn(), TurnDirection::RightOver);
}
