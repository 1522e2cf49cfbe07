#include "FakeHost.h"
#include "platform/LegacyCodePage.h"

#include <QStringEncoder>

namespace {
using ZipReaderTest = ArchiveTest;
using RarReaderTest = ArchiveTest;

TEST_F(ZipReaderTest, ListsFilesWithoutFolderEntriesAndExtractsFlatNeverOverwriting)
{
    {
        ZipWriter z(at("book.zip"));
        z.addFile("p3.jpg", "3");
        z.addFolder("dir/");
        z.addFile("x/a[1].jpg", "same name, other folder");
        z.addFile("dir/sub/a[1].jpg", "bracket page", true);
        z.addFile("dir/sub/A1.jpg", "look-alike");
    }
    host.openZip(at("book.zip"));
    ASSERT_EQ(host.zip().FileCount(), 4);
    const QStringList names = {"p3.jpg", "a[1].jpg", "a[1].jpg", "A1.jpg"};
    const QStringList folders = {"", "x", "dir\\sub", "dir\\sub"};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(host.zip().FileName(i), names[i - 1]);
        EXPECT_EQ(host.zip().FileDirectory(i), folders[i - 1]);
    }
    Mo_Unzip::ExtractZipMember(host, at("book.zip"), "dir\\sub\\a[1].jpg");
    Mo_Unzip::ExtractZipMember(host, at("book.zip"), "dir/sub/a[2].jpg"); // not in the archive
    EXPECT_EQ(host.tmpFiles(), QStringList{"a[1].jpg"});
    host.extractAll(at("book.zip")); // a file already in TmpZip is never overwritten
    EXPECT_EQ(readFile(host.tmpZip() + "/a[1].jpg"), "bracket page");
    EXPECT_EQ(host.tmpFiles(), (QStringList{"A1.jpg", "a[1].jpg", "p3.jpg"}));
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_F(ZipReaderTest, LegacyNamesWithoutTheUtf8FlagFollowTheCodePage)
{
    QStringEncoder cp949("CP949");
    const QString folder = QString::fromUtf8("만화책"), page = QString::fromUtf8("첫장[1].jpg");
    {
        ZipWriter z(at("book.zip"));
        z.addRawName(cp949.encode(folder + "/" + page), "page one");
        z.addFile(QString::fromUtf8("유니코드/둘째.jpg"), "page two");
    }
    host.openZip(at("book.zip"));
    ASSERT_EQ(host.zip().FileCount(), 2);
    EXPECT_EQ(host.zip().FileDirectory(1), folder);
    EXPECT_EQ(host.zip().FileName(1), page);
    EXPECT_EQ(host.zip().FileName(2), QString::fromUtf8("둘째.jpg"));
    Mo_Unzip::ExtractZipMember(host, at("book.zip"), folder + "/" + page);
    EXPECT_EQ(readFile(host.tmpZip() + "/" + page), "page one");

    // A Japanese archive: listed under the default code page, read right under its own.
    {
        ZipWriter z(at("jp.zip"));
        z.addRawName(QStringEncoder("Shift_JIS").encode(QString::fromUtf8("表だよ/一覧表.txt")), "list");
        z.addFile("b.txt", "plain");
    }
    host.openZip(at("jp.zip"));
    EXPECT_EQ(host.zip().FileCount(), 2) << "an undecodable name is still listed, never a crash";
    LegacyCodePage::setName("CP932");
    host.openZip(at("jp.zip"));
    LegacyCodePage::setName("CP949");
    ASSERT_EQ(host.zip().FileCount(), 2);
    EXPECT_EQ(host.zip().FileDirectory(1), QString::fromUtf8("表だよ"));
    EXPECT_EQ(host.zip().FileName(1), QString::fromUtf8("一覧表.txt"));
}

TEST_F(ZipReaderTest, LockedPagesAreLeftOutAndTheReaderIsToldOnce)
{
    for (const char *method : {"zipcrypt", "aes256"}) {
        host.prompts.shown.clear();
        const QString path = at(QString::fromLatin1(method) + ".cbz");
        {
            ZipWriter z(path, {method, "secret"});
            z.addFile("p1.jpg", "hidden page");
            z.addFile("p2.jpg", "hidden page");
        }
        host.openZip(path);
        EXPECT_EQ(host.members.upper(), 0) << method;
        ASSERT_EQ(host.prompts.shown.size(), 1u) << method;
        EXPECT_EQ(host.prompts.shown[0].text, path + QString::fromUtf8("\n암호가 걸린 압축파일이라 볼 수 없습니다."));
    }
}

TEST_F(ZipReaderTest, EncryptedRarMembersAreSkippedSilently)
{
    for (auto version : {RarWriter::Version::Rar4, RarWriter::Version::Rar5}) {
        RarWriter w(version);
        w.addEncryptedFile("locked.jpg", "ciphertext");
        w.addFile(version == RarWriter::Version::Rar4 ? "plain4.jpg" : "plain5.jpg", "open page");
        writeFile(at(version == RarWriter::Version::Rar4 ? "locked4.rar" : "locked5.rar"), w.bytes());
    }
    for (const char *name : {"locked4.rar", "locked5.rar"}) {
        host.open(at(name));
        ASSERT_GT(host.members.upper(), 0) << name;
        host.extractAll(at(name));
    }
    EXPECT_EQ(host.tmpFiles(), (QStringList{"plain4.jpg", "plain5.jpg"}));
    EXPECT_TRUE(host.prompts.shown.empty());
}

using RarFormatTest = WithCases<ArchiveTest, RarWriter::Version>;

TEST_P(RarFormatTest, ListsEveryHeaderInOrderWithLowerCasedFoldersAndExtractsAVolumeWhole)
{
    RarWriter w(GetParam());
    w.addFolder("Vol1");
    w.addFile("Vol1/p2.jpg", "two");
    w.addFile("Vol1/P1.jpg", "one");
    w.addFile("Vol1/Sub/p3.jpg", "deeper");
    w.addFile("notes.txt", "not a page");
    writeFile(at("book.rar"), w.bytes());
    host.openRar(at("book.rar"));
    ASSERT_EQ(host.rar().count(), 5);
    const QStringList names = {"Vol1", "p2.jpg", "P1.jpg", "p3.jpg", "notes.txt"};
    const QStringList folders = {"", "vol1", "vol1", "vol1\\sub", ""};
    for (qint16 i = 1; i <= 5; ++i) {
        EXPECT_EQ(host.rar().member(i).fileName, names[i - 1]);
        EXPECT_EQ(host.rar().member(i).folder, folders[i - 1]);
    }
    writeFile(host.tmpZip() + "/old.jpg", "");
    host.selectVolume("vol1");
    EXPECT_EQ(host.pages(), (QStringList{"P1.jpg", "p2.jpg"}));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"P1.jpg", "p2.jpg"}));
    EXPECT_EQ(readFile(host.tmpZip() + "/P1.jpg"), "one");
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_P(RarFormatTest, TheLaterOfTwoSameNamedMembersReplacesTheEarlier)
{
    writeFile(host.tmpZip() + "/p.jpg", "stale");
    host.openRar(makeRar(at("book.rar"), GetParam(), {{"a/p.jpg", "from a"}, {"b/p.jpg", "from b"}}));
    host.extractAll(at("book.rar"));
    EXPECT_EQ(host.tmpFiles(), QStringList{"p.jpg"});
    EXPECT_EQ(readFile(host.tmpZip() + "/p.jpg"), "from b");
}

TEST_P(RarFormatTest, AMemberFailingItsChecksumOrCutShortLeavesNoFile)
{
    makeRar(at("book.rar"), GetParam(), {{"p1.jpg", QByteArray(300, '1')}, {"p2.jpg", QByteArray(300, '2')},
                                         {"p3.jpg", QByteArray(300, '3')}});
    QByteArray b = readFile(at("book.rar"));
    b[b.indexOf(QByteArray(300, '2')) + 10] = 'X';
    writeFile(at("book.rar"), b);
    host.openRar(at("book.rar"));
    ASSERT_EQ(host.rar().count(), 3);
    // The file is cut short on disk between listing and extraction.
    writeFile(at("book.rar"), b.left(b.indexOf(QByteArray(300, '3')) + 100));
    host.selectVolume("/");
    EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "p2.jpg", "p3.jpg"}));
    EXPECT_EQ(host.tmpFiles(), QStringList{"p1.jpg"});
}

INSTANTIATE_TEST_SUITE_P(Formats, RarFormatTest, ::testing::Values(RarWriter::Version::Rar4, RarWriter::Version::Rar5),
                         [](const auto &info) { return info.param == RarWriter::Version::Rar4 ? "Rar4" : "Rar5"; });

TEST_F(RarReaderTest, Rar4KoreanNamesWithoutTheUnicodeFlagAreReadAsCp949)
{
    QStringEncoder cp949("CP949");
    const QString folder = QString::fromUtf8("제1권"), page = QString::fromUtf8("표지.jpg");
    RarWriter w(RarWriter::Version::Rar4);
    w.addRawName(cp949.encode(folder + "\\" + page), "cover");
    w.addFile(QString::fromUtf8("제1권/둘째.jpg"), "second");
    writeFile(at("book.rar"), w.bytes());
    host.openRar(at("book.rar"));
    ASSERT_EQ(host.rar().count(), 2);
    EXPECT_EQ(host.rar().member(1).folder, folder);
    EXPECT_EQ(host.rar().member(1).fileName, page);
    host.selectVolume(folder);
    EXPECT_EQ(readFile(host.tmpZip() + "/" + page), "cover");
    EXPECT_EQ(readFile(host.tmpZip() + "/" + QString::fromUtf8("둘째.jpg")), "second");
}

} // namespace
