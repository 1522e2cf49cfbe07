#include "CaseName.h"
#include "FileTree.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "SolidArchiveWriter.h"
#include "ZipWriter.h"
#include "platform/QtTranslations.h"
#include "core/ResumeRecord.h"
#include "platform/Canvas.h"
#include "platform/SkinButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace {
class Startup : public ViewerFixture
{
protected:
    // A folder with top-level pages and two sub-folder volumes.
    QString makeBook(int topPages = 2, int subPages = 5)
    {
        const QString root = TestImages::writePages(makeFolder(QStringLiteral("book")), topPages, 40, 30, QStringLiteral("top"));
        TestImages::writePages(root + QStringLiteral("/v1"), subPages, 40, 30);
        TestImages::writePages(root + QStringLiteral("/v2"), subPages, 40, 30);
        return root;
    }
    void writeResume(const ResumeRecord &r) { ASSERT_TRUE(r.writeTo(dataPath(ResumeRecord::fileName()))); }
};
} // namespace

TEST_F(Startup, WithoutArgumentsOrResumeFileShowsTipAndGreyButtons)
{
    startUp();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(w->PicTipOut->isHidden());
    EXPECT_FALSE(w->cmdnext->isEnabled());
    EXPECT_FALSE(w->cmdprev->isEnabled());
    EXPECT_TRUE(w->cmdnext->imageFile().endsWith("b_next_grey.bmp"));
    EXPECT_EQ(w->lblpage->text(), QStringLiteral("/0"));
    EXPECT_TRUE(w->txtpage->text().isEmpty());
    EXPECT_EQ(QColor(w->PicDraw->surface().pixel(10, 10)), QColor(Qt::black));
    EXPECT_TRUE(w->PicBox->isHidden());
    EXPECT_FALSE(w->PicDraw->isHidden());
    EXPECT_TRUE(QFileInfo(dataPath("TmpZip")).isDir());
}

TEST_F(Startup, ResumeQuestionYesRestoresBookVolumePageAndOptionsAndTheStoredSpread)
{
    const QString book = makeBook();
    ResumeRecord r;
    r.path = book;
    r.volumeIndex = 1; // "v1/"
    r.viewMode = 1;
    r.pagePosition = 3;
    r.hundred = 1;
    r.effect = 0;
    r.sharpen = 1;
    r.rightToLeft = true;
    writeResume(r);
    prompts.messageAnswers = {MsgResult::Yes};
    startUp();
    ASSERT_EQ(prompts.count("message"), 1);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("기존파일읽기"));
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("기존에 있던 파일을 계속 읽으시겠습니까?"));
    EXPECT_EQ(prompts.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(w->cb_list->currentText(), QStringLiteral("v1/"));
    EXPECT_EQ(w->session.step(), 3);
    EXPECT_EQ(w->txtpage->text(), QStringLiteral("4"));
    EXPECT_TRUE(w->Chk_hundred->isChecked());
    EXPECT_FALSE(w->chkeffect->isChecked());
    EXPECT_TRUE(w->Chk_Sharpen->isChecked());
    EXPECT_TRUE(w->chk_japan->isChecked());
    EXPECT_EQ(app->LastFolder, book);
    EXPECT_TRUE(w->PicTipOut->isHidden());

    newRun();
    r.volumeIndex = 2; // "v2/", 5 pages -> 3 spreads
    r.viewMode = 2;
    r.pagePosition = 2;
    writeResume(r);
    prompts.messageAnswers = {MsgResult::Yes};
    startUp();
    EXPECT_EQ(int(w->session.viewMode()), 2);
    EXPECT_TRUE(w->chk_view->isChecked());
    EXPECT_EQ(w->session.step(), 2);
    EXPECT_EQ(w->lblpage->text(), QStringLiteral("/3"));
}

TEST_F(Startup, A7zOrTarBookOpensFromTheCommandLineAndResumesTheSameWay)
{
    for (const auto &[ext, kind] : {std::pair{".cb7", ArchiveKind::SevenZip}, std::pair{".cbt", ArchiveKind::Tar}}) {
        const QString book = writeArchive(books.path() + "/book" + ext, {{"Book/p2.jpg", "2"}, {"Book/p1.jpg", "1"}, {"Book/p3.jpg", "3"}});
        ASSERT_FALSE(book.isEmpty());
        newRun();
        startUp(book);
        EXPECT_EQ(app->ArchiveKind, kind);
        EXPECT_EQ(w->List1().items(), (QStringList{"p1.jpg", "p2.jpg", "p3.jpg"})) << ext;
        w->session.goToStep(1, TurnDirection::RightOver, false);
        w->Form_Unload();
        const std::optional<ResumeRecord> r = ResumeRecord::readFrom(dataPath(ResumeRecord::fileName()));
        ASSERT_TRUE(r);
        EXPECT_EQ(r->archiveKind, kind);
        newRun();
        prompts.messageAnswers = {MsgResult::Yes};
        startUp();
        EXPECT_EQ(w->List1().ListCount(), 3) << ext;
        EXPECT_EQ(w->session.step(), 1);
    }
}

// What start-up makes of a resume record it cannot simply follow.
struct ResumeCase
{
    const char *what;
    const char *record; // "book", "gone" (a book no longer there), else the file's bytes
    qint32 volume;
    qint16 page;
    bool yes;      // the answer to the resume question
    int questions; // resume questions asked
    int pages;     // pages listed afterwards
    int volumeAfter, pageAfter;
    bool kept;     // the record is still there
    bool logged;   // something went to the error log
};
using ResumeCases = WithCases<Startup, ResumeCase>;

TEST_P(ResumeCases, EndInAUsableWindow)
{
    const ResumeCase c = GetParam();
    const QByteArray record(c.record);
    if (record == "book" || record == "gone") {
        ResumeRecord r;
        r.path = record == "book" ? makeBook() : books.path() + "/gone";
        r.volumeIndex = c.volume;
        r.pagePosition = c.page;
        writeResume(r);
    } else {
        ASSERT_TRUE(writeFile(dataPath(ResumeRecord::fileName()), record));
    }
    if (c.yes)
        prompts.messageAnswers = {MsgResult::Yes};
    startUp();
    EXPECT_EQ(prompts.count("message"), c.questions);
    EXPECT_EQ(w->List1().ListCount(), c.pages);
    if (c.pages) {
        EXPECT_EQ(w->cb_list->currentIndex(), c.volumeAfter);
        EXPECT_EQ(w->session.step(), c.pageAfter);
    }
    EXPECT_EQ(QFile::exists(dataPath(ResumeRecord::fileName())), c.kept);
    EXPECT_EQ(!app->ErrorLog.isEmpty(), c.logged) << qPrintable(app->ErrorLog);
    if (c.pages || !c.questions) {
        EXPECT_EQ(w->PicTipOut->isHidden(), c.pages > 0);
    }
    EXPECT_TRUE(w->PicBox->isHidden());
    EXPECT_FALSE(w->PicDraw->isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Records, ResumeCases,
    ::testing::Values(ResumeCase{"NoOpensNothingAndAsksAgainNextTime", "book", 0, 0, false, 1, 0, 0, 0, true, false},
                      // the book has fewer volumes and pages than when it was left
                      ResumeCase{"OutOfRangeFallsBackToTheFirst", "book", 9, 40, true, 1, 2, 0, 1, true, false},
                      ResumeCase{"DamagedIsLogged", "short", 0, 0, true, 1, 0, 0, 0, true, true},
                      ResumeCase{"GoneIsDroppedWithoutAQuestion", "gone", 0, 0, true, 0, 0, 0, 0, false, false}),
    CaseName());

TEST_F(Startup, CommandLine)
{
    const QString book = makeBook();
    // A folder path opens that folder with its sub-folders, and asks nothing.
    ResumeRecord r;
    r.path = book;
    writeResume(r);
    startUp(QStringLiteral("  \"") + book + QStringLiteral("/\"  "));
    EXPECT_EQ(w->cb_list->count(), 3);
    EXPECT_EQ(app->OpenPath, book);
    EXPECT_TRUE(prompts.shown.empty());

    // An image file opens its folder without sub-folders, at that image; the
    // pending state ends there, so a folder opened later has its sub-folders.
    newRun();
    startUp(QLatin1Char('"') + book + QStringLiteral("/top2.png\""));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(w->cb_list->count(), 1);
    EXPECT_EQ(w->cb_list->currentText(), QStringLiteral("book")); // the book's name, not "/"
    EXPECT_EQ(w->session.step(), 1);
    openFolder(book);
    EXPECT_EQ(w->cb_list->count(), 3);

    // A file whose folder holds no page leaves nothing pending either.
    const QString bare = makeFolder("bare");
    ASSERT_TRUE(writeFile(bare + "/notes.txt", "no page"));
    newRun();
    startUp(bare + "/notes.txt");
    EXPECT_TRUE(w->Cmd_Folder.isEmpty() && w->Cmd_File.isEmpty());
    openFolder(book);
    EXPECT_EQ(w->cb_list->count(), 3);
}

struct UnopenedCase
{
    const char *name;    // written under the books folder ("" : nothing written)
    QByteArray content;
    const char *message; // the message's second line
};

using UnopenedBook = WithCases<Startup, UnopenedCase>;

TEST_P(UnopenedBook, IsToldInTheProgramsLanguage)
{
    const QString path = books.path() + "/" + GetParam().name;
    if (!GetParam().content.isNull()) {
        ASSERT_TRUE(writeFile(path, GetParam().content));
    }
    startUp(path);
    ASSERT_EQ(prompts.count("message"), 1);
    EXPECT_EQ(prompts.shown[0].text, path + "\n" + QString::fromUtf8(GetParam().message));
    EXPECT_FALSE(w->PicTipOut->isHidden());
    EXPECT_TRUE(w->Cmd_File.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnopenedBook,
    ::testing::Values(UnopenedCase{"gone.cbz", QByteArray(), "파일이나 폴더가 없습니다."},
                      // An empty ZIP is only its 22-byte end record.
                      UnopenedCase{"empty.cbz", QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'),
                                   "볼 수 있는 이미지가 없습니다."},
                      UnopenedCase{"text.cbz", "plain text", "ZIP 압축파일이 아니거나 손상된 파일입니다."},
                      UnopenedCase{"text.cbr", "plain text", "RAR 압축파일이 아니거나 손상된 파일입니다."}), CaseName());

TEST_F(Startup, QtsOwnDialogTextsFollowTheProgramsLanguage)
{
    startUp();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("취소"));
    newRun();
    app->lang.Lang_Mode = 1;
    startUp();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
    QtTranslations::apply(true);
}

TEST_F(Startup, ClosingOnAVolumeWithoutPagesStillRecordsTheBook)
{
    const QString lib = makeFolder("lib");
    {
        ZipWriter z(lib + "/a.zip");
        z.addFile("notes/readme.txt", "no page");
    }
    startUp();
    openFolder(lib);
    ASSERT_EQ(w->cb_list->count(), 1);
    ASSERT_TRUE(w->cb_list->currentText().startsWith(QString::fromUtf8("ⓧ")));
    w->Form_Unload();
    const auto rec = ResumeRecord::readFrom(dataPath(ResumeRecord::fileName()));
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->path, lib);
}

TEST_F(Startup, TheInitialOpenFollowsTheFirstPaintWithoutWaitingForTheTimer)
{
    const QString book = makeBook();
    ASSERT_TRUE(w->Form_Load(book + QStringLiteral("/top2.png")));
    // Only the paint can open now.
    w->Tmr_Load.timer.setInterval(3600 * 1000);
    w->show();
    QElapsedTimer waited;
    waited.start();
    while (w->session.step() != 1 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(w->session.step(), 1);
    EXPECT_EQ(w->Tmr_Load.Tag, QStringLiteral("exe"));
    // The timer coming later opens nothing a second time.
    w->session.goToStep(0, TurnDirection::RightOver, false);
    w->Tmr_Load_Timer();
    EXPECT_EQ(w->session.step(), 0);
}

TEST_F(Startup, SecondInstanceEndsDuringLoad)
{
    // The real check: two windows of one program folder, the second ends silently.
    Frm_ImgViewer first(*app), second(*app);
    first.endProcess = second.endProcess = [] {};
    ASSERT_TRUE(first.Form_Load(QString()));
    EXPECT_TRUE(QFileInfo(dataPath("TmpZip")).isDir());
    QDir(dataPath("TmpZip")).removeRecursively();
    EXPECT_FALSE(second.Form_Load(QString()));
    EXPECT_FALSE(QFileInfo::exists(dataPath("TmpZip")));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(Startup, ShutdownWritesTheResumeRecordUnlessReadingIsFinished)
{
    const QString book = makeBook();
    startUp();
    openFolder(book);
    w->selectVolume(1);
    w->session.goToStep(2, TurnDirection::RightOver, false);
    w->Form_Unload();
    EXPECT_EQ(endCalls, 1);
    auto rec = ResumeRecord::readFrom(dataPath(ResumeRecord::fileName()));
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->path, book);
    EXPECT_EQ(rec->volumeIndex, 1);
    EXPECT_EQ(rec->pagePosition, 2);
    EXPECT_EQ(rec->effect, 1);

    // Last page of the last volume, in two-page mode with 5 pages: spread 2 is the end.
    newRun();
    startUp();
    openFolder(book);
    w->selectVolume(2);
    w->chk_view->setChecked(true);
    w->session.goToStep(2, TurnDirection::RightOver, false);
    ASSERT_TRUE(writeFile(dataPath("imgviewer_info.txt")));
    w->Form_Unload();
    EXPECT_FALSE(QFile::exists(dataPath(ResumeRecord::fileName())));
    EXPECT_FALSE(QFile::exists(dataPath("imgviewer_info.txt")));
}

TEST_F(Startup, ShutdownEmptiesTmpZipAndWritesTheErrorLogOnlyWhenNeeded)
{
    startUp();
    TestImages::write(dataPath("TmpZip/left.png"), 4, 4);
    ASSERT_TRUE(writeFile(dataPath("ErrorMsg.txt"), "earlier"));
    w->Form_Unload();
    EXPECT_TRUE(QDir(dataPath("TmpZip")).isEmpty());
    EXPECT_TRUE(QFileInfo(dataPath("TmpZip")).isDir());
    EXPECT_EQ(readFile(dataPath("ErrorMsg.txt")), QByteArray("earlier"));
    EXPECT_FALSE(QFile::exists(dataPath(ResumeRecord::fileName()))); // no pages, no record

    newRun();
    startUp();
    app->logError(QStringLiteral("first problem"));
    app->logError(QStringLiteral("second"));
    w->Form_Unload();
    const QString text = QString::fromUtf8(readFile(dataPath("ErrorMsg.txt")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("   \r\nfirst problem\r\nsecond\r\n"))) << qPrintable(text);
    EXPECT_FALSE(text.startsWith(QStringLiteral("   ")));
}

TEST_F(Startup, WithoutControlLibrariesTheWindowStillStartsAndLists)
{
    app->controls = nullptr;
    auto bare = std::make_unique<Frm_ImgViewer>(*app);
    w = bare.get();
    w->anotherInstanceRunning = [] { return false; };
    w->endProcess = [] {};
    EXPECT_EQ(w->ImgPicture1, nullptr);
    startUp();
    openFolder(makeBook(2, 0));
    EXPECT_EQ(w->List1().ListCount(), 2);
    w->Go_Next();
    EXPECT_EQ(w->session.step(), 1);
}

TEST_F(Startup, AnArchiveOfNeitherKindLeavesTheOpenBook)
{
    startUp();
    openFolder(makeBook(3, 0));
    app->IsArchive = true;
    app->ArchiveKind = ArchiveKind::None;
    app->OpenPath.clear();
    w->Open_Source();
    EXPECT_EQ(w->List1().ListCount(), 3);
}
