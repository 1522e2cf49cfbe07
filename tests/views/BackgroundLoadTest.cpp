// Books listed and volumes taken out on a worker: giving a load up at any point
// leaves the window as it was, and a volume's first page shows before the rest.
#include "support/CaseName.h"
#include "support/SolidArchiveWriter.h"
#include "support/TestImages.h"
#include "support/ViewerFixture.h"

#include "platform/Canvas.h"
#include "platform/SkinButton.h"
#include "views/Frm_FullScreen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QTest>

#include <future>
#include <memory>
#include <utility>

namespace {

// Pages "<prefix>01.png"... in `folder` (empty: at the root), stored in the order given.
std::vector<std::pair<QString, QByteArray>> pages(const QString &prefix, const std::vector<int> &order,
                                                  const QString &folder = QString())
{
    std::vector<std::pair<QString, QByteArray>> files;
    for (const int n : order)
        files.push_back({folder + prefix + QStringLiteral("%1.png").arg(n, 2, 10, QLatin1Char('0')),
                         TestImages::encoded(40, 60, QColor::fromHsv(n * 30 % 360, 200, 200), "PNG")});
    return files;
}

class BackgroundLoad : public ViewerFixture
{
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        w->session.setBackgroundLoading(true);
        startUp();
        ASSERT_TRUE(settled());
        w->chkeffect->setChecked(false);
        w->show();
    }
    QString tar(const QString &name, const std::vector<std::pair<QString, QByteArray>> &files)
    {
        const QString path = books.path() + QLatin1Char('/') + name;
        EXPECT_TRUE(SolidArchiveWriter::write(path, SolidArchiveWriter::Format::Tar, files));
        return path;
    }
    // The open command on a tar book, as a choice in the chooser.
    void open(const QString &path)
    {
        w->runOpenChooser = [this, path] {
            app->OpenPath = path;
            app->IsArchive = true;
            app->ArchiveKind = ArchiveKind::Tar;
            app->OpenConfirmed = true;
            return true;
        };
        w->cmdopen_MouseDown(Qt::LeftButton);
    }
    bool settled() { return QTest::qWaitFor([this] { return !w->session.loading(); }, 20000); }
    QStringList tmpZip() const
    {
        return QDir(app->paths.tmpZip()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    // Book A, six pages, open at its third.
    void openBookA()
    {
        open(tar(QStringLiteral("a.cbt"), pages(QStringLiteral("a"), {1, 2, 3, 4, 5, 6})));
        ASSERT_TRUE(settled());
        w->session.goToStep(2, TurnDirection::RightOver, false);
        ASSERT_EQ(w->session.pageCount(), 6);
    }
    // Gives the next load up from its worker when it reaches `at` (the hook's
    // points); the loads after it (the way back) run on.
    void giveUpAt(int at)
    {
        w->session.loader().setWorkerHook([this, at, once = std::make_shared<bool>(false)](int member, int) {
            if (member == at && !std::exchange(*once, true))
                w->session.loader().cancel();
        });
    }
};

struct GiveUp
{
    const char *what;
    int at; // 0 after the listing, k before member k, -1 at the end of the load
    bool bookBefore;
};

class GivingUp : public BackgroundLoad, public ::testing::WithParamInterface<GiveUp>
{
};

TEST_P(GivingUp, LeavesTheWindowAsItWasAndNothingOfTheBookInTmpZip)
{
    if (GetParam().bookBefore)
        openBookA();
    const QString a = app->OpenPath;
    giveUpAt(GetParam().at);
    open(tar(QStringLiteral("b.cbt"), pages(QStringLiteral("b"), {3, 1, 2, 5, 4, 6, 7, 8})));
    ASSERT_TRUE(settled());
    w->session.loader().setWorkerHook({});

    EXPECT_TRUE(w->session.loadGivenUp());
    EXPECT_EQ(app->OpenPath, a);
    EXPECT_FALSE(w->PicBox->isVisible());
    EXPECT_FALSE(w->isBusy());
    EXPECT_TRUE(prompts.shown.empty()) << "giving up is no error";
    if (GetParam().bookBefore) {
        EXPECT_EQ(w->session.step(), 2);
        EXPECT_EQ(w->session.List1().items(), tmpZip()) << "book A's pages, taken out again where needed";
        EXPECT_EQ(w->txtpage->text(), QStringLiteral("3"));
        EXPECT_EQ(w->cb_list->currentText(), w->session.volumeLabel(0)) << "named after book A again";
    } else {
        EXPECT_TRUE(tmpZip().isEmpty());
        EXPECT_EQ(w->session.volumeCount(), 0);
        EXPECT_EQ(w->session.pageCount(), 0);
        EXPECT_FALSE(w->cmdnext->isEnabled());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Moments, GivingUp,
    ::testing::Values(GiveUp{"listed_over_a_book", 0, true}, GiveUp{"mid_volume_over_a_book", 4, true},
                      GiveUp{"at_the_end_over_a_book", -1, true}, GiveUp{"listed_first_book", 0, false},
                      GiveUp{"mid_volume_first_book", 4, false}),
    CaseName());

TEST_F(BackgroundLoad, AVolumeSwitchGivenUpReturnsToTheVolumeAndPageBefore)
{
    auto files = pages(QStringLiteral("p"), {1, 2, 3, 4, 5}, QStringLiteral("vol1/"));
    for (auto &f : pages(QStringLiteral("q"), {1, 2, 3, 4, 5}, QStringLiteral("vol2/")))
        files.push_back(f);
    open(tar(QStringLiteral("two.cbt"), files));
    ASSERT_TRUE(settled());
    ASSERT_EQ(w->session.volumeCount(), 2);
    w->session.goToStep(3, TurnDirection::RightOver, false);
    giveUpAt(8); // inside the second volume's members
    w->session.selectVolume(1);
    ASSERT_TRUE(settled());
    EXPECT_EQ(w->session.volumeIndex(), 0);
    EXPECT_EQ(w->session.step(), 3);
    EXPECT_EQ(tmpZip(), w->session.List1().items());
}

TEST_F(BackgroundLoad, TheFirstPageShowsBeforeTheVolumesLastMemberIsOut)
{
    // The first page in reading order is the archive's second member.
    const auto files = pages(QStringLiteral("b"), {2, 1, 3, 4, 5, 6});
    std::promise<void> shown;
    std::shared_future<void> go = shown.get_future().share();
    w->session.loader().setWorkerHook([go](int member, int members) {
        if (member > 0 && member == members)
            go.wait_for(std::chrono::seconds(20));
    });
    open(tar(QStringLiteral("b.cbt"), files));
    const bool drawn = QTest::qWaitFor(
        [this] { return !w->composer.shownPages().empty() && w->session.pageOut(0) && !w->awaitingPage(); }, 20000);
    const QStringList outThen = tmpZip();
    const QStringList listThen = w->session.List1().items();
    // The rest still coming is counted at the foot of the page, off its middle.
    QTest::qWait(250);
    const bool panelThen = w->PicBox->isVisible();
    const QRect panelAt = w->PicBox->geometry();
    const int barThen = w->Shbar->width();
    shown.set_value();
    ASSERT_TRUE(drawn);
    ASSERT_TRUE(settled());
    EXPECT_TRUE(panelThen);
    EXPECT_GT(panelAt.top(), w->PicDraw->geometry().center().y());
    EXPECT_LE(panelAt.bottom(), w->PicDraw->geometry().bottom());
    EXPECT_GT(barThen, 1);
    EXPECT_FALSE(w->PicBox->isVisible());
    EXPECT_FALSE(outThen.contains(QStringLiteral("b06.png")));
    EXPECT_EQ(listThen, (QStringList{"b01.png", "b02.png", "b03.png", "b04.png", "b05.png", "b06.png"}))
        << "the whole sorted page list while its files still come";
    EXPECT_EQ(w->composer.shownPages().front().entry, 0);
    EXPECT_EQ(tmpZip(), listThen);
    // The pages that came later are there to turn to.
    w->Go_Next();
    EXPECT_EQ(w->session.step(), 1);
    EXPECT_FALSE(w->awaitingPage());
}

// The next volume chosen before the last pages of this one are out is loaded once they are.
TEST_F(BackgroundLoad, AVolumeChosenWhileTheVolumeStillComesOutFollowsIt)
{
    auto files = pages(QStringLiteral("p"), {1, 2, 3}, QStringLiteral("vol1/"));
    for (auto &f : pages(QStringLiteral("q"), {1, 2}, QStringLiteral("vol2/")))
        files.push_back(f);
    std::promise<void> chosen;
    std::shared_future<void> go = chosen.get_future().share();
    w->session.loader().setWorkerHook([go](int member, int) {
        if (member == 3)
            go.wait_for(std::chrono::seconds(20));
    });
    open(tar(QStringLiteral("two.cbt"), files));
    ASSERT_TRUE(QTest::qWaitFor([this] { return w->session.volumeCount() == 2; }, 20000));
    w->session.selectVolume(1);
    const int volumeThen = w->session.volumeIndex();
    chosen.set_value();
    ASSERT_TRUE(settled());
    w->session.loader().setWorkerHook({});
    ASSERT_TRUE(settled());
    EXPECT_EQ(volumeThen, 0) << "the volume list names the pages in view";
    EXPECT_EQ(w->session.volumeIndex(), 1);
    EXPECT_EQ(w->session.List1().items(), (QStringList{"q01.png", "q02.png"}));
}

// The worker has ended but its end is not yet handled when the reader gives up:
// the book is whole, and it stays.
TEST_F(BackgroundLoad, GivingUpAfterTheWorkerEndedKeepsTheBookItLoaded)
{
    openBookA();
    const QString b = tar(QStringLiteral("b.cbt"), pages(QStringLiteral("b"), {1, 2, 3}));
    open(b);
    w->session.loader().join();
    w->session.cancelLoad();
    ASSERT_TRUE(settled());
    EXPECT_FALSE(w->session.loadGivenUp());
    EXPECT_EQ(app->OpenPath, b);
    EXPECT_EQ(w->session.step(), 0);
    EXPECT_EQ(tmpZip(), (QStringList{"b01.png", "b02.png", "b03.png"}));
}

} // namespace

namespace {
TEST_F(BackgroundLoad, EscapeInTheFullScreenGivesAVolumeSwitchUpAndKeepsThePageBefore)
{
    auto files = pages(QStringLiteral("p"), {1, 2, 3}, QStringLiteral("vol1/"));
    for (auto &f : pages(QStringLiteral("q"), {1, 2, 3, 4, 5, 6}, QStringLiteral("vol2/")))
        files.push_back(f);
    open(tar(QStringLiteral("two.cbt"), files));
    ASSERT_TRUE(settled());
    w->session.goToStep(2, TurnDirection::RightOver, false);
    app->IsFullScreen = true;
    Frm_FullScreen fs(*w);
    fs.resize(800, 619);
    fs.Form_Resize();
    fs.show();
    std::promise<void> pressed;
    std::shared_future<void> go = pressed.get_future().share();
    w->session.loader().setWorkerHook([go](int member, int) {
        if (member == 6)
            go.wait_for(std::chrono::seconds(20));
    });
    w->session.selectVolume(1);
    // The new volume's first page shows in the full screen while the rest comes out.
    const bool drawn = QTest::qWaitFor(
        [this] { return !w->composer.shownPages().empty() && w->composer.shownPages().front().file.endsWith("q01.png"); },
        5000);
    const bool panelAside = fs.PicBox->isVisible() && fs.PicBox->y() > fs.PicDraw->geometry().center().y();
    QTest::keyClick(&fs, Qt::Key_Escape);
    pressed.set_value();
    ASSERT_TRUE(settled());
    w->session.loader().setWorkerHook({});
    ASSERT_TRUE(settled());
    EXPECT_EQ(w->session.volumeIndex(), 0);
    EXPECT_EQ(w->session.step(), 2);
    EXPECT_EQ(w->session.pageCount(), 3);
    EXPECT_EQ(tmpZip(), w->session.List1().items());
    EXPECT_TRUE(drawn);
    EXPECT_TRUE(panelAside);
    EXPECT_TRUE(fs.isVisible()) << "the way out gave the load up; the window stays";
    app->IsFullScreen = false;
}
} // namespace
