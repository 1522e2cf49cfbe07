#include "core/Program.h"
#include "dialogs/Frm_Info.h"
#include "platform/SkinButton.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

ProgramPaths builtProgram()
{
    return ProgramPaths::inFolder(QStringLiteral(LEAFVIEW_BUILD_BIN));
}

// With its files it shows the information page; without them it stays blank.
// Escape closes either; the close button shows its press and closes on release.
TEST(InfoWindow, ShowsTheInformationPageAndClosesByEscapeOrItsButton)
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

// A dark desktop theme, and a window system that gives the window more room than
// asked: the page well stays light and nothing of the window is left black.
TEST(InfoWindow, FillsItsWholeAreaWhateverTheThemeOrSize)
{
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        dark.setColor(role, Qt::black);
    QApplication::setPalette(dark);
    QTemporaryDir empty;
    for (const bool installed : {true, false}) {
        for (const QSize size : {QSize(Frm_Info::kWidth, Frm_Info::kHeight), QSize(380, 270)}) {
            Frm_Info info(installed ? builtProgram() : ProgramPaths::inFolder(empty.path()));
            info.setMinimumSize(size);
            info.setMaximumSize(size);
            info.show();
            const QImage shot = info.grab().toImage();
            ASSERT_EQ(shot.size(), size);
            int black = 0;
            for (int x = 0; x < shot.width(); ++x)
                for (const int y : {0, shot.height() - 1})
                    black += (shot.pixel(x, y) & 0xffffff) == 0;
            // The well's lower right, below the page's last line and left of its scroll bar.
            const QRect well = info.WebBrowser1->viewport()->geometry().translated(info.WebBrowser1->pos());
            const QColor inWell = shot.pixelColor(well.right() - 4, well.bottom() - 2);
            EXPECT_EQ(black, 0) << installed << " " << size.width();
            EXPECT_GT(inWell.lightness(), 200) << installed << " " << size.width();
        }
    }
    QApplication::setPalette(before);
}

} // namespace
