#include "core/Program.h"
#include "dialogs/Frm_Info.h"
#include "platform/SkinButton.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

ProgramPaths builtProgram()
{
    ProgramPaths p = ProgramPaths::inFolder(QStringLiteral(LEAFVIEW_BUILD_BIN));
    return p;
}

struct ButtonCase
{
    Qt::MouseButton button;
    bool closes;
};

class InfoButton : public ::testing::TestWithParam<ButtonCase>
{
};

TEST_P(InfoButton, OnlyTheLeftButtonPressesAndCloses)
{
    Frm_Info info(builtProgram());
    info.show();
    const QString normal = info.cmd_close->imageFile();
    EXPECT_TRUE(normal.endsWith(QStringLiteral("/skin/b_ok.bmp")));
    QTest::mousePress(info.cmd_close, GetParam().button);
    EXPECT_EQ(info.cmd_close->imageFile().endsWith(QStringLiteral("/skin/b_ok_down.bmp")), GetParam().closes);
    EXPECT_TRUE(info.isVisible());
    QTest::mouseRelease(info.cmd_close, GetParam().button);
    EXPECT_EQ(info.isVisible(), !GetParam().closes);
    EXPECT_EQ(info.cmd_close->imageFile(), normal);
}

INSTANTIATE_TEST_SUITE_P(Buttons, InfoButton,
                         ::testing::Values(ButtonCase{Qt::LeftButton, true}, ButtonCase{Qt::RightButton, false},
                                           ButtonCase{Qt::MiddleButton, false}));

TEST(InfoWindow, ShowsTheInformationPageAndEscapeCloses)
{
    Frm_Info info(builtProgram());
    EXPECT_EQ(info.size(), QSize(Frm_Info::kWidth, Frm_Info::kHeight));
    EXPECT_TRUE(info.WebBrowser1->toPlainText().contains(QStringLiteral("Leafview 1.7.0")));
    EXPECT_TRUE(info.WebBrowser1->toPlainText().contains(QStringLiteral("Ctrl+S")));
    info.show();
    QTest::keyClick(info.WebBrowser1, Qt::Key_Escape);
    EXPECT_FALSE(info.isVisible());
}

TEST(InfoWindow, OpensAndClosesWithoutItsFiles)
{
    QTemporaryDir empty;
    Frm_Info info(ProgramPaths::inFolder(empty.path()));
    info.show();
    EXPECT_TRUE(info.WebBrowser1->toPlainText().isEmpty());
    QTest::keyClick(&info, Qt::Key_Escape);
    EXPECT_FALSE(info.isVisible());
}

} // namespace
