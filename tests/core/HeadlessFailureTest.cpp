// What the headless modes tell a script about books they cannot show.
#include "RunLeafview.h"
#include "TestImages.h"
#include "ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
void writeBytes(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}
} // namespace

TEST(HeadlessFailure, ListWritesOneLinePerPageWhateverTheNamesHold)
{
    QTemporaryDir d;
    {
        ZipWriter z(d.path() + "/forged.cbz");
        z.addFile("a\nvolume\t9\n.jpg", "1");
        z.addFile("b\rc\u2028.jpg", "2");
    }
    const ProcessResult r = runLeafview({"--list", d.path() + "/forged.cbz"});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, QStringLiteral("/\t2\n\ta\\x0avolume\\x099\\x0a.jpg\n\tb\\x0dc\\u2028.jpg\n"));
}

TEST(HeadlessFailure, RenderFailsWhenThePageCannotBeDrawn)
{
    QTemporaryDir d;
    TestImages::writeWithFolders(d.path() + "/book/a.png", 40, 30);
    writeBytes(d.path() + "/book/b.png", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(200, 'x'));
    const QString out = d.path() + "/out.png";
    ProcessResult r = runLeafview({"--render", d.path() + "/book", "--out", out, "--page", "0"});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    r = runLeafview({"--render", d.path() + "/book", "--out", out, "--page", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("b.png")) << qPrintable(r.err);
    r = runLeafview({"--render", d.path() + "/book", "--out", out, "--page", "2"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(r.err.isEmpty());
}
