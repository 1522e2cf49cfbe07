// `cmake --install` into a scratch root, then the installed program run the way a
// user runs it: through its bin/ link, with its folder read-only.
#include "CaseName.h"
#include "ComicArchive.h"
#include "FileTree.h"
#include "RunLeafview.h"
#include "TestImages.h"
#include "ZipWriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QStringEncoder>
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

    // The installed `program` run as an ordinary user whose home is `home`.
    ProcessResult runAsUser(const char *program, QStringList args, const QString &home)
    {
        QProcessEnvironment env = offscreenEnvironment();
        for (const char *name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
            env.remove(name);
        env.insert("HOME", home);
        QString path = installed(program);
        if (::geteuid() == 0) {
            // Permissions do not bind the superuser: the program runs as an ordinary user.
            const QString setpriv = QStandardPaths::findExecutable("setpriv");
            if (setpriv.isEmpty() || ::chown(QFile::encodeName(home).constData(), 65534, 65534) != 0)
                return {-1, {}, "setpriv (util-linux) is needed to run as another user"};
            args = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", path} + args;
            path = setpriv;
        }
        return runProgram(path, args, env);
    }

    QTemporaryDir root;
};

TEST_F(InstallTest, PutsTheProgramFolderUnderLibAndTheLauncherIconAndFileTypesUnderShare)
{
    for (const char *file : {"lib/leafview/leafview", "lib/leafview/ocx/PhotoGrip.so", "lib/leafview/ocx/Ox_ScrollHook.so",
                                "lib/leafview/skin/b_open.bmp", "lib/leafview/skin/english/b_open.bmp",
                                "share/applications/org.leafview.Leafview.desktop", "share/icons/hicolor/scalable/apps/leafview.svg",
                                "bin/leafview-thumbnailer", "share/thumbnailers/leafview.thumbnailer",
                                "share/metainfo/org.leafview.Leafview.metainfo.xml"})
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

    QFile desktop(installed("share/applications/org.leafview.Leafview.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(text.contains("\nName[ko]=")) << "a Korean name beside the English one";
    EXPECT_TRUE(text.contains("\nCategories=Graphics;Viewer;"));
    for (const char *type : {"application/vnd.comicbook+zip", "application/vnd.comicbook-rar", "application/zip",
                             "application/vnd.rar", "image/jpeg"})
        EXPECT_TRUE(text.contains(QString(type) + ';')) << type;
    // Claiming folders would make a comic reader the desktop's file manager.
    EXPECT_FALSE(text.contains("inode/directory"));

    QFile thumbnailer(installed("share/thumbnailers/leafview.thumbnailer"));
    ASSERT_TRUE(thumbnailer.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(thumbnailer.readAll());
    EXPECT_TRUE(entry.contains("\nExec=leafview-thumbnailer -s %s %i %o\n"));
    for (const char *type : {"application/vnd.comicbook+zip", "application/vnd.comicbook-rar", "application/x-cb7",
                             "application/x-cbt", "application/zip", "application/vnd.rar",
                             "application/x-7z-compressed", "application/x-tar"})
        EXPECT_TRUE(entry.contains(QString(type) + ';')) << type;
}

struct Validator
{
    const char *what;
    const char *program, *package;
    QStringList args;
    const char *file;
};

class InstalledFileCheck : public InstallTest, public ::testing::WithParamInterface<Validator>
{
};

TEST_P(InstalledFileCheck, PassesWithoutAWarning)
{
    const Validator &v = GetParam();
    const QString validator = QStandardPaths::findExecutable(v.program);
    if (validator.isEmpty())
        GTEST_SKIP() << v.program << " is not installed (Debian package " << v.package << ")";
    const ProcessResult r = runProgram(validator, v.args + QStringList{installed(v.file)});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err);
    if (v.args.isEmpty()) {
        EXPECT_TRUE(r.out.trimmed().isEmpty()) << "no warning either: " << qPrintable(r.out);
    }
}

// The AppStream check fails on a warning by itself.
INSTANTIATE_TEST_SUITE_P(
    Files, InstalledFileCheck,
    ::testing::Values(Validator{"launcher", "desktop-file-validate", "desktop-file-utils", {},
                                "share/applications/org.leafview.Leafview.desktop"},
                      Validator{"metainfo", "appstreamcli", "appstream", {"validate", "--no-net"},
                                "share/metainfo/org.leafview.Leafview.metainfo.xml"}),
    CaseName());

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

    const ProcessResult r = runAsUser("bin/leafview", {"--list", book}, home);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    QString expected = ComicArchive::folder.toLower() + "\t5\n";
    for (const QString &page : ComicArchive::pageNames())
        expected += "\t" + page + "\n";
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(treeOf(folder), before) << "nothing written into the program folder";
    EXPECT_TRUE(QFileInfo(home + "/.local/share/Leafview").isDir()) << "the per-user data folder took its place";

    // A code page set in the user's own settings file reads the names an old
    // Japanese tool wrote, which the Korean default cannot.
    const QString page = QString::fromUtf8("ページ1.png");
    ZipWriter zip(work.path() + "/old.zip");
    zip.addRawName(QStringEncoder("Shift_JIS").encode(page), TestImages::encoded(8, 8));
    ASSERT_TRUE(zip.close());
    const QString old = work.path() + "/old.zip";
    setModes(work.path(), true);
    EXPECT_FALSE(runAsUser("bin/leafview", {"--list", old}, home).out.contains(page));
    ASSERT_TRUE(writeFile(home + "/.config/Leafview/leafview.ini", "[Archive]\nCodePage=Shift_JIS\n"));
    setModes(home + "/.config", true);
    const ProcessResult japanese = runAsUser("bin/leafview", {"--list", old}, home);
    EXPECT_TRUE(japanese.out.contains(page)) << qPrintable(japanese.out + japanese.err);
}

TEST_F(InstallTest, TheInstalledThumbnailerWritesOnlyItsPicture)
{
    QTemporaryDir work;
    const QString book = ComicArchive::write(work.path() + "/comic.cbr");
    const QString home = work.path() + "/home", out = work.path() + "/out";
    QDir().mkpath(home);
    QDir().mkpath(out);
    setModes(root.path(), false);
    setModes(work.path(), true);
    // The thumbnail service's scratch folder is the only one it may write to.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(out).constData(), 65534, 65534), 0);
    }
    const QStringList before = treeOf(root.path());

    const ProcessResult r = runAsUser("bin/leafview-thumbnailer", {"-s", "128", book, out + "/t.png"}, home);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(QImage(out + "/t.png").size(), QSize(91, 128));
    EXPECT_EQ(treeOf(out), QStringList{"t.png"});
    EXPECT_EQ(treeOf(home), QStringList());
    EXPECT_EQ(treeOf(root.path()), before);
}
} // namespace
