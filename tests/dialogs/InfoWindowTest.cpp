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
    return ProgramPaths::inFolder(QStringLiteral(LEAFVIEW_BUILD_BIN));
}

TEST(InfoWindow, TheCloseButtonShowsItsPressAndClosesOnRelease)
{
    Frm_Info info(builtProgram());
    info.show();
    const QString normal = info.cmd_close->imageFile();
    EXPECT_TRUE(normal.endsWith(QStringLiteral("/skin/b_ok.bmp")));
    QTest::mousePress(info.cmd_close, Qt::LeftButton);
    EXPECT_TRUE(info.cmd_close->imageFile().endsWith(QStringLiteral("/skin/b_ok_down.bmp")));
    EXPECT_TRUE(info.isVisible());
    QTest::mouseRelease(info.cmd_close, Qt::LeftButton);
    EXPECT_FALSE(info.isVisible());
    EXPECT_EQ(info.cmd_close->imageFile(), normal);
}

// With its files it shows the information page; without them it stays blank; Escape closes either.
TEST(InfoWindow, ShowsTheInformationPageAndEscapeClosesWithOrWithoutItsFiles)
{
    QTemporaryDir empty;
    for (const bool installed : {true, false}) {
        Frm_Info info(installed ? builtProgram() : ProgramPaths::inFolder(empty.path()));
        const QString text = info.WebBrowser1->toPlainText();
        EXPECT_EQ(text.contains(QStringLiteral("Leafview 1.7.0")) && text.contains(QStringLiteral("Ctrl+S")), installed);
        EXPECT_EQ(text.isEmpty(), !installed);
        info.show();
        QTest::keyClick(info.WebBrowser1, Qt::Key_Escape);
        EXPECT_FALSE(info.isVisible());
    }
}

} // namespace
