// What the headless modes tell a script about books they cannot show.
#include "FileTree.h"
#include "RunLeafview.h"
#include "TestImages.h"
#include "ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>

TEST(HeadlessFailure, RenderFailsWhenThePageCannotBeDrawn)
{
    QTemporaryDir d;
    TestImages::write(d.path() + "/book/a.png", 40, 30);
    ASSERT_TRUE(writeFile(d.path() + "/book/b.png", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(200, 'x')));
    const QString out = d.path() + "/out.png";
    ProcessResult r = runLeafview({"--render", d.path() + "/book", "--out", out, "--page", "0"});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    r = runLeafview({"--render", d.path() + "/book", "--out", out, "--page", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("b.png")) << qPrintable(r.err);
    r = runLeafview({"--render", d.path() + "/book", "--out", out, "--page", "2"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(runLeafview({"--render", d.path() + "/book", "--out", out, "--volume", "4"}).exitCode, 2);
}

namespace {
QStringList privateFolders(const QString &tmp)
{
    return QDir(tmp).entryList({"leafview-headless-*"}, QDir::Dirs | QDir::Hidden);
}

// Renders into a pipe nobody reads, so the run waits with its private folder
// (and the page extracted into its TmpZip) in place until it is stopped.
QProcess *startBlockedRender(const QString &tmp, const QString &book, const QString &pipe)
{
    auto *p = new QProcess;
    QProcessEnvironment env = offscreenEnvironment();
    env.insert("TMPDIR", tmp);
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(LEAFVIEW_BUILD_BIN "/leafview"), {"--render", book, "--out", pipe});
    for (int i = 0; i < 3000 && privateFolders(tmp).isEmpty(); ++i)
        QThread::msleep(10);
    return p;
}
} // namespace

TEST(HeadlessFailure, AStoppedOrKilledRunLeavesNoPrivateFolderBehind)
{
    QTemporaryDir tmp, d;
    const QString book = d.path() + "/book.cbz", pipe = d.path() + "/out.png";
    {
        ZipWriter z(book);
        z.addFile("p.png", TestImages::encoded(8, 8));
    }
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    std::unique_ptr<QProcess> p(startBlockedRender(tmp.path(), book, pipe));
    ASSERT_EQ(privateFolders(tmp.path()).size(), 1);
    p->terminate();
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_TRUE(privateFolders(tmp.path()).isEmpty());

    // Killed outright, the folder stays until the next run clears it away.
    p.reset(startBlockedRender(tmp.path(), book, pipe));
    ASSERT_EQ(privateFolders(tmp.path()).size(), 1);
    p->kill();
    ASSERT_TRUE(p->waitForFinished(30000));
    ASSERT_EQ(privateFolders(tmp.path()).size(), 1);
    QProcessEnvironment env = offscreenEnvironment();
    env.insert("TMPDIR", tmp.path());
    EXPECT_EQ(runProgram(QStringLiteral(LEAFVIEW_BUILD_BIN "/leafview"), {"--list", book}, env).exitCode, 0);
    EXPECT_TRUE(privateFolders(tmp.path()).isEmpty());
}
