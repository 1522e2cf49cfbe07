#include "CaseName.h"
#include "WithCases.h"
#include "FileTree.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "ZipWriter.h"
#include "core/ExportFolderFile.h"
#include "core/PageExport.h"
#include "dialogs/Frm_Folder.h"
#include "platform/SkinButton.h"
#include "views/Frm_FullScreen.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>

namespace {

// ---------------------------------------------------------------- names

struct NameCase
{
    const char *what;
    const char *existing; // names in the export folder, ";"-separated; a trailing "/" makes a folder
    const char *page;
    const char *expected;
};

using ExportName = ::testing::TestWithParam<NameCase>;

TEST_P(ExportName, TakesTheSmallestFreeNumberOfTheExtension)
{
    QTemporaryDir folder;
    for (const QString &name : QString::fromUtf8(GetParam().existing).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (name.endsWith(QLatin1Char('/')))
            QDir(folder.path()).mkdir(name.chopped(1));
        else
            writeFile(folder.path() + QLatin1Char('/') + name);
    }
    EXPECT_EQ(PageExport::exportNameFor(folder.path(), QString::fromUtf8(GetParam().page)),
              folder.path() + QLatin1Char('/') + QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportName,
    ::testing::Values(NameCase{"FirstGap", "Ox0001.jpg;Ox0003.jpg", "/book/p.jpg", "Ox0002.jpg"},
                      NameCase{"OtherExtension", "Ox0001.jpg;Ox0003.jpg", "/book/p.png", "Ox0001.png"},
                      NameCase{"ExtensionKeepsItsCase", "", "/book/Page.JPG", "Ox0001.JPG"},
                      NameCase{"FolderTakesTheNumber", "Ox0001.jpg/", "/book/v.1/p.jpg", "Ox0002.jpg"},
                      // Without an extension the page is numbered too, never copied under its bare name.
                      NameCase{"NoExtension", "Ox0001", "/book/cover", "Ox0002"}),
    CaseName());

// Writing is checked through the folder chooser below.
TEST(ExportFolderFileTest, ReadsTheFirstLineWhateverEndsItAndWritesNowhereMissing)
{
    QTemporaryDir dir;
    const QString ini = dir.path() + QStringLiteral("/imgviewer.ini");
    EXPECT_FALSE(ExportFolderFile::write(dir.path() + QStringLiteral("/missing/imgviewer.ini"), QStringLiteral("/x")));
    EXPECT_EQ(ExportFolderFile::read(ini), QString());
    ASSERT_TRUE(writeFile(ini, "/내 만화\r\nsecond line\r\n"));
    EXPECT_EQ(ExportFolderFile::read(ini), QStringLiteral("/내 만화"));
    ASSERT_TRUE(writeFile(ini, "/unix/ended\nnext"));
    EXPECT_EQ(ExportFolderFile::read(ini), QStringLiteral("/unix/ended"));
}

// ---------------------------------------------------------------- the command

enum class Source { PlainFolder, ZipArchive, ArchiveInFolder };
void PrintTo(Source s, std::ostream *os)
{
    *os << (s == Source::PlainFolder ? "PlainFolder" : s == Source::ZipArchive ? "ZipArchive" : "ArchiveInFolder");
}

class Export : public ViewerFixture
{
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        exportTo = makeFolder(QStringLiteral("exported"));
        w->chooseExportFolder = [this] { ++folderDialogs; };
    }
    // A book of three pages in its own colour, opened from `source`, at page 2.
    void openBook(Source source)
    {
        const Files pages = {{QStringLiteral("p1.png"), TestImages::encoded(24, 32, Qt::red)},
                             {QStringLiteral("p2.png"), TestImages::encoded(24, 32, Qt::green)},
                             {QStringLiteral("p3.png"), TestImages::encoded(24, 32, Qt::blue)}};
        page2 = pages[1].second;
        page3 = pages[2].second;
        const QString root = makeFolder(QStringLiteral("book"));
        if (source == Source::ZipArchive) {
            startUp(makeZip(root + QStringLiteral("/volume.zip"), pages));
        } else {
            if (source == Source::PlainFolder) {
                for (const auto &[name, data] : pages)
                    ASSERT_TRUE(writeFile(root + QLatin1Char('/') + name, data));
            } else {
                makeZip(root + QStringLiteral("/volume.zip"), pages);
            }
            startUp();
            openFolder(root);
        }
        ASSERT_EQ(w->List1().ListCount(), 3);
        w->chkeffect->setChecked(false);
        w->session.goToStep(1, TurnDirection::RightOver, false);
        app->ExportFolder = exportTo;
        prompts.shown.clear();
    }
    QStringList exported() const { return QDir(exportTo).entryList(QDir::Files | QDir::NoDotAndDotDot); }

    QString exportTo;
    QByteArray page2, page3;
    int folderDialogs = 0;
};

using ExportFrom = WithCases<Export, Source>;

TEST_P(ExportFrom, CopiesThePageShownAndSaysWhere)
{
    openBook(GetParam());
    w->cmdfile_MouseDown(Qt::LeftButton);
    w->cmdfile_MouseDown(Qt::LeftButton);
    EXPECT_EQ(exported(), QStringList({QStringLiteral("Ox0001.png"), QStringLiteral("Ox0002.png")}));
    EXPECT_EQ(readFile(exportTo + QStringLiteral("/Ox0001.png")), page2);
    ASSERT_EQ(prompts.count(QStringLiteral("message")), 2);
    EXPECT_EQ(prompts.last()->title, QStringLiteral("파일복사 성공"));
    EXPECT_EQ(prompts.last()->text,
              QStringLiteral("현재 페이지를 ") + exportTo + QStringLiteral("/Ox0002.png 파일로 복사하였습니다."));
    EXPECT_TRUE(w->cmdfile->imageFile().endsWith(QStringLiteral("/b_fileout.bmp")));
}

INSTANTIATE_TEST_SUITE_P(Sources, ExportFrom,
                         ::testing::Values(Source::PlainFolder, Source::ZipArchive, Source::ArchiveInFolder), CaseName());

TEST_F(Export, TheFullScreenMenuExportsItsOwnPage)
{
    openBook(Source::ArchiveInFolder);
    app->IsFullScreen = true;
    {
        Frm_FullScreen full(*w);
        w->session.goToStep(1, TurnDirection::RightOver, false);
        full.Form_KeyDown(Qt::Key_Right); // the full-screen window draws (and extracts) its page
        ASSERT_EQ(w->session.step(), 2);
        full.mnuExport->trigger();
        full.mnuSelFolder->trigger();
    }
    EXPECT_EQ(exported(), QStringList({QStringLiteral("Ox0001.png")}));
    EXPECT_EQ(readFile(exportTo + QStringLiteral("/Ox0001.png")), page3);
    EXPECT_EQ(folderDialogs, 1);
}

// In two-page view neither the key nor the button exports; the key, in either
// window, says that export takes one page.
TEST_F(Export, CtrlSExportsLikeTheButtonAndInTwoPageViewSaysWhyNot)
{
    openBook(Source::PlainFolder);
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(exported(), QStringList({QStringLiteral("Ox0001.png")}));
    ASSERT_EQ(prompts.count(QStringLiteral("message")), 1);
    w->chk_view->setChecked(true);
    w->cmdfile_MouseDown(Qt::LeftButton);
    EXPECT_EQ(prompts.count(QStringLiteral("message")), 1);
    QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(prompts.count(QStringLiteral("message")), 2);
    EXPECT_EQ(prompts.last()->text, QStringLiteral("내보내기는 1장보기에서만 할 수 있습니다."));
    app->IsFullScreen = true;
    {
        Frm_FullScreen full(*w);
        QTest::keyClick(&full, Qt::Key_S, Qt::ControlModifier);
    }
    ASSERT_EQ(prompts.count(QStringLiteral("message")), 3);
    EXPECT_EQ(prompts.last()->text, app->lang.Msg_ExportOnePage);
    EXPECT_EQ(exported().size(), 1);
}

TEST_F(Export, WithoutAFolderAsksForOneAndOpensTheChooser)
{
    openBook(Source::PlainFolder);
    app->ExportFolder = exportTo + QStringLiteral("/gone");
    w->cmdfile_MouseDown(Qt::LeftButton);
    ASSERT_EQ(prompts.count(QStringLiteral("message")), 1);
    EXPECT_EQ(prompts.last()->text, QStringLiteral("내보낼 파일이 저장될 폴더 위치를 지정하세요."));
    EXPECT_EQ(folderDialogs, 1);
    EXPECT_TRUE(exported().isEmpty());
}

using FailedCopy = WithCases<Export, std::pair<const char *, bool>>;

// The page's file gone (its extraction failed), or a folder nobody may write in
// (even a superuser cannot create files under /proc).
TEST_P(FailedCopy, IsReportedAndLeavesNothing)
{
    openBook(Source::ZipArchive);
    const bool unwritable = GetParam().second;
    if (unwritable) {
        exportTo = QStringLiteral("/proc/self");
        if (!QFileInfo(exportTo).isDir())
            GTEST_SKIP() << "no /proc on this system";
        app->ExportFolder = exportTo;
    } else {
        ASSERT_TRUE(QFile::remove(w->Page_Path(1)));
    }
    w->cmdfile_MouseDown(Qt::LeftButton);
    EXPECT_FALSE(QFileInfo::exists(exportTo + QStringLiteral("/Ox0001.png")));
    ASSERT_EQ(prompts.count(QStringLiteral("message")), 1);
    EXPECT_EQ(prompts.last()->icon, MsgIcon::Exclamation);
    EXPECT_TRUE(prompts.last()->text.startsWith(QStringLiteral("현재 페이지를 ") + exportTo +
                                                QStringLiteral("/Ox0001.png 파일로 복사하지 못했습니다.")));
}

INSTANTIATE_TEST_SUITE_P(Causes, FailedCopy,
                         ::testing::Values(std::pair("PageGone", false), std::pair("FolderUnwritable", true)), CaseName());

TEST_F(Export, PastTheLastNumberNothingIsOverwritten)
{
    openBook(Source::PlainFolder);
    for (int n = 1; n <= PageExport::kMaxExportNumber; ++n)
        writeFile(exportTo + QStringLiteral("/Ox%1.png").arg(n, 4, 10, QLatin1Char('0')));
    w->cmdfile_MouseDown(Qt::LeftButton);
    EXPECT_EQ(exported().size(), PageExport::kMaxExportNumber);
    EXPECT_TRUE(readFile(exportTo + QStringLiteral("/Ox0001.png")).isEmpty());
    ASSERT_EQ(prompts.count(QStringLiteral("message")), 1);
    EXPECT_EQ(prompts.last()->icon, MsgIcon::Exclamation);
}

// ---------------------------------------------------------------- the folder chooser

TEST_F(Export, FolderChooserOkWritesExactlyOneLine)
{
    startUp();
    const QString first = makeFolder(QStringLiteral("first"));
    const QString second = makeFolder(QStringLiteral("second/내보내기"));
    // Longer than the new line: what is left of it past the new one must go too.
    ASSERT_TRUE(writeFile(app->paths.exportFolderFile(),
                          "/left/over/from/another/run/in/a/folder/far/deeper/than/any/temporary/one/" + QByteArray(200, 'x') + "\r\nand a second line\r\n"));
    app->ExportFolder = first;

    Frm_Folder chooser(*app);
    EXPECT_EQ(chooser.currentPath(), first);
    EXPECT_EQ(chooser.lblfolder->text(), first);
    chooser.openAt(second);
    chooser.cmdFolder_Click();
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    EXPECT_EQ(app->ExportFolder, second);
    EXPECT_EQ(readFile(app->paths.exportFolderFile()), (second + QStringLiteral("\r\n")).toUtf8());
    EXPECT_EQ(prompts.count(QStringLiteral("message")), 0);
}

TEST_F(Export, FolderChooserForgetsAFolderThatWentAway)
{
    startUp();
    app->ExportFolder = books.path() + QStringLiteral("/gone");
    Frm_Folder chooser(*app);
    EXPECT_TRUE(app->ExportFolder.isEmpty());
    ASSERT_EQ(prompts.count(QStringLiteral("message")), 1);
    EXPECT_EQ(prompts.last()->text, QStringLiteral("지정한 위치에 해당폴더가 존재하지 않습니다"));
    EXPECT_TRUE(QFileInfo(chooser.currentPath()).isDir());
    chooser.CmdCancel_Click();
    EXPECT_FALSE(QFileInfo::exists(app->paths.exportFolderFile()));
}

TEST_F(Export, FolderChooserMakesANewFolderOneLevelDeep)
{
    startUp();
    const QString base = makeFolder(QStringLiteral("base"));
    app->ExportFolder = base;
    Frm_Folder chooser(*app);
    prompts.inputAnswers = {QStringLiteral("a/b"), QStringLiteral(".."), QStringLiteral("새 폴더")};
    chooser.cmdnewfolder_Click();
    chooser.cmdnewfolder_Click();
    EXPECT_EQ(chooser.currentPath(), base);
    EXPECT_EQ(prompts.count(QStringLiteral("message")), 2);
    chooser.cmdnewfolder_Click();
    EXPECT_EQ(chooser.currentPath(), base + QStringLiteral("/새 폴더"));
    EXPECT_TRUE(QFileInfo(base + QStringLiteral("/새 폴더")).isDir());
    EXPECT_FALSE(QFileInfo::exists(base + QStringLiteral("/a")));
    EXPECT_EQ(prompts.shown.front().text, QStringLiteral("새폴더 이름을 입력하세요"));
}

} // namespace
