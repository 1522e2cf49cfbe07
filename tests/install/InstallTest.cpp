// `cmake --install` into a scratch root, then the installed program run the way a
// user runs it: through its bin/ link, with its folder read-only.
#include "ComicArchive.h"
#include "FileTree.h"
#include "RunLeafview.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {
// Everything at and under `path` readable by all (folders and programs enterable and
// runnable by all); writable by its owner only when `writable`.
void setModes(const QString &path, bool writable)
{
    auto mode = [writable](const QFileInfo &fi) {
        QFile::Permissions m = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        if (fi.isDir() || fi.isExecutable())
            m |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        return writable ? m | QFile::WriteOwner : m;
    };
    QFile::setPermissions(path, mode(QFileInfo(path)));
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        if (!fi.isSymLink())
            QFile::setPermissions(fi.filePath(), mode(fi));
    }
}

class InstallTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DESTDIR", root.path());
        const ProcessResult r = runProgram(QStringLiteral(LEAFVIEW_CMAKE),
                                           {"--install", QStringLiteral(LEAFVIEW_BUILD_DIR), "--prefix", "/usr/local"}, env, 120000);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    }
    void TearDown() override { setModes(root.path(), true); }

    QString installed(const QString &relative) const { return root.path() + "/usr/local/" + relative; }

    QTemporaryDir root;
};

TEST_F(InstallTest, PutsTheProgramFolderUnderLibAndTheLauncherIconAndFileTypesUnderShare)
{
    for (const char *file : {"lib/leafview/leafview", "lib/leafview/ocx/PhotoGrip.so", "lib/leafview/ocx/Ox_ScrollHook.so",
                                "lib/leafview/skin/b_open.bmp", "lib/leafview/skin/english/b_open.bmp",
                                "share/applications/leafview.desktop", "share/icons/hicolor/scalable/apps/leafview.svg"})
        EXPECT_TRUE(QFileInfo(installed(file)).isFile()) << file;
    const QStringList pages = QDir(QStringLiteral(LEAFVIEW_BUILD_BIN)).entryList({"*.htm", "*.html"}, QDir::Files);
    for (const QString &page : pages)
        EXPECT_TRUE(QFileInfo(installed("lib/leafview/" + page)).isFile()) << page.toStdString();
    EXPECT_TRUE(QFileInfo(installed("lib/leafview/leafview")).isExecutable());
    // A relative link, so the installed tree may be moved as a whole.
    char target[256] = {};
    ASSERT_GT(::readlink(QFile::encodeName(installed("bin/leafview")).constData(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "../lib/leafview/leafview");
    for (int size : {16, 48, 256})
        EXPECT_EQ(QImage(installed(QString("share/icons/hicolor/%1x%1/apps/leafview.png").arg(size))).size(),
                  QSize(size, size));
    // Dense screens look in NxN@2 for a picture of twice the pixels.
    for (int size : {22, 48})
        EXPECT_EQ(QImage(installed(QString("share/icons/hicolor/%1x%1@2/apps/leafview.png").arg(size))).size(),
                  QSize(2 * size, 2 * size));
    EXPECT_TRUE(QFileInfo(installed("lib/leafview/skin/b_open@2x.bmp")).isFile());

    QFile desktop(installed("share/applications/leafview.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(text.contains("\nName[ko]=")) << "a Korean name beside the English one";
    EXPECT_TRUE(text.contains("\nCategories=Graphics;Viewer;"));
    for (const char *type : {"application/vnd.comicbook+zip", "application/vnd.comicbook-rar", "application/zip",
                             "application/vnd.rar", "image/jpeg"})
        EXPECT_TRUE(text.contains(QString(type) + ';')) << type;
    // Claiming folders would make a comic reader the desktop's file manager.
    EXPECT_FALSE(text.contains("inode/directory"));
}

TEST_F(InstallTest, TheLauncherPassesTheDesktopFileCheck)
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed (Debian package desktop-file-utils)";
    const ProcessResult r = runProgram(validator, {installed("share/applications/leafview.desktop")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.trimmed().isEmpty()) << "no warning either: " << qPrintable(r.out);
}

TEST_F(InstallTest, TheInstalledProgramListsABookWithItsFolderReadOnly)
{
    QTemporaryDir work;
    const QString book = ComicArchive::write(work.path() + "/comic.cbr");
    const QString home = work.path() + "/home";
    QDir().mkpath(home);
    const QString folder = installed("lib/leafview");
    setModes(root.path(), true);
    setModes(folder, false);
    setModes(work.path(), true);
    const QStringList before = treeOf(folder);

    QProcessEnvironment env = offscreenEnvironment();
    for (const char *name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
        env.remove(name);
    env.insert("HOME", home);
    QStringList args = {"--list", book};
    QString program = installed("bin/leafview");
    if (::geteuid() == 0) {
        // Permissions do not bind the superuser: the program runs as an ordinary user.
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        ASSERT_FALSE(setpriv.isEmpty()) << "setpriv (util-linux) is needed to run as another user";
        ASSERT_EQ(::chown(QFile::encodeName(home).constData(), 65534, 65534), 0);
        args = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + args;
        program = setpriv;
    }
    const ProcessResult r = runProgram(program, args, env);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    QString expected = ComicArchive::folder.toLower() + "\t5\n";
    for (const QString &page : ComicArchive::pageNames())
        expected += "\t" + page + "\n";
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(treeOf(folder), before) << "nothing written into the program folder";
    EXPECT_TRUE(QFileInfo(home + "/.local/share/Leafview").isDir()) << "the per-user data folder took its place";
}
} // namespace
