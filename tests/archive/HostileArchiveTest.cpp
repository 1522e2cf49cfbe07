#include "FakeHost.h"
#include "support/RarWriter.h"
#include "support/ZipWriter.h"
#include "archive/Cls_Rar.h"
#include "archive/Mo_Rar.h"
#include "archive/Mo_Unzip.h"
#include "archive/TmpZipWriter.h"
#include "archive/cUnzip.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString fixture(const QString &rel)
{
    return QStringLiteral(LEAFVIEW_FIXTURES) + QLatin1Char('/') + rel;
}

// The archive and the program folder live in separate folders under one root, so
// anything written beside TmpZip, or above the program folder, shows in the root.
class HostileArchiveTest : public ::testing::Test
{
protected:
    QTemporaryDir root;
    QString programFolder() const { return root.path() + "/app/bin"; }
    QString archives() const { return root.path() + "/archives"; }
    std::unique_ptr<FakeHost> host;
    QStringList before;

    void SetUp() override
    {
        QDir().mkpath(programFolder());
        QDir().mkpath(archives());
        host = std::make_unique<FakeHost>(programFolder());
    }
    void snapshot() { before = outsideTmpZip(); }
    QStringList outsideTmpZip() const
    {
        QStringList all = treeOf(root.path());
        all.removeIf([](const QString &p) { return p.startsWith("app/bin/TmpZip/"); });
        return all;
    }
    void expectNothingOutside() { EXPECT_EQ(outsideTmpZip(), before); }
};

TEST_F(HostileArchiveTest, ZipNamesNeverLeadOutOfTmpZip)
{
    const QString zip = archives() + "/evil.zip";
    {
        ZipWriter z(zip);
        z.addFile("../../x.jpg", "dots");
        z.addFile("/abs/y.jpg", "absolute");
        z.addFile("..", "dots only");
        z.addFile("dir/../../z.jpg", "middle dots");
        z.addRawName("..\\..\\w.jpg", "backslashes");
        z.addSymlink("link.jpg", "/etc/passwd");
        z.addSymlink("../up.jpg", "../../x");
        ASSERT_TRUE(z.close());
    }
    snapshot();
    host->openZip(zip);
    ASSERT_EQ(host->prog.ZipReader->FileCount(), 7);
    for (int i = 1; i <= 7; ++i) {
        const cUnzip &r = *host->prog.ZipReader;
        QString member = r.FileDirectory(i).isEmpty() ? r.FileName(i) : r.FileDirectory(i) + "/" + r.FileName(i);
        Mo_Unzip::ExtractZipMember(*host, zip, member);
    }
    expectNothingOutside();
    EXPECT_EQ(host->tmpFiles(), (QStringList{"w.jpg", "x.jpg", "y.jpg", "z.jpg"}));
}

TEST_F(HostileArchiveTest, RarNamesNeverLeadOutOfTmpZip)
{
    RarWriter w(RarWriter::Version::Rar4);
    w.addFile("../../x.jpg", "dots");
    w.addFile("/abs/y.jpg", "absolute");
    w.addRawName("..\\..\\w.jpg", "backslashes");
    w.addFile("..", "dots only");
    const QString rar = archives() + "/evil.rar";
    ASSERT_TRUE(w.write(rar));
    snapshot();
    host->openRar(rar);
    for (qint16 i = 1; i <= host->prog.RarReader->Get_FileCount(); ++i)
        host->prog.RarReader->setRarSelected(i, true);
    host->prog.RarReader->UnCompressRAR(0, rar, host->tmpZip(), QString(), false);
    expectNothingOutside();
    for (const QString &f : host->tmpFiles())
        EXPECT_TRUE(QStringList({"w.jpg", "x.jpg", "y.jpg"}).contains(f)) << f.toStdString();
}

TEST_F(HostileArchiveTest, ALinkAlreadyInTmpZipIsNeitherFollowedNorWrittenThrough)
{
    const QString target = root.path() + "/victim.jpg";
    QFile v(target);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write("untouched");
    v.close();
    ASSERT_TRUE(QFile::link(target, host->tmpZip() + "/p.jpg"));
    const QString zip = archives() + "/a.zip";
    {
        ZipWriter z(zip);
        z.addFile("p.jpg", "zip page");
    }
    RarWriter w(RarWriter::Version::Rar5);
    w.addFile("p.jpg", "rar page");
    ASSERT_TRUE(w.write(archives() + "/a.rar"));
    Mo_Unzip::ExtractZipMember(*host, zip, "p.jpg");
    EXPECT_EQ(readFile(target), "untouched");
    host->openRar(archives() + "/a.rar");
    host->prog.RarReader->setRarSelected(1, true);
    host->prog.RarReader->UnCompressRAR(0, archives() + "/a.rar", host->tmpZip(), QString(), false);
    EXPECT_EQ(readFile(target), "untouched");
    EXPECT_FALSE(QFileInfo(host->tmpZip() + "/p.jpg").isSymLink());
    EXPECT_EQ(readFile(host->tmpZip() + "/p.jpg"), "rar page");
}

TEST_F(HostileArchiveTest, AMemberInflatingPastTheLimitLeavesNoFile)
{
    const QString zip = archives() + "/bomb.zip";
    {
        ZipWriter z(zip);
        z.addFile("ok.jpg", "fine");
        ASSERT_TRUE(z.addZeros("bomb.jpg", TmpZipWriter::MemberCap + 1024 * 1024));
        ASSERT_TRUE(z.close());
    }
    EXPECT_LT(QFileInfo(zip).size(), 4 * 1024 * 1024);
    snapshot();
    host->openZip(zip);
    Mo_Unzip::ExtractZipMember(*host, zip, "bomb.jpg");
    Mo_Unzip::ExtractZipMember(*host, zip, "ok.jpg");
    EXPECT_EQ(host->tmpFiles(), QStringList{"ok.jpg"});
    expectNothingOutside();
}

TEST_F(HostileArchiveTest, AMemberLyingAboutItsSizeStopsAtTheLimit)
{
    const QString zip = archives() + "/liar.zip";
    {
        ZipWriter z(zip);
        ASSERT_TRUE(z.addZeros("liar.jpg", 3 * 1024 * 1024));
        z.addFile("honest.jpg", QByteArray(1000, 'h'));
        ASSERT_TRUE(z.close());
    }
    ASSERT_TRUE(ZipWriter::patchDeclaredSize(zip, "liar.jpg", 1000));
    TmpZipWriter::setCapForTesting(1024 * 1024);
    host->openZip(zip);
    Mo_Unzip::ExtractZipMember(*host, zip, "liar.jpg");
    Mo_Unzip::ExtractZipMember(*host, zip, "honest.jpg");
    TmpZipWriter::setCapForTesting(0);
    EXPECT_EQ(host->tmpFiles(), QStringList{"honest.jpg"});
}

TEST_F(HostileArchiveTest, DamagedFixturesNeverCrashOrWriteOutside)
{
    snapshot();
    const QDir fixtures(fixture("libarchive"));
    for (const QString &name : fixtures.entryList(QDir::Files)) {
        const QString path = fixtures.filePath(name);
        if (name.endsWith(".zip")) {
            host->openZip(path);
            Mo_Unzip::SelectZipVolume(*host, "/");
            for (int i = 1; i <= host->prog.ZipReader->FileCount(); ++i) {
                const cUnzip &r = *host->prog.ZipReader;
                Mo_Unzip::ExtractZipMember(*host, path,
                                           r.FileDirectory(i).isEmpty() ? r.FileName(i)
                                                                        : r.FileDirectory(i) + "/" + r.FileName(i));
            }
        } else {
            host->openRar(path);
            for (qint16 i = 1; i <= host->prog.RarReader->Get_FileCount(); ++i)
                host->prog.RarReader->setRarSelected(i, true);
            host->prog.RarReader->UnCompressRAR(0, path, host->tmpZip(), QString(), false);
        }
        for (const QString &f : host->tmpFiles())
            EXPECT_FALSE(f.startsWith(".leafview-part")) << "no partial file survives: " << f.toStdString();
    }
    expectNothingOutside();
}
} // namespace
