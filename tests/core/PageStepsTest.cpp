// How the pages of a volume are grouped into steps, and the place kept across runs.
#include "SessionFixture.h"
#include "core/ExportFolderFile.h"
#include "core/PageSteps.h"

namespace {

// "0-1 2 3-4": the steps, 0-based, a wide page alone marked "w".
QString shown(const std::vector<PageStep> &steps)
{
    QStringList out;
    for (const PageStep &s : steps)
        out << QString::number(s.first) + (s.count == 2 ? "-" + QString::number(s.last()) : QString()) +
                   (s.wide ? "w" : "");
    return out.join(' ');
}

struct Grouping
{
    const char *name;
    int pages;
    bool twoPage, wideAlone, coverAlone;
    std::set<int> wide, shifted;
    const char *steps;
};
using Groupings = ::testing::TestWithParam<Grouping>;

TEST_P(Groupings, StepsFollowTheRules)
{
    const Grouping c = GetParam();
    const StepRules rules{c.twoPage, c.wideAlone, c.coverAlone, c.shifted};
    const std::vector<PageStep> steps = PageSteps::build(c.pages, rules, [&](int k) { return c.wide.count(k) > 0; });
    EXPECT_EQ(shown(steps), QString::fromLatin1(c.steps));
    // Every page is in exactly the step stepOf finds for it.
    for (int k = 0; k < c.pages; ++k)
        EXPECT_TRUE(steps[size_t(PageSteps::stepOf(steps, k))].holds(k)) << k;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Groupings,
    ::testing::Values(
        Grouping{"OnePage", 3, false, true, true, {1}, {}, "0 1 2"},
        Grouping{"ParityOdd", 5, true, false, false, {2}, {}, "0-1 2-3 4"},
        Grouping{"ParityEven", 4, true, false, false, {}, {}, "0-1 2-3"},
        Grouping{"WideInTheMiddle", 5, true, true, false, {2}, {}, "0-1 2w 3-4"},
        Grouping{"WideFirst", 4, true, true, false, {0}, {}, "0w 1-2 3"},
        Grouping{"WideLast", 4, true, true, false, {3}, {}, "0-1 2 3w"},
        Grouping{"WideSideBySide", 6, true, true, false, {2, 3}, {}, "0-1 2w 3w 4-5"},
        Grouping{"WideAfterAnOddRun", 5, true, true, false, {1}, {}, "0 1w 2-3 4"},
        Grouping{"CoverOdd", 5, true, false, true, {}, {}, "0 1-2 3-4"},
        Grouping{"CoverEven", 4, true, false, true, {}, {}, "0 1-2 3"},
        Grouping{"CoverThenWide", 4, true, true, true, {1}, {}, "0 1w 2-3"},
        Grouping{"ShiftASpread", 6, true, false, false, {}, {2}, "0-1 2 3-4 5"},
        Grouping{"ShiftAfterTheCover", 5, true, false, true, {}, {1}, "0 1 2-3 4"}),
    CaseName());

TEST(PageSteps, AShiftSplitsASpreadOrStartsAfterALonePage)
{
    EXPECT_EQ(PageSteps::shiftPageFor({2, 2, false}), 2);
    EXPECT_EQ(PageSteps::shiftPageFor({2, 1, false}), 3);
}

// A folder of seven pages, the fourth (index 3) a wide scan, read by a session.
class Place : public SessionTest
{
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        setFolder(TestImages::writePages(dir.path() + "/book", 7, 30, 40));
        TestImages::write(dir.path() + "/book/p4.png", 80, 40);
    }
};

struct PlaceCase
{
    const char *name;
    bool wideAlone, coverAlone;
    const char *boxes; // the page box of every step
};
using PlaceKept = WithCases<Place, PlaceCase>;

} // namespace

TEST_P(PlaceKept, EveryStepShowsItsPagesAndComesBackFromTheResumeRecord)
{
    const PlaceCase c = GetParam();
    s.setOption(ReadingSession::TwoPage, true);
    s.setOption(ReadingSession::WideAlone, c.wideAlone);
    s.setOption(ReadingSession::CoverAlone, c.coverAlone);
    s.Open_Source();
    QStringList boxes;
    for (int step = 0; step < s.stepCount(); ++step) {
        s.goToStep(step, TurnDirection::RightOver, false);
        boxes << s.pageBoxText();
        // The record keeps the spread index of the step's first page ...
        const ResumeRecord rec = s.snapshot();
        EXPECT_EQ(rec.pagePosition, s.currentStep().first / 2);
        // ... and a new run with the same options opens that step again, except
        // where the record cannot tell it from the step before it (both begin in
        // the same spread index): the cover, a wide page at an even page.
        ReadingSession again(app);
        again.setOption(ReadingSession::WideAlone, c.wideAlone);
        again.setOption(ReadingSession::CoverAlone, c.coverAlone);
        SessionLifecycle::resume(again, rec);
        const bool ambiguous = step + 1 < s.stepCount() && s.stepAt(step + 1).first / 2 == s.currentStep().first / 2;
        EXPECT_EQ(again.step(), ambiguous ? step + 1 : step) << "step " << step;
    }
    EXPECT_EQ(boxes.join(' '), QString::fromLatin1(c.boxes));
}

INSTANTIATE_TEST_SUITE_P(Cases, PlaceKept,
                         ::testing::Values(PlaceCase{"Parity", false, false, "1-2 3-4 5-6 7"},
                                           PlaceCase{"WideAlone", true, false, "1-2 3 4 5-6 7"},
                                           PlaceCase{"CoverAlone", false, true, "1 2-3 4-5 6-7"},
                                           PlaceCase{"Both", true, true, "1 2-3 4 5-6 7"}),
                         CaseName());

TEST_F(Place, ShiftMovesThePairingFromTheStepAndBackAndTheBoxGoesToThePage)
{
    s.setOption(ReadingSession::TwoPage, true);
    s.Open_Source();
    s.goToStep(1, TurnDirection::RightOver, false); // pages 3-4
    ASSERT_TRUE(s.shiftPairing());
    EXPECT_EQ(s.pageBoxText(), "3");
    EXPECT_EQ(s.stepCount(), 4); // 1-2 3 4-5 6-7
    EXPECT_EQ(s.stepAt(2).first, 3);
    ASSERT_TRUE(s.shiftPairing()); // the same key there takes it back
    EXPECT_EQ(s.pageBoxText(), "3-4");
    // A typed page goes to the step holding it; the shown range goes back to it.
    ASSERT_TRUE(s.goToPageBox("6"));
    EXPECT_EQ(s.pageBoxText(), "5-6");
    ASSERT_TRUE(s.goToPageBox("3-4"));
    EXPECT_EQ(s.step(), 1);
    EXPECT_EQ(s.turn(), TurnDirection::LeftOver);
    s.setOption(ReadingSession::TwoPage, false);
    EXPECT_FALSE(s.shiftPairing());
    EXPECT_EQ(s.pageBoxText(), "3");
}

TEST(ExportFolderFile, SettingsFollowTheFolderLineWithoutChangingIt)
{
    QTemporaryDir d;
    const QString f = d.path() + "/imgviewer.ini";
    ASSERT_TRUE(ExportFolderFile::write(f, "/home/r/out"));
    ASSERT_TRUE(ExportFolderFile::setSetting(f, "WideAlone", "1"));
    ASSERT_TRUE(ExportFolderFile::setSetting(f, "WideAlone", "0"));
    ASSERT_TRUE(ExportFolderFile::write(f, "/home/r/other"));
    EXPECT_EQ(ExportFolderFile::read(f), "/home/r/other");
    EXPECT_EQ(ExportFolderFile::setting(f, "WideAlone"), "0");
    EXPECT_EQ(ExportFolderFile::setting(f, "CoverAlone"), "");
}
