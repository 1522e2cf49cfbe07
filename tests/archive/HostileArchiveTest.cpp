#include "FakeHost.h"
#include "archive/TmpZipWriter.h"

#include <sys/stat.h>

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

TEST_F(HostileArchiveTest, DamagedArchivesNeverCrashOrWriteOutside)
{
    // Each kind of archive cut short at many points, and with a byte changed at many points.
    const Files pages = {{"p1.jpg", QByteArray(400, '1')}, {"sub/p2.jpg", QByteArray(400, '2')}, {"p3.jpg", "3"}};
    QStringList damaged;
    for (const QString &whole : {makeZip(at("whole.zip"), pages), makeRar(at("whole4.rar"), RarWriter::Version::Rar4, pages),
                                 makeRar(at("whole5.rar"), RarWriter::Version::Rar5, pages)}) {
        const QByteArray b = readFile(whole);
        const QString suffix = whole.right(4);
        for (int pos = 0; pos < b.size(); pos += 17) {
            QByteArray changed = b;
            changed[pos] = char(changed[pos] ^ 0x5a);
            for (const auto &[kind, bytes] : {std::pair{"cut", b.left(pos)}, std::pair{"changed", changed}}) {
                damaged << at(QString("damaged/%1%2%3").arg(kind).arg(pos).arg(suffix));
                writeFile(damaged.last(), bytes);
            }
        }
    }
    const QStringList before = outsideTmpZip();
    for (const QString &path : damaged)
        readWhole(path);
    EXPECT_EQ(outsideTmpZip(), before);
}

struct BadArchiveCase
{
    const char *name; // an archive written here (see badArchive), "missing", or a pipe
    const char *text; // "%1" stands for the path; "" for no message
};

// The bytes of the unreadable archive a case names; the last character of a RAR case is its version.
QByteArray badArchive(const QString &name)
{
    if (name.startsWith("text."))
        return "this is not an archive at all, just text";
    if (name == "malformed.zip")
        return QByteArray("PK\x03\x04", 4) + QByteArray(40, '0');
    if (name == "bad-directory.zip") {
        // Its directory is sound, so it opens; the one member it lists starts nowhere.
        using RarBytes::le;
        const QByteArray sizes = le(0, 8) + le(4, 4) + le(4, 4) + le(4, 4) + le(5, 2) + le(0, 2);
        const QByteArray local = QByteArray("PK\x03\x04", 4) + le(10, 2) + sizes + "p.jpg" + "page";
        const QByteArray central =
            QByteArray("PK\x01\x02", 4) + le(20, 2) + le(10, 2) + sizes + QByteArray(10, '\0') + le(7, 4) + "p.jpg";
        return local + central + QByteArray("PK\x05\x06", 4) + le(0, 4) + le(1, 2) + le(1, 2) +
               le(quint64(central.size()), 4) + le(quint64(local.size()), 4) + le(0, 2);
    }
    RarWriter w(name.endsWith('5') ? RarWriter::Version::Rar5 : RarWriter::Version::Rar4);
    w.setSolid(name.startsWith("solid"));
    w.setVolume(name.startsWith("volume"));
    w.setHeadersEncrypted(name.startsWith("locked"));
    w.addFile("p1.jpg", QByteArray(300, '1'));
    w.addFile("p2.jpg", QByteArray(300, '2'));
    const QByteArray b = w.bytes();
    if (name.startsWith("cut-header")) // inside the first member's header
        return b.left(b.indexOf("p1.jpg"));
    if (name.startsWith("cut-data")) // inside the first member's data
        return b.left(b.indexOf(QByteArray(300, '1')) + 100);
    return b;
}

using UnreadableArchiveTest = WithCases<ArchiveTest, BadArchiveCase>;

TEST_P(UnreadableArchiveTest, GivesAClearErrorAndAnEmptyListing)
{
    const QString name = GetParam().name;
    const QString path = at(name.contains('.') ? name : "book.rar");
    if (name == "empty.cbz")
        ZipWriter(path).close();
    else if (name.startsWith("pipe")) // would block the reader for as long as nobody writes
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (name != "missing")
        writeFile(path, badArchive(name));
    host.open(path);
    EXPECT_EQ(host.members.upper(), 0);
    const QString expected = QString::fromUtf8(GetParam().text).replace("%1", path);
    ASSERT_EQ(host.prompts.shown.size(), expected.isEmpty() ? 0u : 1u);
    if (!expected.isEmpty()) {
        EXPECT_EQ(host.prompts.shown[0].title, QString::fromUtf8("오류"));
        EXPECT_EQ(host.prompts.shown[0].text, expected);
        EXPECT_EQ(host.prompts.shown[0].icon, MsgIcon::Exclamation);
    }
}

const char *const multiVolume = "%1\n여러 부분으로 나뉜 RAR 압축파일의 한 부분이라 읽을 수 없습니다.";
const char *const locked = "%1: 목록까지 암호가 걸린 압축파일이라 읽을 수 없습니다.";
const char *const cutShort = "%1: 압축파일 안의 파일 정보가 손상되었습니다.";
INSTANTIATE_TEST_SUITE_P(
    Kinds, UnreadableArchiveTest,
    ::testing::Values(BadArchiveCase{"text.rar", "%1\nRAR 압축파일이 아니거나 손상된 파일입니다."}, BadArchiveCase{"missing", "%1\n파일을 열 수 없습니다."},
                      BadArchiveCase{"pipe.cbz", "%1\n파일을 열 수 없습니다."}, BadArchiveCase{"pipe.cbr", "%1\n파일을 열 수 없습니다."},
                      BadArchiveCase{"text.cb7", "%1\n읽을 수 없는 압축파일입니다."}, BadArchiveCase{"text.cbt", "%1\n읽을 수 없는 압축파일입니다."},
                      BadArchiveCase{"solid4", "%1: 솔리드 RAR 4 압축파일은 읽을 수 없습니다."},
                      BadArchiveCase{"volume4", multiVolume}, BadArchiveCase{"volume5", multiVolume},
                      BadArchiveCase{"locked4", locked}, BadArchiveCase{"locked5", locked},
                      BadArchiveCase{"cut-header4", "%1: 압축파일의 머리 정보가 손상되었습니다."},
                      BadArchiveCase{"cut-data4", cutShort}, BadArchiveCase{"cut-data5", cutShort},
                      BadArchiveCase{"empty.cbz", ""}, BadArchiveCase{"malformed.zip", "%1\nZIP 압축파일이 아니거나 손상된 파일입니다."},
                      BadArchiveCase{"bad-directory.zip", "%1\nZIP 압축파일이 아니거나 손상된 파일입니다."}),
    CaseName());

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
