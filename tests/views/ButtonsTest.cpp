#include "ViewsFixture.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>

namespace {

class Buttons : public ViewsFixture
{
};

// ---- button state: the seven switched buttons in both view modes

struct StateCase
{
    bool pagesAvailable;
    qint16 viewMode;
    const char *exportImage;
};

class ButtonState : public ViewsFixture, public ::testing::WithParamInterface<StateCase>
{
};

TEST_P(ButtonState, SwitchesEnabledAndImages)
{
    const StateCase c = GetParam();
    startUp();
    w->I_ViewMode = c.viewMode;
    w->Set_ButtonState(c.pagesAvailable);

    const QString suffix = c.pagesAvailable ? QStringLiteral(".bmp") : QStringLiteral("_grey.bmp");
    const std::pair<SkinButton *, QString> paged[] = {
        {w->cmdfirst, "b_start2"}, {w->cmdprev, "b_prev"},           {w->cmdnext, "b_next"},
        {w->cmdlast, "b_fast2"},   {w->cmdfullscreen, "b_allscreen"}, {w->cmdIndex, "b_list"}};
    for (const auto &[button, stem] : paged) {
        SCOPED_TRACE(stem.toStdString());
        EXPECT_EQ(button->isEnabled(), c.pagesAvailable);
        EXPECT_EQ(button->imageFile(), skin(stem + suffix));
        EXPECT_TRUE(QFileInfo::exists(button->imageFile()));
    }
    EXPECT_EQ(w->cmdfile->isEnabled(), c.pagesAvailable);
    EXPECT_EQ(w->cmdfile->imageFile(), skin(QString::fromLatin1(c.exportImage)));
    EXPECT_TRUE(QFileInfo::exists(w->cmdfile->imageFile()));
    EXPECT_EQ(w->PicOption->isEnabled(), c.pagesAvailable);

    // These four are never switched.
    EXPECT_TRUE(w->cmdopen->isEnabled());
    EXPECT_TRUE(w->cmdFolder->isEnabled());
    EXPECT_TRUE(w->img_Info->isEnabled());
    EXPECT_TRUE(w->img_Tip->isEnabled());
    EXPECT_EQ(w->cmdopen->imageFile(), skin("b_open.bmp"));
    EXPECT_EQ(w->cmdFolder->imageFile(), skin("b_folder.bmp"));
}

INSTANTIATE_TEST_SUITE_P(OneAndTwoPages, ButtonState,
                         ::testing::Values(StateCase{true, 1, "b_fileout.bmp"}, StateCase{true, 2, "b_fileout_grey.bmp"},
                                           StateCase{false, 1, "b_fileout_grey.bmp"},
                                           StateCase{false, 2, "b_fileout_grey.bmp"}));

TEST_F(Buttons, TwoPageViewOfALoadedBookGreysOnlyTheExportButton)
{
    startWithPages(4);
    w->chk_view->setChecked(true);
    EXPECT_EQ(w->cmdfile->imageFile(), skin("b_fileout_grey.bmp"));
    EXPECT_EQ(w->cmdnext->imageFile(), skin("b_next.bmp"));
    EXPECT_EQ(w->cmdIndex->imageFile(), skin("b_list.bmp"));
    w->chk_view->setChecked(false);
    EXPECT_EQ(w->cmdfile->imageFile(), skin("b_fileout.bmp"));
}

// ---- the commands: left button only, pressed image while they run

struct CommandCase
{
    const char *button;
    const char *command; // what the left button runs ("" for the tip toggle)
    const char *downImage;
    const char *normalImage;
    bool restoredOnRelease; // the normal image returns at the release, not at the end of the press
};

class Commands : public ViewsFixture, public ::testing::WithParamInterface<CommandCase>
{
protected:
    SkinButton *button() { return w->findChild<SkinButton *>(QString::fromLatin1(GetParam().button)); }
};

TEST_P(Commands, OtherMouseButtonsDoNothing)
{
    startWithPages(3);
    showAt(1280, 800);
    SkinButton *b = button();
    ASSERT_NE(b, nullptr);
    const QString before = b->imageFile();
    const bool tipHidden = w->PicTipOut->isHidden();
    for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(b, other, {}, QPoint(5, 5));
        QTest::mouseRelease(b, other, {}, QPoint(5, 5));
    }
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(b->imageFile(), before);
    EXPECT_EQ(w->PicTipOut->isHidden(), tipHidden);

    // The left button goes through the same path and does run the command.
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    if (*GetParam().command) {
        EXPECT_EQ(calls, std::vector<QString>{QString::fromLatin1(GetParam().command)});
    } else {
        EXPECT_NE(w->PicTipOut->isHidden(), tipHidden);
    }
    EXPECT_EQ(b->imageFile(), skin(QString::fromLatin1(GetParam().normalImage)));
}

TEST_P(Commands, PressedImageWhileTheCommandRuns)
{
    startWithPages(3);
    SkinButton *b = button();
    b->press(Qt::LeftButton);
    const QString down = skin(QString::fromLatin1(GetParam().downImage));
    const QString normal = skin(QString::fromLatin1(GetParam().normalImage));
    EXPECT_TRUE(QFileInfo::exists(down));
    if (*GetParam().command) {
        EXPECT_EQ(imageDuring, down);
    }
    EXPECT_EQ(b->imageFile(), GetParam().restoredOnRelease ? down : normal);
    b->release(Qt::LeftButton);
    EXPECT_EQ(b->imageFile(), normal);
}

INSTANTIATE_TEST_SUITE_P(
    TopBar, Commands,
    ::testing::Values(CommandCase{"cmdopen", "open", "b_open_down.bmp", "b_open.bmp", true},
                      CommandCase{"cmdfullscreen", "fullscreen", "b_allscreen_down.bmp", "b_allscreen.bmp", false},
                      CommandCase{"cmdIndex", "index", "b_list_down.bmp", "b_list.bmp", false},
                      CommandCase{"cmdfile", "export", "b_fileout_down.bmp", "b_fileout.bmp", false},
                      CommandCase{"cmdFolder", "folder", "b_folder_down.bmp", "b_folder.bmp", false},
                      CommandCase{"img_Info", "info", "b_inform_down.bmp", "b_inform.bmp", true},
                      CommandCase{"img_Tip", "", "b_tip_down.bmp", "b_tip.bmp", true}),
    [](const auto &info) { return std::string(info.param.button); });

TEST_F(Buttons, PageCommandsWaitForPagesAndTheIndexOpensOnce)
{
    startUp();
    // An empty page list: only the pressed image (the full-screen menu can still call these).
    w->cmdfullscreen_MouseDown();
    w->cmdIndex_MouseDown();
    w->cmdfile_MouseDown();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(w->cmdfullscreen->imageFile(), skin("b_allscreen.bmp"));

    openFolder(pagesFolder(QStringLiteral("b"), 2));
    app->IsIndexShow = true;
    w->cmdIndex_MouseDown();
    EXPECT_TRUE(calls.empty());
    app->IsIndexShow = false;
    w->cmdIndex_MouseDown();
    w->cmdfullscreen_MouseDown();
    EXPECT_EQ(calls, (std::vector<QString>{"index", "fullscreen"}));
}

TEST_F(Buttons, GreyButtonsIgnoreTheMouse)
{
    startUp();
    showAt(1024, 700);
    ASSERT_FALSE(w->cmdfullscreen->isEnabled());
    QTest::mouseClick(w->cmdfullscreen, Qt::LeftButton, {}, QPoint(5, 5));
    w->cmdfile->press(Qt::LeftButton);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(w->cmdfullscreen->imageFile(), skin("b_allscreen_grey.bmp"));
}

// ---- tip overlay

TEST_F(Buttons, TipButtonTogglesTheOverlayAndClicksOnItHideIt)
{
    startUp();
    showAt(1024, 700);
    // Nothing is open after start-up: the tips are shown over the page area.
    ASSERT_FALSE(w->PicTipOut->isHidden());
    EXPECT_EQ(w->PicTipOut->geometry(), w->PicDraw->geometry());
    EXPECT_EQ(w->PicTip->pixmap().size(), QSize(360, 240));
    const QPoint off = w->PicTip->geometry().center() - w->PicTipOut->rect().center();
    EXPECT_LE(qAbs(off.x()) + qAbs(off.y()), 2);

    w->img_Tip_MouseDown();
    EXPECT_TRUE(w->PicTipOut->isHidden());
    w->img_Tip_MouseDown();
    EXPECT_FALSE(w->PicTipOut->isHidden());

    QTest::mouseClick(w->PicTip, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_FALSE(w->PicTipOut->isHidden());
    QTest::mouseClick(w->PicTip, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(w->PicTipOut->isHidden());

    w->img_Tip_MouseDown();
    QTest::mouseClick(w->PicTipOut, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(w->PicTipOut->isHidden());
}

// ---- English skin

TEST_F(Buttons, EnglishModeTakesTheLanguageImagesFromTheEnglishFolder)
{
    app->lang.Lang_Mode = 1;
    startUp();
    const std::pair<SkinButton *, const char *> expected[] = {
        {w->cmdopen, "english/b_open.bmp"},
        {w->cmdfile, "english/b_fileout_grey.bmp"},
        {w->cmdFolder, "english/b_folder.bmp"},
        {w->cmdfullscreen, "english/b_allscreen_grey.bmp"},
        {w->cmdIndex, "english/b_list_grey.bmp"},
        {w->cmdfirst, "b_start2_grey.bmp"},
        {w->cmdlast, "b_fast2_grey.bmp"},
        {w->img_Info, "b_inform.bmp"},
        {w->img_Tip, "b_tip.bmp"},
    };
    for (const auto &[button, file] : expected) {
        SCOPED_TRACE(file);
        EXPECT_EQ(button->imageFile(), skin(QString::fromLatin1(file)));
        EXPECT_TRUE(QFileInfo::exists(button->imageFile()));
    }

    openFolder(pagesFolder(QStringLiteral("b"), 2));
    EXPECT_EQ(w->cmdIndex->imageFile(), skin("english/b_list.bmp"));
    EXPECT_EQ(w->cmdnext->imageFile(), skin("b_next.bmp"));
    w->cmdopen->press(Qt::LeftButton);
    EXPECT_EQ(imageDuring, skin("english/b_open_down.bmp"));
    w->cmdopen->release(Qt::LeftButton);
    w->cmdFolder_MouseDown();
    EXPECT_EQ(imageDuring, skin("english/b_folder_down.bmp"));
    EXPECT_EQ(w->cmdFolder->imageFile(), skin("english/b_folder.bmp"));
}

} // namespace
