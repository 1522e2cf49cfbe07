// 7z and tar comic archives read like RAR: listed header by header, a volume
// taken out whole in one pass.
#include "FakeHost.h"
#include "support/SolidArchiveWriter.h"

namespace {
struct KindCase
{
    const char *name; // the book's extension
    bool sevenZip;
    int kind;
};

class SevenZipTarTest : public ArchiveTest, public ::testing::WithParamInterface<KindCase>
{
protected:
    const Files book = {{"Book/p10.jpg", "ten"}, {"Book/p2.jpg", "two"}, {"Book/p1.jpg", "one"},
                        {"Book/._p1.jpg", "fork"}, {"cover.jpg", "cover"}};
    QString write(const QString &name)
    {
        const QString path = at(name + GetParam().name);
        EXPECT_TRUE(SolidArchiveWriter::write(
            path, GetParam().sevenZip ? SolidArchiveWriter::Format::SevenZip : SolidArchiveWriter::Format::Tar, book));
        return path;
    }
};

TEST_P(SevenZipTarTest, VolumesPerFolderAndAVolumeComesOutWhole)
{
    const QString path = write("book");
    EXPECT_EQ(VolumeRules::archiveKindOfExt(VolumeRules::extensionOf(path)), GetParam().kind);
    host.open(path, GetParam().kind);
    QStringList volumes = VolumeRules::deriveVolumes(host.members);
    volumes.sort();
    EXPECT_EQ(volumes, (QStringList{"/", "Book"}));
    host.selectVolume("Book");
    EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "p2.jpg", "p10.jpg"}));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"p1.jpg", "p10.jpg", "p2.jpg"}));
    EXPECT_EQ(readFile(host.tmpZip() + "/p10.jpg"), "ten");
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_P(SevenZipTarTest, ABookLyingInAFolderListsItsWrappedPages)
{
    const QString path = write("library/book");
    host.prog.IsArchive = false;
    host.prog.OpenPath = at("library");
    host.cbList = QStringList{QFileInfo(path).fileName()};
    // The cover at the root makes the root the book's pages.
    Mo_Rar::ListNestedRar(host, path);
    EXPECT_EQ(host.pages(), QStringList{host.tmpZip() + "/cover.jpg"});
    EXPECT_EQ(readFile(host.tmpZip() + "/cover.jpg"), "cover");
    EXPECT_TRUE(QFileInfo::exists(path)) << "the reader's own file stays";
}

TEST_P(SevenZipTarTest, ADamagedFileGivesAMessageInTheProgramsLanguage)
{
    writeFile(at(QString("bad") + GetParam().name), "not an archive of any kind, only text");
    host.open(at(QString("bad") + GetParam().name), GetParam().kind);
    EXPECT_EQ(host.members.upper(), 0);
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_TRUE(host.prompts.shown[0].text.endsWith(QString::fromUtf8("읽을 수 없는 압축파일입니다.")))
        << host.prompts.shown[0].text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, SevenZipTarTest,
                         ::testing::Values(KindCase{".cb7", true, 2}, KindCase{".7z", true, 2},
                                           KindCase{".cbt", false, 3}, KindCase{".tar", false, 3}), CaseName());

using TarTest = ArchiveTest;

// A whole-file compressor the library would hand to a program on PATH is not one
// the reader knows: such a book is refused like any unreadable one.
TEST_F(TarTest, ACompressorThatRunsAProgramIsNeverUsed)
{
    const QString bin = at("bin");
    for (const char *program : {"lrzip", "lzop", "grzip"}) {
        writeFile(bin + "/" + program, "#!/bin/sh\ntouch \"$0.ran\"\ncat >/dev/null\n");
        QFile::setPermissions(bin + "/" + program, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    struct RestorePath
    {
        QByteArray value = qgetenv("PATH");
        ~RestorePath() { qputenv("PATH", value); }
    } restore;
    qputenv("PATH", QFile::encodeName(bin) + ':' + restore.value);
    ASSERT_TRUE(SolidArchiveWriter::write(at("plain.tar"), SolidArchiveWriter::Format::Tar, {{"p.jpg", "page"}}));
    const QString path = at("book.cbt");
    for (const QByteArray &magic : {QByteArray("LRZI\x00\x06", 6), QByteArray("\x89LZO\x00\r\n\x1a\n", 9),
                                    QByteArray("GRZipII\x00\x02\x04:)", 12)}) {
        writeFile(path, magic + readFile(at("plain.tar")));
        host.prompts.shown.clear();
        host.open(path, 3);
        EXPECT_EQ(host.members.upper(), 0);
        ASSERT_EQ(host.prompts.shown.size(), 1u);
        EXPECT_EQ(host.prompts.shown[0].text, host.texts().notArchive.arg(path));
    }
    EXPECT_EQ(treeOf(bin), (QStringList{"grzip", "lrzip", "lzop"})) << "no compressor program ran";
}
} // namespace
