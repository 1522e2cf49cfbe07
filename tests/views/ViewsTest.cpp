#include "CaseName.h"
#include "FileTree.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "ViewerKit.h"
#include "core/ResumeRecord.h"
#include "dialogs/Frm_Open.h"
#include "platform/Canvas.h"
#include "platform/SkinButton.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QMenu>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

// A main window whose command windows are counters.
class Views : public ViewerFixture
{
protected:
    QString skin(const QString &relative) const { return app->paths.skinFolder() + relative; }
    void SetUp() override
    {
        ViewerFixture::SetUp();
        for (auto *command : {&w->openFullScreen, &w->openIndex, &w->exportPage, &w->chooseExportFolder, &w->showInfo})
            *command = [this] { calls.push_back("command"); };
        w->runOpenChooser = [this] {
            calls.push_back("open");
            imageDuring = w->cmdopen->imageFile();
            return false;
        };
    }
    QString pagesFolder(const QString &name, int n) { return TestImages::writePages(makeFolder(name), n, 30, 40); }
    void startWithPages(int n)
    {
        startUp();
        w->chkeffect->setChecked(false);
        openFolder(pagesFolder(QStringLiteral("book"), n));
    }
    void showAt(int width, int height)
    {
        w->show();
        w->resize(width, height);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->size() == QSize(width, height); }, 2000));
    }

    // Clicks open; the real chooser is pressed up to `presses` times (the scripted dialogs answer
    // each press) and returns whether it closed with a choice, as a modal run would.
    void openThroughChooser(bool folder, int presses)
    {
        w->runOpenChooser = [this, folder, presses] {
            Frm_Open chooser(*app, w);
            if (folder)
                chooser.Opt_Folder->setChecked(true);
            for (int i = 0; i < presses && chooser.result() != QDialog::Accepted; ++i) {
                chooser.cmdopen_MouseDown(Qt::LeftButton);
                stillOpenAfter.push_back(chooser.result() != QDialog::Accepted);
            }
            return chooser.result() == QDialog::Accepted;
        };
        w->cmdopen->press(Qt::LeftButton);
        w->cmdopen->release(Qt::LeftButton);
    }

    std::vector<QString> calls;
    QString imageDuring; // the open button's image while the command ran
    std::vector<bool> stillOpenAfter;
};

// ---- buttons

// A misspelt skin name shows as a blank button: every image a bar button takes,
// without pages, with them and in two-page view, is a file of the skin; the
// English interface takes the images with words on them from their own folder.
using ButtonImages = WithCases<Views, qint16>;

TEST_P(ButtonImages, EveryTopBarButtonImageExistsInEveryState)
{
    app->lang.Lang_Mode = GetParam();
    startUp();
    const QString words = GetParam() ? QStringLiteral("english/") : QString();
    EXPECT_EQ(w->cmdopen->imageFile(), skin(words + "b_open.bmp"));
    EXPECT_EQ(w->cmdfile->imageFile(), skin(words + "b_fileout_grey.bmp"));
    EXPECT_EQ(w->cmdIndex->imageFile(), skin(words + "b_list_grey.bmp"));
    EXPECT_EQ(w->cmdfirst->imageFile(), skin("b_start2_grey.bmp"));
    const QList<SkinButton *> buttons = w->PicTop->findChildren<SkinButton *>();
    ASSERT_GE(buttons.size(), 11);
    for (const char *state : {"no pages", "pages", "two pages"}) {
        if (state == std::string("pages"))
            openFolder(pagesFolder(QStringLiteral("book"), 3));
        if (state == std::string("two pages"))
            w->chk_view->setChecked(true);
        for (SkinButton *b : buttons) {
            EXPECT_TRUE(QFileInfo::exists(b->imageFile())) << state << ": " << qPrintable(b->objectName());
            // Dense screens get the same image drawn at twice the pixels, shown at the same size.
            const QSize size = QImage(b->imageFile()).size();
            EXPECT_EQ(QImage(QString(b->imageFile()).replace(".bmp", "@2x.bmp")).size(), size * 2);
            const QPixmap dense = skinPixmap(b->imageFile(), 1.5);
            EXPECT_EQ(dense.devicePixelRatio(), 2.0);
            EXPECT_EQ(dense.deviceIndependentSize(), QSizeF(size)) << qPrintable(b->imageFile());
        }
    }
    w->cmdopen->press(Qt::LeftButton);
    EXPECT_EQ(imageDuring, skin(words + "b_open_down.bmp"));
}

INSTANTIATE_TEST_SUITE_P(Languages, ButtonImages, ::testing::Values(qint16(0), qint16(1)),
                         [](const auto &info) { return info.param ? "English" : "Korean"; });

TEST_F(Views, OnlyTheLeftMouseButtonRunsCommands)
{
    startWithPages(3);
    showAt(1280, 800);
    const bool tipHidden = w->PicTipOut->isHidden();
    for (SkinButton *b :
         {w->cmdopen, w->cmdfullscreen, w->cmdIndex, w->cmdfile, w->cmdFolder, w->img_Info, w->img_Tip}) {
        const QString before = b->imageFile();
        for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton}) {
            QTest::mousePress(b, other, {}, QPoint(5, 5));
            QTest::mouseRelease(b, other, {}, QPoint(5, 5));
        }
        EXPECT_EQ(b->imageFile(), before) << b->objectName().toStdString();
    }
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(w->PicTipOut->isHidden(), tipHidden);
    QTest::mouseClick(w->cmdopen, Qt::LeftButton, {}, QPoint(5, 5)); // the same path does run with the left button
    EXPECT_EQ(calls, std::vector<QString>{"open"});
}

TEST_F(Views, TipButtonTogglesTheOverlayAndAClickOnItHidesIt)
{
    startUp();
    showAt(1024, 700);
    // Nothing is open after start-up: the tips are shown over the page area.
    ASSERT_FALSE(w->PicTipOut->isHidden());
    EXPECT_EQ(w->PicTipOut->geometry(), w->PicDraw->geometry());
    w->img_Tip_MouseDown();
    EXPECT_TRUE(w->PicTipOut->isHidden());
    w->img_Tip_MouseDown();
    EXPECT_FALSE(w->PicTipOut->isHidden());
    QTest::mouseClick(w->PicTip, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_FALSE(w->PicTipOut->isHidden());
    QTest::mouseClick(w->PicTip, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(w->PicTipOut->isHidden());
}

// ---- the interface's language

// The texts a reader may see on a window: titles, captions, tips and menu entries
// (a text that is a path is the reader's, not the program's).
QStringList textsOn(QWidget *window)
{
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    QStringList texts;
    for (QWidget *c : widgets) {
        texts << c->windowTitle() << c->toolTip();
        if (auto *label = qobject_cast<QLabel *>(c))
            texts << label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(c))
            texts << button->text();
        else if (auto *frame = qobject_cast<QGroupBox *>(c))
            texts << frame->title();
    }
    for (QAction *a : window->findChildren<QAction *>()) {
        // A recent book's entry: its name, with its path for a tip.
        if (!a->toolTip().startsWith(QLatin1Char('/')))
            texts << a->text() << a->toolTip();
    }
    texts.removeIf([](const QString &t) { return t.isEmpty() || t.startsWith(QLatin1Char('/')); });
    return texts;
}

bool hasHangul(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3; });
}

// Not the Korean interface's: a text of English words (key and format names may
// stand in a Korean text).
bool englishOnly(const QString &text)
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    static const QStringList names = {"Ctrl", "Esc", "Home", "End", "ZIP", "RAR", "Ox"};
    if (hasHangul(text))
        return false;
    for (const QRegularExpressionMatch &m : word.globalMatch(text))
        if (!names.contains(m.captured()))
            return true;
    return false;
}

class InterfaceLanguage : public ViewerFixture, public ::testing::WithParamInterface<bool>
{
protected:
    // Runs a command that shows a modal window, and reads that window before closing it.
    QStringList textsOfModal(const std::function<void()> &command, const std::function<void(QWidget *)> &use = {})
    {
        QStringList texts;
        QTimer::singleShot(0, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            ASSERT_TRUE(modal);
            if (use)
                use(modal);
            texts = textsOn(modal);
            modal->close();
        });
        command();
        EXPECT_FALSE(texts.isEmpty());
        return texts;
    }
};

TEST_P(InterfaceLanguage, EveryTextOfEveryWindowAndQuestionIsInTheChosenLanguage)
{
    const bool english = GetParam();
    if (english) {
        ASSERT_TRUE(writeFile(app->paths.settingsFile(), "[Main]\nLanguage=English\n"));
    }
    const QString book = makeFolder(QStringLiteral("book"));
    for (int i = 1; i <= 3; ++i)
        TestImages::write(book + QStringLiteral("/p%1.png").arg(i), 30, 40);
    ResumeRecord kept;
    kept.path = book;
    ASSERT_TRUE(kept.writeTo(dataPath(ResumeRecord::fileName())));
    prompts.messageAnswers = {MsgResult::Yes};
    startUp();
    ASSERT_EQ(w->List1().ListCount(), 3);
    for (SkinButton *b : w->PicTop->findChildren<SkinButton *>())
        EXPECT_FALSE(b->toolTip().isEmpty()) << qPrintable(b->objectName());
    w->openIndex();

    QStringList texts = textsOn(w);
    texts << textsOfModal(w->openFullScreen) << textsOfModal(w->chooseExportFolder) << textsOfModal(w->showInfo);
    texts << textsOfModal([this] { w->runOpenChooser(); }, [](QWidget *chooser) {
        // Both of its dialogs, cancelled.
        auto *open = static_cast<Frm_Open *>(chooser);
        open->cmdopen_MouseDown(Qt::LeftButton);
        open->Opt_Folder->setChecked(true);
        open->cmdopen_MouseDown(Qt::LeftButton);
    });
    ASSERT_EQ(prompts.shown.size(), 3u); // the resume question, the file and the folder dialogs
    for (const ScriptedPrompts::Shown &shown : prompts.shown)
        texts << shown.title << shown.text;
    QStringList wrong;
    for (const QString &text : texts)
        if (english ? hasHangul(text) : englishOnly(text))
            wrong << text;
    EXPECT_TRUE(wrong.isEmpty()) << qPrintable(wrong.join(QStringLiteral(" | ")));
}

INSTANTIATE_TEST_SUITE_P(Interfaces, InterfaceLanguage, ::testing::Bool(),
                         [](const auto &info) { return info.param ? "English" : "Korean"; });

// ---- layout

TEST_F(Views, SmallWindowsSnapToTheSmallestSize)
{
    startUp();
    showAt(1024, 700);
    // The rule is about the outer size, frame included.
    const QSize frame = w->frameGeometry().size() - w->size();
    for (const auto &c : {std::pair(QSize(500, 300), QSize(600, 400)), std::pair(QSize(900, 380), QSize(900, 400)),
                          std::pair(QSize(601, 401), QSize(601, 401))}) {
        w->resize(c.first - frame);
        EXPECT_TRUE(QTest::qWaitFor([&] { return w->frameGeometry().size() == c.second; }, 2000)) << c.first.width();
    }
    EXPECT_EQ(w->PicDraw->geometry(), QRect(0, 40, w->width(), w->height() - 40));
}

// Korean and English captions differ in width.
using BarWidths = WithCases<Views, qint16>;

TEST_P(BarWidths, EveryBarCommandStaysReachableFromTheSmallestWidthTo1920Pixels)
{
    app->lang.Lang_Mode = GetParam();
    startWithPages(2);
    // 0: as narrow as the window lets itself be made.
    for (const int width : {0, 1024, 1280, 1920}) {
        showAt(width ? width : 1024, 700);
        if (!width) {
            w->resize(1, 700);
            ASSERT_TRUE(QTest::qWaitFor([&] { return w->width() > 1; }, 2000));
        }
        std::vector<QWidget *> controls = {w->cmdopen,   w->cmdfirst,  w->cmdprev,         w->cmdnext,  w->cmdlast,
                                           w->txtpage,   w->lblpage,   w->cb_list,         w->PicOption, w->cmdfile,
                                           w->cmdFolder, w->Picbanner, w->cmdfullscreen,   w->cmdIndex, w->img_Tip,
                                           w->img_Info,  w->cmdOptions};
        // On the narrowest bar one options button stands in for the switches.
        EXPECT_EQ(w->PicOption->isHidden(), width == 0);
        EXPECT_FALSE(w->cmdOptions->toolTip().isEmpty());
        std::erase_if(controls, [](QWidget *c) { return c->isHidden(); });
        for (size_t i = 0; i < controls.size(); ++i) {
            // The banner keeps its place, past the smallest window's edge.
            if (controls[i] != w->Picbanner || width) {
                EXPECT_TRUE(w->PicTop->rect().contains(controls[i]->geometry()))
                    << width << " " << qPrintable(controls[i]->objectName());
            }
            for (size_t j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                    << width << ": " << qPrintable(controls[i]->objectName()) << " and "
                    << qPrintable(controls[j]->objectName());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, BarWidths, ::testing::Values(qint16(0), qint16(1)),
                         [](const auto &info) { return info.param ? "English" : "Korean"; });

TEST_F(Views, TheOptionsButtonsEntriesClickTheSwitches)
{
    startWithPages(3);
    showAt(1280, 700);
    QMenu *menu = w->cmdOptions->menu();
    ASSERT_TRUE(menu);
    emit menu->aboutToShow();
    const QList<QAction *> entries = menu->actions();
    // The switches come first; on a bar that shows them they are left out.
    ASSERT_GT(entries.size(), 5);
    EXPECT_EQ(entries[0]->text(), w->chk_view->text());
    EXPECT_FALSE(entries[0]->isVisible());
    EXPECT_FALSE(entries[0]->isChecked());
    entries[0]->trigger();
    EXPECT_TRUE(w->chk_view->isChecked());
    EXPECT_EQ(int(w->session.viewMode()), 2);
    emit menu->aboutToShow();
    EXPECT_TRUE(entries[0]->isChecked());
}

// What holds the window when later starts hand two paths over: nothing, a modal
// dialog, a volume still loading.
using HandedOver = WithCases<Views, const char *>;

TEST_P(HandedOver, TheLatestPathOpensAsSoonAsTheWindowIsFree)
{
    const QByteArray holder(GetParam());
    startWithPages(1);
    const QString first = pagesFolder(QStringLiteral("first"), 1), latest = pagesFolder(QStringLiteral("latest"), 2);
    QDialog dialog(w);
    if (holder == "dialog") {
        dialog.setModal(true);
        dialog.show();
        ASSERT_TRUE(QApplication::activeModalWidget());
    }
    w->IsProcess = holder == "loading";
    const QString before = app->OpenPath;
    w->openHandedPath(first);
    w->openHandedPath(latest);
    if (holder != "nothing") {
        EXPECT_EQ(app->OpenPath, before);
        EXPECT_TRUE(w->handedPathWaiting());
        dialog.close();
        w->IsProcess = false;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->OpenPath == latest; }, 2000)) << qPrintable(app->OpenPath);
    EXPECT_FALSE(w->handedPathWaiting());
    EXPECT_EQ(w->List1().ListCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Holders, HandedOver, ::testing::Values("nothing", "dialog", "loading"), CaseName());

TEST_F(Views, WideTopBarStretchesItsImageFromColumn1020ToTheRightEdge)
{
    // A skin whose bar image has red rising one step every four columns and green following
    // the row: every pixel tells which source column and row it shows.
    QTemporaryDir program;
    ASSERT_TRUE(QDir(program.path()).mkdir("skin"));
    QImage source(1024, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 1024; ++x)
            source.setPixel(x, y, qRgb(x / 4, 100 + y, 50));
    ASSERT_TRUE(source.save(program.path() + "/skin/bg_Top.bmp", "BMP"));
    app->paths.programFolder = program.path();
    startUp();
    showAt(1280, 800);
    QImage bar(w->PicTop->size(), QImage::Format_RGB32); // the bar's own picture, without its controls
    bar.fill(Qt::magenta);
    w->PicTop->render(&bar, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    ASSERT_EQ(bar.width(), 1280);
    for (int y : {0, 17, 39})
        for (int x = 0; x < 1280; ++x) {
            ASSERT_EQ(qGreen(bar.pixel(x, y)), 100 + y) << "x " << x;
            // Past 1020, 1024 source columns over 260 pixels: about one red step a pixel.
            ASSERT_NEAR(qRed(bar.pixel(x, y)), x < 1020 ? x / 4 : (x - 1020) * 1024 / 260 / 4, x < 1020 ? 0 : 1) << x;
        }
    EXPECT_EQ(qRed(bar.pixel(1020, 0)), 0);
    EXPECT_EQ(qRed(bar.pixel(1279, 0)), 255);
}

TEST_F(Views, NoRedrawBeforeTheStartUpTimersFirstTick)
{
    ASSERT_TRUE(w->Form_Load(QString()));
    w->Tmr_Load.timer.stop();
    w->chkeffect->setChecked(false);
    openFolder(pagesFolder(QStringLiteral("b"), 3));
    ASSERT_EQ(w->txtpage->text(), QStringLiteral("1"));
    // Page_Draw writes the page box; an emptied box shows whether it ran.
    w->txtpage->clear();
    w->resize(900, 600);
    w->Form_Resize();
    EXPECT_TRUE(w->txtpage->text().isEmpty());
    EXPECT_TRUE(w->Img_Tmp.isNull());
    w->Tmr_Load_Timer();
    ASSERT_EQ(w->Tmr_Load.Tag, QStringLiteral("exe"));
    w->resize(950, 600);
    w->Form_Resize();
    EXPECT_EQ(w->txtpage->text(), QStringLiteral("1"));
}

// Total, units done, bar width: (300 - 4) / total * done, rounded, never past the track.
using Progress = WithCases<Views, std::tuple<qint32, qint32, int>>;

TEST_P(Progress, BarWidthIsTheTrackShareOfTheUnitsDone)
{
    ASSERT_EQ(w->Shback->width(), 300);
    w->ZipFile_Progress(std::get<1>(GetParam()), std::get<0>(GetParam()), QStringLiteral("이미지 불러오기"));
    EXPECT_EQ(w->Shbar->width(), std::get<2>(GetParam()));
    EXPECT_EQ(w->lbl_filemsg->text(), QStringLiteral("이미지 불러오기"));
}

INSTANTIATE_TEST_SUITE_P(Counts, Progress,
                         ::testing::Values(std::tuple(5, 0, 0), std::tuple(4, 1, 74), std::tuple(3, 2, 197),
                                           std::tuple(1000, 7, 2), std::tuple(4, 9, 296)), CaseName());

// ---- recent books and settings

QMenu *submenu(QMenu *menu, const char *name)
{
    emit menu->aboutToShow();
    for (QAction *a : menu->actions()) {
        if (a->menu() && a->menu()->objectName() == QLatin1String(name)) {
            emit a->menu()->aboutToShow();
            return a->menu();
        }
    }
    return nullptr;
}

TEST_F(Views, RecentBooksShowTheLastTenMarkWhatIsGoneAndOpenWhatIsThere)
{
    startUp();
    QStringList folders;
    for (int i = 0; i < 11; ++i)
        app->recent.remember({folders.emplace_back(pagesFolder(QStringLiteral("b%1").arg(i), 1 + i % 2)), 0, 0, false});
    // The latest is gone since.
    const QString gone = books.path() + QStringLiteral("/gone");
    app->recent.remember({gone, 0, 0, false});
    QMenu *recent = submenu(w->cmdOptions->menu(), "mnuRecent");
    ASSERT_TRUE(recent);
    QList<QAction *> entries = recent->actions();
    ASSERT_EQ(entries.size(), 12); // ten books, a line, "clear"
    EXPECT_EQ(entries[0]->text(), app->lang.Mnu_RecentMissing.arg(QStringLiteral("gone")));
    EXPECT_EQ(entries[1]->text(), QStringLiteral("b10"));

    // The gone one offers its removal; a book that is there opens.
    prompts.messageAnswers = {MsgResult::Yes};
    entries[0]->trigger();
    EXPECT_FALSE(app->recent.find(gone));
    entries[1]->trigger();
    EXPECT_EQ(app->OpenPath, folders[10]);
    EXPECT_EQ(w->List1().ListCount(), 1);

    Frm_Open chooser(*app, w);
    EXPECT_EQ(chooser.lstRecent->count(), 10);
    EXPECT_EQ(chooser.lstRecent->item(1)->text(), QStringLiteral("b9"));
    chooser.lstRecent_Activated(1);
    EXPECT_EQ(std::pair(chooser.result(), app->OpenPath), std::pair(int(QDialog::Accepted), folders[9]));
    chooser.lstRecent->setCurrentRow(0);
    chooser.cmdRecentRemove->click();
    EXPECT_EQ(chooser.lstRecent->item(0)->text(), QStringLiteral("b9"));
    chooser.cmdRecentClear->click();
    EXPECT_TRUE(chooser.fraRecent->isHidden());
    EXPECT_TRUE(app->recent.books().isEmpty());
}

TEST_F(Views, TheLanguageChosenInTheMenuIsInForceAtOnceAndAtTheNextStart)
{
    app->paths.userConfigFolder = data.path() + QStringLiteral("/config");
    startWithPages(2);
    QMenu *language = submenu(w->cmdOptions->menu(), "mnuLanguage");
    ASSERT_TRUE(language);
    ASSERT_EQ(language->actions().size(), 2);
    EXPECT_TRUE(language->actions()[0]->isChecked());
    language->actions()[1]->trigger();
    EXPECT_EQ(w->chkeffect->text(), QStringLiteral("Book effect"));
    EXPECT_EQ(w->cmdopen->imageFile(), skin("english/b_open.bmp"));
    EXPECT_TRUE(w->windowTitle().startsWith(QStringLiteral("Leafview Version ")));

    ViewerFixture::newRun();
    app->paths.userConfigFolder = data.path() + QStringLiteral("/config");
    startUp();
    EXPECT_EQ(app->lang.Lang_Mode, 1);
}

// ---- the open command through the real chooser and the scripted dialogs

TEST_F(Views, OpenChooserFlows)
{
    startUp();
    // Two cancelled dialogs keep the chooser open; then the reader closes it.
    openThroughChooser(false, 2);
    EXPECT_EQ(stillOpenAfter, (std::vector<bool>{true, true}));
    EXPECT_EQ(prompts.count("openFile"), 2);
    EXPECT_TRUE(app->OpenConfirmed);
    EXPECT_TRUE(w->isEnabled());

    // A name of no archive kind is a choice that opens nothing: the tips stay.
    prompts.fileAnswers = {books.path() + QStringLiteral("/comic")};
    openThroughChooser(false, 1);
    EXPECT_TRUE(app->OpenPath.isEmpty());
    EXPECT_EQ(w->List1().ListCount(), 0);
    EXPECT_EQ(w->cmdnext->imageFile(), skin("b_next_grey.bmp"));
    EXPECT_FALSE(w->PicTipOut->isHidden());

    // A folder choice opens the folder and becomes the folder to browse from.
    const QString folder = pagesFolder(QStringLiteral("pictures"), 5);
    prompts.folderAnswers = {folder};
    openThroughChooser(true, 1);
    EXPECT_FALSE(app->IsArchive);
    EXPECT_EQ(app->OpenPath, folder);
    EXPECT_EQ(app->LastFolder, folder);
    EXPECT_EQ(w->List1().ListCount(), 5);
    EXPECT_EQ(w->cmdlast->imageFile(), skin("b_fast2.bmp"));
}

} // namespace
