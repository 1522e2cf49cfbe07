#include "platform/ControlHost.h"

#include "PhotoGripFiles.h"

#include <leafview/ImgPicture.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A program folder whose ocx/ points at the library just built.
class PluginFolder : public ::testing::Test
{
protected:
    QTemporaryDir programDir;
    void SetUp() override
    {
        ASSERT_TRUE(QDir(programDir.path()).mkdir(QStringLiteral("ocx")));
        const QString built = QStringLiteral(LEAFVIEW_BUILD_BIN "/ocx/PhotoGrip.so");
        ASSERT_TRUE(QFile::exists(built)) << qPrintable(built);
        ASSERT_TRUE(QFile::link(built, programDir.filePath(QStringLiteral("ocx/PhotoGrip.so"))));
    }
};

TEST_F(PluginFolder, ControlIsCreatedByItsProgramIdentifier)
{
    ControlHost host;
    QString log;
    ASSERT_TRUE(host.registerLibrary(programDir.filePath(QStringLiteral("ocx/PhotoGrip.so")), log))
        << qPrintable(log);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(host.isRegistered(QString::fromLatin1(kImgPictureProgId)));

    QWidget window;
    QWidget *control = host.createControl(QStringLiteral("PhotoGrip.ImgPicture"), &window);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parent(), &window);
    IImgPicture *img = qobject_cast<IImgPicture *>(control);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->asWidget(), control);

    // The control works through the interface alone.
    QTemporaryDir work;
    const QString file = PhotoGripFiles::solidPng(work.path(), QStringLiteral("p.png"), 64, 32, Qt::cyan);
    float w = 0, h = 0;
    img->GetImageSize(file, w, h);
    EXPECT_EQ(w, 64.f);
    img->SetVisible(true);
    img->SetWidth(32);
    img->SetHeight(16);
    img->DisplayPicture(file);
    EXPECT_EQ(img->GetHdc().size(), QSize(32, 16));
    EXPECT_EQ(img->GetHdc().pixel(5, 5), QColor(Qt::cyan).rgb());
    // The signals exist under the names the program connects to.
    EXPECT_GE(control->metaObject()->indexOfSignal("MouseDown(short,short,float,float)"), 0);
    EXPECT_GE(control->metaObject()->indexOfSignal("DblClick()"), 0);
}

TEST_F(PluginFolder, RegisterControlsFindsItBesideTheProgram)
{
    ControlHost host;
    QString log;
    host.registerControls(programDir.path(), log);
    EXPECT_TRUE(host.isRegistered(QStringLiteral("PhotoGrip.ImgPicture")));
}

TEST(PluginMissing, IsLoggedAndNothingIsCreated)
{
    QTemporaryDir programDir;
    ControlHost host;
    QString log;
    EXPECT_FALSE(host.registerLibrary(programDir.filePath(QStringLiteral("ocx/PhotoGrip.so")), log));
    EXPECT_TRUE(log.contains(QStringLiteral("PhotoGrip.so")));
    EXPECT_EQ(host.createControl(QStringLiteral("PhotoGrip.ImgPicture"), nullptr), nullptr);
}

} // namespace
