#include "FakeHost.h"
#include "support/ZipWriter.h"
#include "archive/Mo_Unzip.h"
#include "archive/cUnzip.h"
#include "platform/LegacyCodePage.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray cp949(const QString &s)
{
    QStringEncoder enc("CP949");
    QByteArray b = enc.encode(s);
    EXPECT_FALSE(enc.hasError());
    return b;
}

QString fixture(const QString &rel)
{
    return QStringLiteral(LEAFVIEW_FIXTURES) + QLatin1Char('/') + rel;
}

class ZipReaderTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    FakeHost host{dir.path()};
    QString zipPath() const { return dir.path() + "/book.zip"; }
    cUnzip &reader() { return *host.prog.ZipReader; }
    void extract(const QString &member) { Mo_Unzip::ExtractZipMember(host, zipPath(), member); }
};

TEST_F(ZipReaderTest, ListsMembersInArchiveOrderWithoutFolderEntries)
{
    {
        ZipWriter z(zipPath());
        z.addFile("p3.jpg", "3");
        z.addFolder("vol1/");
        z.addFile("vol1/p1.jpg", "1");
        z.addFile("vol1/sub/P2.jpg", "2", true);
        z.addFile("a[1].jpg", "a");
        ASSERT_TRUE(z.close());
    }
    host.openZip(zipPath());
    ASSERT_EQ(reader().FileCount(), 4);
    const QStringList names = {"p3.jpg", "p1.jpg", "P2.jpg", "a[1].jpg"};
    const QStringList folders = {"", "vol1", "vol1\\sub", ""};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(reader().FileName(i), names[i - 1]);
        EXPECT_EQ(reader().FileDirectory(i), folders[i - 1]);
        EXPECT_FALSE(reader().FileSelected(i));
    }
    EXPECT_THROW(reader().FileName(5), std::out_of_range);
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_F(ZipReaderTest, ExtractsOneMemberFlatByItsFullPath)
{
    {
        ZipWriter z(zipPath());
        z.addFile("x/a[1].jpg", "wrong folder");
        z.addFile("dir/sub/a[1].jpg", "bracket page");
        z.addFile("dir/sub/a1.jpg", "look-alike");
        ASSERT_TRUE(z.close());
    }
    host.openZip(zipPath());
    extract("dir\\sub\\a[1].jpg");
    EXPECT_EQ(host.tmpFiles(), QStringList{"a[1].jpg"});
    EXPECT_EQ(readFile(host.tmpZip() + "/a[1].jpg"), "bracket page");
    // A member that is not in the archive writes nothing.
    extract("dir/sub/a[2].jpg");
    EXPECT_EQ(host.tmpFiles(), QStringList{"a[1].jpg"});
}

TEST_F(ZipReaderTest, NeverOverwritesAFileAlreadyInTmpZip)
{
    {
        ZipWriter z(zipPath());
        z.addFile("a/p.jpg", "from a");
        z.addFile("b/p.jpg", "from b");
        z.addFile("c/q.jpg", "from c");
        ASSERT_TRUE(z.close());
    }
    QFile old(host.tmpZip() + "/q.jpg");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("already here");
    old.close();
    host.openZip(zipPath());
    cUnzip &r = reader();
    r.setUnzipFolder(host.tmpZip());
    EXPECT_EQ(r.File_ExtractUnzip(zipPath(), "a/p.jpg"), std::optional<bool>(true));
    EXPECT_EQ(r.File_ExtractUnzip(zipPath(), "b/p.jpg"), std::optional<bool>(false));
    EXPECT_EQ(r.File_ExtractUnzip(zipPath(), "c/q.jpg"), std::optional<bool>(false));
    EXPECT_EQ(r.File_ExtractUnzip(QString(), "c/q.jpg"), std::nullopt);
    EXPECT_EQ(readFile(host.tmpZip() + "/p.jpg"), "from a");
    EXPECT_EQ(readFile(host.tmpZip() + "/q.jpg"), "already here");
    EXPECT_EQ(host.tmpFiles(), (QStringList{"p.jpg", "q.jpg"}));
}

TEST_F(ZipReaderTest, SelectingAVolumeEmptiesTmpZipAndListsItsPagesSorted)
{
    {
        ZipWriter z(zipPath());
        z.addFile("vol1/p3.jpg", "3");
        z.addFile("vol1/p1.jpg", "1");
        z.addFile("vol1/P2.jpg", "2");
        z.addFile("vol2/p1.jpg", "other");
        z.addFile("cover.jpg", "c");
        ASSERT_TRUE(z.close());
    }
    QFile junk(host.tmpZip() + "/leftover.jpg");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.close();
    host.openZip(zipPath());
    Mo_Unzip::SelectZipVolume(host, "vol1");
    EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "P2.jpg", "p3.jpg"}));
    EXPECT_TRUE(host.tmpFiles().isEmpty()) << "pages are extracted when drawn, and old ones are gone";
    EXPECT_EQ(reader().UnzipFolder(), host.tmpZip());
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(reader().FileSelected(i), i <= 3) << i;
    // Drawing a page of that volume extracts it.
    extract("vol1/P2.jpg");
    EXPECT_EQ(readFile(host.tmpZip() + "/P2.jpg"), "2");
}

TEST_F(ZipReaderTest, MissingTmpZipIsReportedWhenAVolumeIsSelected)
{
    QTemporaryDir other;
    FakeHost bare(other.path(), false);
    {
        ZipWriter z(other.path() + "/b.zip");
        z.addFile("p.jpg", "p");
    }
    bare.openZip(other.path() + "/b.zip");
    Mo_Unzip::SelectZipVolume(bare, "/");
    ASSERT_EQ(bare.prompts.shown.size(), 1u);
    EXPECT_EQ(bare.prompts.shown[0].title, "Extract folder does not exist");
    EXPECT_EQ(bare.prompts.shown[0].text, bare.tmpZip() + " does not exist!");
    EXPECT_EQ(bare.prompts.shown[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(bare.pages().isEmpty());
}

TEST_F(ZipReaderTest, KoreanNamesWithoutTheUtf8FlagAreReadAsCp949)
{
    const QString folder = QString::fromUtf8("만화책");
    const QString page = QString::fromUtf8("첫장[1].jpg");
    {
        ZipWriter z(zipPath());
        z.addRawName(cp949(folder) + "/" + cp949(page), "page one");
        z.addFile(QString::fromUtf8("유니코드/둘째.jpg"), "page two");
        ASSERT_TRUE(z.close());
    }
    host.openZip(zipPath());
    ASSERT_EQ(reader().FileCount(), 2);
    EXPECT_EQ(reader().FileDirectory(1), folder);
    EXPECT_EQ(reader().FileName(1), page);
    EXPECT_EQ(reader().FileName(2), QString::fromUtf8("둘째.jpg"));
    extract(folder + "/" + page);
    extract(QString::fromUtf8("유니코드/둘째.jpg"));
    EXPECT_EQ(readFile(host.tmpZip() + "/" + page), "page one");
    EXPECT_EQ(readFile(host.tmpZip() + "/" + QString::fromUtf8("둘째.jpg")), "page two");
}

TEST_F(ZipReaderTest, JapaneseNamesFollowTheCodePageSetting)
{
    const QString cp932 = fixture("libarchive/test_read_format_zip_filename_cp932.zip");
    host.openZip(cp932);
    EXPECT_EQ(reader().FileCount(), 2) << "an undecodable name is still listed, never a crash";
    LegacyCodePage::setName("CP932");
    host.openZip(cp932);
    LegacyCodePage::setName("CP949");
    ASSERT_EQ(reader().FileCount(), 2);
    EXPECT_EQ(reader().FileDirectory(1), QString::fromUtf8("表だよ"));
    EXPECT_EQ(reader().FileName(1), QString::fromUtf8("一覧表.txt"));
    EXPECT_EQ(reader().FileName(2), QString::fromUtf8("漢字.txt"));
}

TEST_F(ZipReaderTest, EncryptedMembersAreSkippedWithoutAPrompt)
{
    {
        ZipWriter z(zipPath(), {"zipcrypt", "secret"});
        z.addFile("locked.jpg", "hidden page");
        ASSERT_TRUE(z.close());
    }
    host.openZip(zipPath());
    ASSERT_EQ(reader().FileCount(), 1);
    int asked = 0;
    QObject::connect(&reader(), &cUnzip::PasswordRequest, [&](QString &pw, bool &) {
        ++asked;
        EXPECT_TRUE(pw.isEmpty());
    });
    extract("locked.jpg");
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(host.tmpFiles().isEmpty());
    EXPECT_TRUE(host.prompts.shown.empty());

    for (const char *f : {"libarchive/test_read_format_zip_traditional_encryption_data.zip",
                          "libarchive/test_read_format_zip_encryption_data.zip"}) {
        host.openZip(fixture(f));
        for (int i = 1; i <= reader().FileCount(); ++i)
            Mo_Unzip::ExtractZipMember(host, fixture(f), reader().FileName(i));
    }
    EXPECT_TRUE(host.tmpFiles().isEmpty());
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_F(ZipReaderTest, APasswordGivenByASubscriberIsUsed)
{
    {
        ZipWriter z(zipPath(), {"zipcrypt", "secret"});
        z.addFile("locked.jpg", "hidden page");
        ASSERT_TRUE(z.close());
    }
    host.openZip(zipPath());
    QObject::connect(&reader(), &cUnzip::PasswordRequest, [](QString &pw, bool &) { pw = " secret "; });
    extract("locked.jpg");
    EXPECT_EQ(readFile(host.tmpZip() + "/locked.jpg"), "hidden page");
}

TEST_F(ZipReaderTest, SmallMembersRaiseTheCancelQuestionAndACancelSkipsThem)
{
    {
        ZipWriter z(zipPath());
        z.addFile("small.jpg", QByteArray(100, 's'));
        z.addFile("tiny.jpg", "t");
        ASSERT_TRUE(z.close());
    }
    host.openZip(zipPath());
    QStringList asked;
    QObject::connect(&reader(), &cUnzip::Cancel, [&](const QString &msg, bool &cancel) {
        asked << msg;
        cancel = true;
    });
    extract("small.jpg");
    extract("tiny.jpg");
    EXPECT_EQ(asked, QStringList{QString::fromUtf8("잘못된 파일형식입니다.")});
    EXPECT_EQ(host.tmpFiles(), QStringList{"tiny.jpg"});
}

struct BadZipCase
{
    const char *name;
    const char *message; // suffix after the path, or "" for none
};

class UnreadableZipTest : public ZipReaderTest, public ::testing::WithParamInterface<BadZipCase>
{
};

TEST_P(UnreadableZipTest, GivesAClearMessageAndAnEmptyListing)
{
    const QString path = fixture(GetParam().name);
    host.openZip(path);
    EXPECT_EQ(reader().FileCount(), 0);
    const QString expected = QString::fromUtf8(GetParam().message);
    if (expected.isEmpty()) {
        EXPECT_TRUE(host.prompts.shown.empty());
        return;
    }
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_EQ(host.prompts.shown[0].title, "Error");
    EXPECT_EQ(host.prompts.shown[0].text, path + expected);
    EXPECT_EQ(host.prompts.shown[0].icon, MsgIcon::Exclamation);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, UnreadableZipTest,
                         ::testing::Values(BadZipCase{"comicbox/empty.cbz", ""},
                                           BadZipCase{"libarchive/test_read_format_zip_malformed1.zip", " is not ZIP archive"},
                                           BadZipCase{"libarchive/test_read_format_zip_bz2_hang.zip", " is not ZIP archive"},
                                           BadZipCase{"comicbox/Captain Science #001.cb7", " is not ZIP archive"}));

TEST_F(ZipReaderTest, AMissingArchiveCannotBeOpened)
{
    host.openZip(dir.path() + "/gone.zip");
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_EQ(host.prompts.shown[0].text, "Cannot open " + dir.path() + "/gone.zip");
}

TEST_F(ZipReaderTest, DamagedMembersLeaveNoFileAndTheRestExtracts)
{
    const QString crc = fixture("libarchive/test_read_format_zip.zip");
    host.openZip(crc);
    Mo_Unzip::ExtractZipMember(host, crc, "file1");
    Mo_Unzip::ExtractZipMember(host, crc, "file2"); // bad CRC
    const QString oversize = fixture("libarchive/test_read_format_zip_size_exceeds_declared_stored.zip");
    Mo_Unzip::ExtractZipMember(host, oversize, "first");
    Mo_Unzip::ExtractZipMember(host, oversize, "second");
    EXPECT_EQ(host.tmpFiles(), (QStringList{"file1", "second"}));
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_F(ZipReaderTest, RealComicPagesExtractAsImages)
{
    const QString cbz = fixture("comicbox/Captain Science #001.cbz");
    host.openZip(cbz);
    ASSERT_EQ(reader().FileCount(), 8);
    EXPECT_EQ(reader().FileDirectory(1), "Captain Science 001");
    Mo_Unzip::SelectZipVolume(host, "Captain Science 001");
    ASSERT_EQ(host.pages().size(), 5);
    Mo_Unzip::ExtractZipMember(host, cbz, "Captain Science 001/" + host.pages().at(2));
    const QImage img(host.tmpZip() + "/" + host.pages().at(2));
    EXPECT_FALSE(img.isNull());
    EXPECT_EQ(img.height(), 160);
}
} // namespace
