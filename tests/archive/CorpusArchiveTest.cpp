// The readers over archives made by other people's tools (the third-party corpus),
// beside the archives the other tests write themselves. Skipped when it is absent.
#include "FakeHost.h"
#include "platform/LegacyCodePage.h"
#include "support/Corpus.h"

namespace {
class CorpusArchiveTest : public ArchiveTest
{
protected:
    void SetUp() override { SKIP_WITHOUT_CORPUS(); }
};

TEST_F(CorpusArchiveTest, EncryptedMembersAndSymbolicLinksAreSkippedSilently)
{
    const QStringList names = {"test_read_format_zip_traditional_encryption_data.zip",
                               "test_read_format_zip_encryption_data.zip",
                               "test_read_format_rar_encryption_data.rar",
                               "test_read_format_rar5_encrypted.rar",
                               "test_read_format_rar.rar",
                               "test_read_format_rar5_symlink.rar",
                               "test_read_format_rar5_hardlink.rar"};
    for (const QString &name : names) {
        const QString f = Corpus::path("libarchive/" + name);
        host.open(f);
        ASSERT_GT(host.members.upper(), 0) << f.toStdString();
        host.extractAll(f);
    }
    // Only the plain, unencrypted files came out, and the hard link to one of
    // them: no symbolic link, no encrypted member.
    EXPECT_EQ(host.tmpFiles(), (QStringList{"a.txt", "c.txt", "file.txt", "hardlink.txt", "test.txt"}));
    EXPECT_EQ(readFile(host.tmpZip() + "/hardlink.txt"), readFile(host.tmpZip() + "/file.txt"));
    for (const QFileInfo &fi : QDir(host.tmpZip()).entryInfoList(QDir::Files | QDir::System))
        EXPECT_FALSE(fi.isSymLink()) << fi.fileName().toStdString();
    EXPECT_TRUE(host.prompts.shown.empty());
}

// Written by another tool than the test support's: the names as that tool stored them.
TEST_F(CorpusArchiveTest, Cp932NamesWithoutTheUtf8FlagFollowTheCodePage)
{
    const QString cp932 = Corpus::path("libarchive/test_read_format_zip_filename_cp932.zip");
    LegacyCodePage::setName("CP932");
    host.openZip(cp932);
    LegacyCodePage::setName("CP949");
    ASSERT_EQ(host.zip().FileCount(), 2);
    EXPECT_EQ(host.zip().FileDirectory(1), QString::fromUtf8("表だよ"));
    EXPECT_EQ(host.zip().FileName(1), QString::fromUtf8("一覧表.txt"));
}

TEST_F(CorpusArchiveTest, ASolidRar5ArchiveExtracts)
{
    const QString solid = Corpus::path("libarchive/test_read_format_rar5_solid.rar");
    host.openRar(solid);
    host.extractAll(solid);
    EXPECT_EQ(host.tmpFiles().size(), 7);
    EXPECT_EQ(readFile(host.tmpZip() + "/test6.bin").size(), 4096);
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_F(CorpusArchiveTest, DamagedArchivesNeverCrashOrWriteOutside)
{
    const QStringList before = outsideTmpZip();
    const QDir folder(Corpus::path("libarchive"));
    const QStringList names = folder.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty()) << "the corpus is there but holds no archive in " << folder.path().toStdString();
    for (const QString &name : names)
        readWhole(folder.filePath(name));
    EXPECT_EQ(outsideTmpZip(), before);
}

struct CorpusCase
{
    const char *name;
    const char *text; // "%1" stands for the path; "" for no message
};

using UnreadableCorpusTest = WithCases<CorpusArchiveTest, CorpusCase>;

TEST_P(UnreadableCorpusTest, GivesAClearErrorAndAnEmptyListing)
{
    const QString path = Corpus::path(GetParam().name);
    ASSERT_TRUE(QFileInfo::exists(path));
    host.open(path);
    EXPECT_EQ(host.members.upper(), 0);
    const QString expected = QString::fromUtf8(GetParam().text).replace("%1", path);
    ASSERT_EQ(host.prompts.shown.size(), expected.isEmpty() ? 0u : 1u);
    if (!expected.isEmpty()) {
        EXPECT_EQ(host.prompts.shown[0].text, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Archives, UnreadableCorpusTest,
    ::testing::Values(CorpusCase{"libarchive/test_read_format_rar_multivolume.part0001.rar",
                                 "%1\n여러 부분으로 나뉜 RAR 압축파일의 한 부분이라 읽을 수 없습니다."},
                      CorpusCase{"libarchive/test_read_format_rar_encryption_header.rar",
                                 "%1: 목록까지 암호가 걸린 압축파일이라 읽을 수 없습니다."},
                      CorpusCase{"libarchive/test_read_format_rar5_truncated_huff.rar", "%1: 압축파일의 머리 정보가 손상되었습니다."},
                      CorpusCase{"libarchive/test_read_format_rar_invalid1.rar", "%1: 압축파일 안의 파일 정보가 손상되었습니다."},
                      CorpusCase{"comicbox/empty.cbz", ""},
                      CorpusCase{"libarchive/test_read_format_zip_malformed1.zip",
                                 "%1\nZIP 압축파일이 아니거나 손상된 파일입니다."}), CaseName());
} // namespace
