#include "FakeHost.h"
#include "support/RarWriter.h"
#include "archive/Cls_Rar.h"
#include "archive/Mo_Rar.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <locale.h>

namespace {
QString fixture(const QString &rel)
{
    return QStringLiteral(LEAFVIEW_FIXTURES) + QLatin1Char('/') + rel;
}

class RarFixture : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    FakeHost host{dir.path()};
    QString rarPath() const { return dir.path() + "/book.rar"; }
    Cls_Rar &reader() { return *host.prog.RarReader; }
    void open(const RarWriter &w)
    {
        ASSERT_TRUE(w.write(rarPath()));
        host.openRar(rarPath());
    }
    void selectAll()
    {
        for (qint16 i = 1; i <= reader().Get_FileCount(); ++i)
            reader().setRarSelected(i, true);
    }
};

class RarFixtureTest : public RarFixture
{
};

class RarReaderTest : public RarFixture, public ::testing::WithParamInterface<RarWriter::Version>
{
};

TEST_P(RarReaderTest, ListsEveryHeaderInArchiveOrderFoldersIncluded)
{
    RarWriter w(GetParam());
    w.addFolder("Vol1");
    w.addFile("Vol1/P1.jpg", "1");
    w.addFile("Vol1/Sub/p2.jpg", "2");
    w.addFile("top.jpg", "t");
    open(w);
    ASSERT_EQ(reader().Get_FileCount(), 4);
    const QStringList names = {"Vol1", "P1.jpg", "p2.jpg", "top.jpg"};
    const QStringList folders = {"", "vol1", "vol1\\sub", ""};
    for (qint16 i = 1; i <= 4; ++i) {
        EXPECT_EQ(reader().RarFileName(i), names[i - 1]);
        EXPECT_EQ(reader().RarFolderName(i), folders[i - 1]);
    }
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_P(RarReaderTest, SelectingAVolumeExtractsItWholeWithProgress)
{
    RarWriter w(GetParam());
    w.addFile("Vol1/p2.jpg", "two");
    w.addFile("Vol1/p1.jpg", "one");
    w.addFile("Vol2/p1.jpg", "other volume");
    w.addFile("notes.txt", "not a page");
    open(w);
    QFile junk(host.tmpZip() + "/old.jpg");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.close();
    Mo_Rar::SelectRarVolume(host, "vol1");
    EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "p2.jpg"}));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"p1.jpg", "p2.jpg"}));
    EXPECT_EQ(readFile(host.tmpZip() + "/p1.jpg"), "one");
    ASSERT_EQ(host.progress.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(std::get<0>(host.progress[i]), i + 1);
        EXPECT_EQ(std::get<1>(host.progress[i]), 4);
        EXPECT_EQ(std::get<2>(host.progress[i]), host.prog.lang.Msg_Loading);
    }
}

TEST_P(RarReaderTest, TheLaterOfTwoSameNamedMembersReplacesTheEarlier)
{
    RarWriter w(GetParam());
    w.addFile("a/p.jpg", "from a");
    w.addFile("b/p.jpg", "from b");
    open(w);
    QFile old(host.tmpZip() + "/p.jpg");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("stale");
    old.close();
    selectAll();
    reader().UnCompressRAR(0, rarPath(), host.tmpZip(), QString(), false);
    EXPECT_EQ(readFile(host.tmpZip() + "/p.jpg"), "from b");
    EXPECT_EQ(host.tmpFiles(), QStringList{"p.jpg"});
}

TEST_F(RarFixtureTest, ATruncatedArchiveShowsFileHeaderBrokenAndGoesOn)
{
    RarWriter w(RarWriter::Version::Rar4);
    w.addFile("p1.jpg", QByteArray(200, '1'));
    w.addFile("p2.jpg", QByteArray(200, '2'));
    QByteArray b = w.bytes();
    b.truncate(b.indexOf("p2.jpg") - 3);
    QFile f(rarPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b);
    f.close();
    host.openRar(rarPath());
    EXPECT_EQ(reader().Get_FileCount(), 0) << "an archive with a broken header is abandoned";
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_EQ(host.prompts.shown[0].title, "Error");
    EXPECT_EQ(host.prompts.shown[0].text, "File header broken");
    EXPECT_EQ(host.prompts.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(host.prog.ErrorLog.contains("File header broken"));
}

TEST_P(RarReaderTest, ATruncatedLastMemberLeavesNoFile)
{
    RarWriter w(GetParam());
    w.addFile("p1.jpg", QByteArray(300, '1'));
    w.addFile("p2.jpg", QByteArray(300, '2'));
    w.addFile("p3.jpg", QByteArray(300, '3'));
    open(w);
    ASSERT_EQ(reader().Get_FileCount(), 3);
    // The file changes on disk between listing and extraction.
    QByteArray b = w.bytes();
    b.truncate(b.indexOf(QByteArray(300, '3')) + 100);
    QFile f(rarPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b);
    f.close();
    Mo_Rar::SelectRarVolume(host, "/");
    EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "p2.jpg", "p3.jpg"}));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"p1.jpg", "p2.jpg"}));
}

TEST_P(RarReaderTest, AStoredMemberFailingItsChecksumLeavesNoFile)
{
    RarWriter w(GetParam());
    w.addFile("p1.jpg", QByteArray(300, '1'));
    w.addFile("p2.jpg", QByteArray(300, '2'));
    w.addFile("p3.jpg", QByteArray(300, '3'));
    QByteArray b = w.bytes();
    b[b.indexOf(QByteArray(300, '2')) + 10] = 'X';
    QFile f(rarPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b);
    f.close();
    host.openRar(rarPath());
    Mo_Rar::SelectRarVolume(host, "/");
    EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "p2.jpg", "p3.jpg"}));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"p1.jpg", "p3.jpg"}));
    EXPECT_TRUE(host.prompts.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, RarReaderTest,
                         ::testing::Values(RarWriter::Version::Rar4, RarWriter::Version::Rar5),
                         [](const auto &info) { return info.param == RarWriter::Version::Rar4 ? "Rar4" : "Rar5"; });

TEST_F(RarFixtureTest, KoreanNamesWithoutTheUnicodeFlagAreReadAsCp949)
{
    QStringEncoder enc("CP949");
    const QString folder = QString::fromUtf8("제1권");
    const QString page = QString::fromUtf8("표지.jpg");
    RarWriter w(RarWriter::Version::Rar4);
    w.addRawName(enc.encode(folder) + "\\" + enc.encode(page), "cover");
    w.addFile(QString::fromUtf8("제1권/둘째.jpg"), "second");
    open(w);
    ASSERT_EQ(reader().Get_FileCount(), 2);
    EXPECT_EQ(reader().RarFolderName(1), folder);
    EXPECT_EQ(reader().RarFileName(1), page);
    EXPECT_EQ(reader().RarFileName(2), QString::fromUtf8("둘째.jpg"));
    Mo_Rar::SelectRarVolume(host, folder);
    EXPECT_EQ(readFile(host.tmpZip() + "/" + page), "cover");
    EXPECT_EQ(readFile(host.tmpZip() + "/" + QString::fromUtf8("둘째.jpg")), "second");
}

struct BadRarCase
{
    const char *name; // fixture, or "@solid" / "@volume" / "@text" written by the test
    const char *text; // "%1" stands for the path
};

class UnreadableRarTest : public RarFixture, public ::testing::WithParamInterface<BadRarCase>
{
};

TEST_P(UnreadableRarTest, ShowsItsErrorAndAbandonsTheArchive)
{
    QString path = rarPath();
    const QString name = GetParam().name;
    if (name == "@solid" || name == "@volume") {
        RarWriter w(RarWriter::Version::Rar4);
        (name == "@solid" ? w.setSolid(true) : w.setVolume(true));
        w.addFile("p1.jpg", "1");
        w.addFile("p2.jpg", "2");
        ASSERT_TRUE(w.write(path));
    } else if (name == "@volume5") {
        RarWriter w(RarWriter::Version::Rar5);
        w.setVolume(true);
        w.addFile("p1.jpg", "1");
        ASSERT_TRUE(w.write(path));
    } else if (name == "@text") {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not an archive at all, just text");
    } else if (name == "@missing") {
        path = dir.path() + "/missing.rar";
    } else {
        path = fixture(name);
    }
    host.openRar(path);
    EXPECT_EQ(reader().Get_FileCount(), 0);
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_EQ(host.prompts.shown[0].title, "Error");
    EXPECT_EQ(host.prompts.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(host.prompts.shown[0].text.toStdString(), QString::fromUtf8(GetParam().text).replace("%1", path).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnreadableRarTest,
    ::testing::Values(
        BadRarCase{"@text", "%1 is not RAR archive"}, BadRarCase{"@missing", "Cannot open %1"},
        BadRarCase{"@solid", "%1: solid RAR 4 archives cannot be read"},
        BadRarCase{"@volume", "%1 is one part of a multi-volume RAR archive, which cannot be read"},
        BadRarCase{"@volume5", "%1 is one part of a multi-volume RAR archive, which cannot be read"},
        BadRarCase{"libarchive/test_read_format_rar_multivolume.part0001.rar",
                   "%1 is one part of a multi-volume RAR archive, which cannot be read"},
        BadRarCase{"libarchive/test_read_format_rar_encryption_header.rar",
                   "%1: the archive is encrypted and cannot be read"},
        BadRarCase{"libarchive/test_read_format_rar5_truncated_huff.rar", "%1: archive header broken"},
        BadRarCase{"libarchive/test_read_format_rar_invalid1.rar", "File header broken"},
        BadRarCase{"comicbox/Captain Science #001.cbz", "%1 is not RAR archive"}));

TEST_F(RarFixtureTest, ASolidRar5ArchiveReads)
{
    host.openRar(fixture("libarchive/test_read_format_rar5_solid.rar"));
    ASSERT_EQ(reader().Get_FileCount(), 7);
    selectAll();
    reader().UnCompressRAR(0, reader().RarFile(), host.tmpZip(), QString(), false);
    EXPECT_EQ(host.tmpFiles().size(), 7);
    EXPECT_EQ(readFile(host.tmpZip() + "/test6.bin").size(), 4096);
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_F(RarFixtureTest, EncryptedAndLinkMembersAreSkippedSilently)
{
    for (const char *f : {"libarchive/test_read_format_rar_encryption_data.rar",
                          "libarchive/test_read_format_rar5_encrypted.rar", "libarchive/test_read_format_rar.rar",
                          "libarchive/test_read_format_rar5_symlink.rar", "libarchive/test_read_format_rar5_hardlink.rar"}) {
        host.openRar(fixture(f));
        ASSERT_GT(reader().Get_FileCount(), 0) << f;
        selectAll();
        reader().UnCompressRAR(0, fixture(f), host.tmpZip(), QString(), false);
    }
    EXPECT_TRUE(host.prompts.shown.empty());
    // Only the plain, unencrypted files came out: no link, no encrypted member.
    EXPECT_EQ(host.tmpFiles(), (QStringList{"a.txt", "c.txt", "file.txt", "test.txt"}));
    for (const QFileInfo &fi : QDir(host.tmpZip()).entryInfoList(QDir::Files | QDir::System))
        EXPECT_FALSE(fi.isSymLink()) << fi.fileName().toStdString();
}

TEST_F(RarFixtureTest, UnicodeNamesReadTheSameUnderAnAsciiLocale)
{
    const locale_t ascii = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const locale_t previous = uselocale(ascii);
    host.openRar(fixture("libarchive/test_read_format_rar_unicode.rar"));
    uselocale(previous);
    freelocale(ascii);
    ASSERT_EQ(reader().Get_FileCount(), 6);
    EXPECT_EQ(reader().RarFileName(6), QString::fromUtf8("abcdefghijklmnopqrsテスト.txt"));
    EXPECT_EQ(reader().RarFolderName(1), QString::fromUtf8("表だよ\\新しいフォルダ"));
}

TEST_F(RarFixtureTest, RealComicPagesExtractAsImages)
{
    host.openRar(fixture("comicbox/Captain Science #001-cbi.cbr"));
    ASSERT_EQ(reader().Get_FileCount(), 5);
    EXPECT_EQ(reader().RarFolderName(1), "captain science 001");
    Mo_Rar::SelectRarVolume(host, "captain science 001");
    ASSERT_EQ(host.tmpFiles().size(), 5);
    EXPECT_EQ(QImage(host.tmpZip() + "/" + host.pages().at(0)).height(), 160);
}
} // namespace
