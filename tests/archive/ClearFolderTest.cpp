#include "FakeHost.h"
#include "archive/Mo_Unzip.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
void touch(const QString &path, const QByteArray &data = "x")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

class ClearFolderTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString tmp() const { return dir.path() + "/TmpZip"; }
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(tmp())); }
};

TEST_F(ClearFolderTest, EmptiesEverythingButKeepsTmpZipItself)
{
    touch(tmp() + "/p1.jpg");
    touch(tmp() + "/.hidden");
    touch(tmp() + "/sub/deeper/p2.jpg");
    touch(tmp() + "/ro.jpg");
    QFile::setPermissions(tmp() + "/ro.jpg", QFileDevice::ReadOwner);
    QString log;
    EXPECT_TRUE(Mo_Unzip::ClearFolder(tmp(), QString(), tmp(), log));
    EXPECT_TRUE(QFileInfo(tmp()).isDir());
    EXPECT_TRUE(treeOf(tmp()).isEmpty()) << treeOf(tmp()).join(", ").toStdString();
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(ClearFolderTest, KeepsTheNamedFileOnly)
{
    touch(tmp() + "/inner.zip", "keep me");
    touch(tmp() + "/old.jpg");
    touch(tmp() + "/sub/x.jpg");
    QString log;
    EXPECT_TRUE(Mo_Unzip::ClearFolder(tmp(), tmp() + "/inner.zip", tmp(), log));
    EXPECT_EQ(treeOf(tmp()), QStringList{"inner.zip"});
    EXPECT_EQ(readFile(tmp() + "/inner.zip"), "keep me");
}

TEST_F(ClearFolderTest, RemovesLinksWithoutTouchingWhatTheyPointAt)
{
    const QString outside = dir.path() + "/outside";
    touch(outside + "/precious.jpg", "mine");
    touch(dir.path() + "/single.jpg", "mine too");
    ASSERT_TRUE(QFile::link(outside, tmp() + "/dirlink"));
    ASSERT_TRUE(QFile::link(dir.path() + "/single.jpg", tmp() + "/filelink.jpg"));
    QString log;
    EXPECT_TRUE(Mo_Unzip::ClearFolder(tmp(), QString(), tmp(), log));
    EXPECT_TRUE(treeOf(tmp()).isEmpty());
    EXPECT_EQ(readFile(outside + "/precious.jpg"), "mine");
    EXPECT_EQ(readFile(dir.path() + "/single.jpg"), "mine too");
}

TEST_F(ClearFolderTest, AFolderThatCannotBeEmptiedIsLoggedAndStopsTheWork)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    touch(tmp() + "/locked/p.jpg");
    QFile::setPermissions(tmp() + "/locked", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString log;
    EXPECT_FALSE(Mo_Unzip::ClearFolder(tmp(), QString(), tmp(), log));
    EXPECT_TRUE(log.startsWith("\r\n"));
    QFile::setPermissions(tmp() + "/locked", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
} // namespace
