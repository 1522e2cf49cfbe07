#include "FakeHost.h"
#include "archive/TmpZipWriter.h"

namespace {
using HostileArchiveTest = ArchiveTest;

TEST_F(HostileArchiveTest, MemberNamesAndLinksNeverLeadOutOfTmpZip)
{
    {
        ZipWriter z(at("evil.zip"));
        for (const char *name : {"../../x.jpg", "/abs/y.jpg", "..", "dir/../../z.jpg"})
            z.addFile(name, name);
        z.addRawName("..\\..\\w.jpg", "backslashes");
        z.addSymlink("link.jpg", "/etc/passwd");
        z.addSymlink("../up.jpg", "../../x");
    }
    RarWriter w(RarWriter::Version::Rar4);
    for (const char *name : {"../../x.jpg", "/abs/y.jpg", ".."})
        w.addFile(name, name);
    w.addRawName("..\\..\\w.jpg", "backslashes");
    w.write(at("evil.rar"));
    const QStringList before = outsideTmpZip();
    host.openZip(at("evil.zip"));
    ASSERT_EQ(host.zip().FileCount(), 7);
    host.extractAll(at("evil.zip"));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"w.jpg", "x.jpg", "y.jpg", "z.jpg"}));
    host.openRar(at("evil.rar"));
    host.extractAll(at("evil.rar"));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"w.jpg", "x.jpg", "y.jpg", "z.jpg"}));
    EXPECT_EQ(outsideTmpZip(), before);
}

TEST_F(HostileArchiveTest, ALinkAlreadyInTmpZipIsNeitherFollowedNorWrittenThrough)
{
    writeFile(at("victim.jpg"), "untouched");
    ASSERT_TRUE(QFile::link(at("victim.jpg"), host.tmpZip() + "/p.jpg"));
    host.openZip(makeZip(at("a.zip"), {{"p.jpg", "zip page"}}));
    host.extractAll(at("a.zip"));
    EXPECT_EQ(readFile(at("victim.jpg")), "untouched");
    host.openRar(makeRar(at("a.rar"), RarWriter::Version::Rar5, {{"p.jpg", "rar page"}}));
    host.extractAll(at("a.rar"));
    EXPECT_EQ(readFile(at("victim.jpg")), "untouched");
    EXPECT_FALSE(QFileInfo(host.tmpZip() + "/p.jpg").isSymLink());
    EXPECT_EQ(readFile(host.tmpZip() + "/p.jpg"), "rar page");
}

TEST_F(HostileArchiveTest, AMemberInflatingPastTheLimitLeavesNoFile)
{
    {
        ZipWriter z(at("bomb.zip"));
        z.addFile("ok.jpg", "fine");
        ASSERT_TRUE(z.addZeros("bomb.jpg", TmpZipWriter::MemberCap + 1024 * 1024));
    }
    EXPECT_LT(QFileInfo(at("bomb.zip")).size(), 4 * 1024 * 1024);
    const QStringList before = outsideTmpZip();
    host.openZip(at("bomb.zip"));
    host.extractAll(at("bomb.zip"));
    EXPECT_EQ(host.tmpFiles(), QStringList{"ok.jpg"});
    EXPECT_EQ(outsideTmpZip(), before);
}

TEST_F(HostileArchiveTest, DamagedFixturesNeverCrashOrWriteOutside)
{
    const QStringList before = outsideTmpZip();
    const QDir fixtures(fixture("libarchive"));
    for (const QString &name : fixtures.entryList(QDir::Files)) {
        host.open(fixtures.filePath(name), name.endsWith(".rar"));
        host.selectVolume("/");
        host.extractAll(fixtures.filePath(name));
        for (const QString &f : host.tmpFiles())
            EXPECT_FALSE(f.startsWith(".leafview-part")) << "no partial file survives: " << f.toStdString();
    }
    EXPECT_EQ(outsideTmpZip(), before);
}

struct BadArchiveCase
{
    const char *name; // fixture, or a RAR written here: "@text", "@solid", "@volume4", "@volume5", "@missing"
    const char *text; // "%1" stands for the path; "" for no message
};

void PrintTo(const BadArchiveCase &c, std::ostream *os)
{
    *os << c.name;
}

class UnreadableArchiveTest : public ArchiveTest, public ::testing::WithParamInterface<BadArchiveCase>
{
};

TEST_P(UnreadableArchiveTest, GivesAClearErrorAndAnEmptyListing)
{
    const QString name = GetParam().name;
    const QString path = name.startsWith('@') ? at("book.rar") : fixture(name);
    RarWriter w(name == "@volume5" ? RarWriter::Version::Rar5 : RarWriter::Version::Rar4);
    w.setSolid(name == "@solid");
    w.setVolume(name.startsWith("@volume"));
    w.addFile("p1.jpg", "1");
    if (name.startsWith('@') && name != "@missing")
        writeFile(path, name == "@text" ? QByteArray("this is not an archive at all, just text") : w.bytes());
    host.open(path, !name.endsWith(".zip") && !name.endsWith(".cbz"));
    EXPECT_EQ(host.members.upper(), 0);
    const QString expected = QString::fromUtf8(GetParam().text).replace("%1", path);
    ASSERT_EQ(host.prompts.shown.size(), expected.isEmpty() ? 0u : 1u);
    if (!expected.isEmpty()) {
        EXPECT_EQ(host.prompts.shown[0].title, "Error");
        EXPECT_EQ(host.prompts.shown[0].text, expected);
        EXPECT_EQ(host.prompts.shown[0].icon, MsgIcon::Exclamation);
    }
}

const char *const multiVolume = "%1 is one part of a multi-volume RAR archive, which cannot be read";
INSTANTIATE_TEST_SUITE_P(
    Kinds, UnreadableArchiveTest,
    ::testing::Values(BadArchiveCase{"@text", "%1 is not RAR archive"}, BadArchiveCase{"@missing", "Cannot open %1"},
                      BadArchiveCase{"@solid", "%1: solid RAR 4 archives cannot be read"},
                      BadArchiveCase{"@volume4", multiVolume}, BadArchiveCase{"@volume5", multiVolume},
                      BadArchiveCase{"libarchive/test_read_format_rar_multivolume.part0001.rar", multiVolume},
                      BadArchiveCase{"libarchive/test_read_format_rar_encryption_header.rar",
                                     "%1: the archive is encrypted and cannot be read"},
                      BadArchiveCase{"libarchive/test_read_format_rar5_truncated_huff.rar", "%1: archive header broken"},
                      BadArchiveCase{"libarchive/test_read_format_rar_invalid1.rar", "File header broken"},
                      BadArchiveCase{"comicbox/empty.cbz", ""},
                      BadArchiveCase{"libarchive/test_read_format_zip_malformed1.zip", "%1 is not ZIP archive"}));

TEST(ClearFolder, EmptiesTmpZipButTheKeptFileAndLeavesLinkTargetsAlone)
{
    QTemporaryDir dir;
    const QString tmp = dir.path() + "/TmpZip", outside = dir.path() + "/outside/precious.jpg";
    for (const char *name : {"/inner.zip", "/.hidden", "/sub/deeper/p2.jpg", "/ro.jpg"})
        writeFile(tmp + name, name);
    QFile::setPermissions(tmp + "/ro.jpg", QFileDevice::ReadOwner);
    writeFile(outside, "mine");
    ASSERT_TRUE(QFile::link(dir.path() + "/outside", tmp + "/dirlink"));
    ASSERT_TRUE(QFile::link(outside, tmp + "/filelink.jpg"));
    QString log;
    EXPECT_TRUE(Mo_Unzip::ClearFolder(tmp, tmp + "/inner.zip", tmp, log));
    EXPECT_EQ(treeOf(tmp), QStringList{"inner.zip"});
    EXPECT_EQ(readFile(tmp + "/inner.zip"), "/inner.zip");
    EXPECT_EQ(readFile(outside), "mine");
    EXPECT_TRUE(Mo_Unzip::ClearFolder(tmp, QString(), tmp, log));
    EXPECT_TRUE(QFileInfo(tmp).isDir());
    EXPECT_TRUE(treeOf(tmp).isEmpty());
    EXPECT_TRUE(log.isEmpty());
}
} // namespace
