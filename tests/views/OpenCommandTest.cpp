#include "ViewsFixture.h"
#include "ZipWriter.h"
#include "dialogs/Frm_Open.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

namespace {

class OpenCommand : public ViewsFixture
{
protected:
    // The real chooser, pressed `presses` times (the scripted dialogs answer each
    // press); returns whether it closed with a choice, as a modal run would.
    void chooserPresses(bool folder, int presses)
    {
        w->runOpenChooser = [this, folder, presses] {
            Frm_Open chooser(*app, w.get());
            if (folder)
                chooser.Opt_Folder->setChecked(true);
            for (int i = 0; i < presses && chooser.result() != QDialog::Accepted; ++i) {
                chooser.cmdopen_MouseDown(Qt::LeftButton);
                stillOpenAfter.push_back(chooser.result() != QDialog::Accepted);
            }
            imageDuring = w->cmdopen->imageFile();
            return chooser.result() == QDialog::Accepted;
        };
    }

    QString zipOfPages(const QString &name, int n)
    {
        const QString png = books.path() + QStringLiteral("/one.png");
        TestImages::write(png, 30, 40, Qt::blue);
        QFile f(png);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QString path = books.path() + QLatin1Char('/') + name;
        ZipWriter zip(path);
        for (int i = 1; i <= n; ++i)
            zip.addFile(QStringLiteral("p%1.png").arg(i), bytes);
        EXPECT_TRUE(zip.close());
        return path;
    }

    void clickOpen()
    {
        w->cmdopen->press(Qt::LeftButton);
        w->cmdopen->release(Qt::LeftButton);
    }

    std::vector<bool> stillOpenAfter;
};

TEST_F(OpenCommand, UpperCaseZipOpensAsAZipArchive)
{
    startUp();
    ASSERT_FALSE(w->PicTipOut->isHidden());
    prompts.fileAnswers = {zipOfPages(QStringLiteral("comic.ZIP"), 3)};
    chooserPresses(false, 1);
    clickOpen();

    EXPECT_TRUE(app->IsArchive);
    EXPECT_EQ(app->ArchiveKind, 0);
    EXPECT_EQ(w->List1().ListCount(), 3);
    EXPECT_EQ(w->txtpage->text(), QStringLiteral("1"));
    EXPECT_EQ(w->cmdnext->imageFile(), skin("b_next.bmp"));
    EXPECT_TRUE(w->cmdnext->isEnabled());
    EXPECT_TRUE(w->PicTipOut->isHidden());
    EXPECT_TRUE(w->PicBox->isHidden());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(imageDuring, skin("b_open_down.bmp"));
    EXPECT_EQ(w->cmdopen->imageFile(), skin("b_open.bmp"));
    // A chosen archive is not a folder to start browsing from.
    EXPECT_TRUE(app->LastFolder.isEmpty());
}

TEST_F(OpenCommand, FileThatIsNeitherZipNorRarOpensNothing)
{
    startUp();
    const QString noDot = books.path() + QStringLiteral("/comic");
    TestImages::write(noDot + QStringLiteral(".png"), 10, 10);
    QFile::rename(noDot + QStringLiteral(".png"), noDot);
    prompts.fileAnswers = {noDot};
    chooserPresses(false, 1);
    clickOpen();
    EXPECT_TRUE(app->OpenPath.isEmpty());
    EXPECT_EQ(app->ArchiveKind, -1);
    EXPECT_EQ(w->List1().ListCount(), 0);
    EXPECT_EQ(w->cmdnext->imageFile(), skin("b_next_grey.bmp"));
    // No source: the tips stay where they were.
    EXPECT_FALSE(w->PicTipOut->isHidden());
    EXPECT_TRUE(w->isEnabled());

    // With a book open, that book stays as it was.
    openFolder(pagesFolder(QStringLiteral("b"), 4));
    w->Page_Index = 2;
    w->Page_Draw(2, 0);
    prompts.fileAnswers = {books.path() + QStringLiteral("/notes.txt")};
    clickOpen();
    EXPECT_TRUE(app->OpenPath.isEmpty());
    EXPECT_EQ(w->List1().ListCount(), 4);
    EXPECT_EQ(w->Page_Index, 2);
    EXPECT_EQ(w->cmdnext->imageFile(), skin("b_next.bmp"));
}

TEST_F(OpenCommand, CancelKeepsTheChooserOpenAndAChooserClosedWithoutAChoiceChangesNothing)
{
    startWithPages(3);
    const QString open = app->OpenPath;
    w->Page_Index = 1;
    w->Page_Draw(1, 0);

    // Two cancelled dialogs; then the reader closes the chooser.
    chooserPresses(false, 2);
    clickOpen();
    EXPECT_EQ(stillOpenAfter, (std::vector<bool>{true, true}));
    EXPECT_EQ(prompts.count("openFile"), 2);
    EXPECT_TRUE(app->OpenConfirmed);
    EXPECT_EQ(app->OpenPath, open);
    EXPECT_EQ(w->Page_Index, 1);
    EXPECT_EQ(w->txtpage->text(), QStringLiteral("2"));
    EXPECT_TRUE(w->isEnabled());

    // A cancel, then a choice on the second try.
    prompts.fileAnswers = {QString(), zipOfPages(QStringLiteral("two.zip"), 2)};
    stillOpenAfter.clear();
    chooserPresses(false, 3);
    clickOpen();
    EXPECT_EQ(stillOpenAfter, (std::vector<bool>{true, false}));
    EXPECT_EQ(w->List1().ListCount(), 2);
    EXPECT_EQ(w->Page_Index, 0);
}

TEST_F(OpenCommand, FolderChoiceSetsLastFolderAndOpensTheFolder)
{
    startUp();
    const QString folder = pagesFolder(QStringLiteral("pictures"), 5);
    prompts.folderAnswers = {folder};
    chooserPresses(true, 1);
    clickOpen();

    EXPECT_FALSE(app->IsArchive);
    EXPECT_EQ(app->OpenPath, folder);
    EXPECT_EQ(app->LastFolder, folder);
    EXPECT_EQ(w->List1().ListCount(), 5);
    EXPECT_EQ(w->cb_list->count(), 1);
    EXPECT_TRUE(w->PicTipOut->isHidden());
    EXPECT_EQ(w->cmdlast->imageFile(), skin("b_fast2.bmp"));
}

TEST_F(OpenCommand, ANewBookStartsAtItsFirstVolume)
{
    startUp();
    const QString first = makeFolder(QStringLiteral("first"));
    const QString second = makeFolder(QStringLiteral("second"));
    for (const char *v : {"a", "b", "c"}) {
        TestImages::writeWithFolders(first + QStringLiteral("/%1/p.png").arg(QLatin1String(v)), 10, 10);
        TestImages::writeWithFolders(second + QStringLiteral("/%1/p.png").arg(QLatin1String(v)), 10, 10);
    }
    prompts.folderAnswers = {first, second};
    chooserPresses(true, 1);
    clickOpen();
    w->selectVolume(2);
    ASSERT_EQ(w->cb_list->currentText(), QStringLiteral("c/"));

    clickOpen();
    EXPECT_EQ(app->OpenPath, second);
    EXPECT_EQ(w->cb_list->currentIndex(), 0);
}

TEST_F(OpenCommand, ChooserIsAModalWindowOwnedByTheMainWindow)
{
    // The chooser as the window really runs it.
    ViewerFixture::newRun();
    startUp();
    const QString folder = pagesFolder(QStringLiteral("modal"), 2);
    bool wasModal = false, ownedByWindow = false, stayedOpen = false;
    QTimer::singleShot(0, w.get(), [&] {
        auto *chooser = qobject_cast<Frm_Open *>(QApplication::activeModalWidget());
        if (!chooser)
            return;
        wasModal = chooser->isModal();
        ownedByWindow = chooser->parentWidget() == w.get();
        chooser->Opt_Folder->setChecked(true);
        chooser->cmdopen_MouseDown(Qt::LeftButton); // the browser is cancelled
        stayedOpen = chooser->isVisible();
        prompts.folderAnswers = {folder};
        chooser->cmdopen_MouseDown(Qt::LeftButton);
    });
    // Should the chooser never appear, the run still ends.
    QTimer::singleShot(10000, w.get(), [] {
        if (QWidget *m = QApplication::activeModalWidget())
            m->close();
    });
    w->cmdopen_MouseDown(Qt::LeftButton);

    EXPECT_TRUE(wasModal);
    EXPECT_TRUE(ownedByWindow);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(app->OpenPath, folder);
    EXPECT_EQ(w->List1().ListCount(), 2);
    // The open button keeps its pressed image until the mouse lets go.
    EXPECT_EQ(w->cmdopen->imageFile(), skin("b_open_down.bmp"));
    w->cmdopen_MouseUp(Qt::LeftButton);
    EXPECT_EQ(w->cmdopen->imageFile(), skin("b_open.bmp"));
}

TEST_F(OpenCommand, ReleaseTakenByTheChooserStillRestoresTheOpenButton)
{
    startUp();
    showAt(1024, 700);
    // The reader lets the mouse go while the chooser is up: the release goes to
    // the chooser's window, never to the button.
    w->runOpenChooser = [this] {
        Frm_Open chooser(*app, w.get());
        chooser.show();
        QTest::mouseRelease(&chooser, Qt::LeftButton, {}, QPoint(3, 3));
        imageDuring = w->cmdopen->imageFile();
        return false;
    };
    QTest::mousePress(w->cmdopen, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(imageDuring, skin("b_open_down.bmp"));
    EXPECT_EQ(w->cmdopen->imageFile(), skin("b_open.bmp"));
    EXPECT_FALSE(w->cmdopen->isHeld());
}

} // namespace
