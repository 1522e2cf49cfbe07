// 7z and tar comic archives read like RAR: listed header by header, a volume
// taken out whole in one pass.
#include "FakeHost.h"
#include "archive/TmpZipWriter.h"
#include "support/SolidArchiveWriter.h"

namespace {
struct KindCase
{
    const char *name; // the book's extension
    ArchiveKind kind;
};

class SevenZipTarTest : public ArchiveTest, public ::testing::WithParamInterface<KindCase>
{
protected:
    const Files book = {{"Book/p10.jpg", "ten"}, {"Book/p2.jpg", "two"}, {"Book/p1.jpg", "one"},
                        {"Book/._p1.jpg", "fork"}, {"cover.jpg", "cover"}};
    QString write(const QString &name)
    {
        const QString path = writeArchive(at(name + GetParam().name), book);
        EXPECT_FALSE(path.isEmpty());
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

INSTANTIATE_TEST_SUITE_P(Kinds, SevenZipTarTest,
                         ::testing::Values(KindCase{".cb7", ArchiveKind::SevenZip}, KindCase{".7z", ArchiveKind::SevenZip},
                                           KindCase{".cbt", ArchiveKind::Tar}, KindCase{".tar", ArchiveKind::Tar}), CaseName());

using TarTest = ArchiveTest;

// A hard link names a member written before it in the same volume; a sparse
// member comes out at its full size, holes as zeros, within the member cap.
TEST_F(TarTest, AHardLinkIsItsMembersBytesAndASparseMemberKeepsItsTrailingHole)
{
    using Member = SolidArchiveWriter::TarMember;
    TmpZipWriter::setCapForTesting(1 << 20);
    const Member sparse{"a/p3.tif", {}, {}, 256 * 1024, {{0, 4096}, {65536, 4096}}, 'T'};
    ASSERT_TRUE(SolidArchiveWriter::writeTar(at("book.cbt"),
                                             {{"b/q.jpg", "other volume"},
                                              {"a/p1.jpg", "one"},
                                              {"a/p2.jpg", {}, "a/p1.jpg"},
                                              {"a/p4.jpg", {}, "a/p2.jpg"}, // a link to a link
                                              {"a/p5.jpg", {}, "../outside.jpg"},
                                              {"a/p6.jpg", {}, "/etc/hostname"},
                                              {"a/p7.jpg", {}, "b/q.jpg"}, // another volume
                                              {"a/p8.jpg", {}, "a/p9.jpg"}, // a member after it
                                              {"a/p9.jpg", "nine"},
                                              {"a/p0.jpg", {}, "a/p0.jpg"},
                                              sparse,
                                              {"a/big.tif", {}, {}, 2 << 20, {{0, 4096}}}}));
    writeFile(at("outside.jpg"), "outside");
    const QStringList before = outsideTmpZip();
    host.open(at("book.cbt"), ArchiveKind::Tar);
    host.cbList = {"a", "b"};
    host.selectVolume("a");
    TmpZipWriter::setCapForTesting(0);
    EXPECT_EQ(host.pages().size(), 11);
    EXPECT_EQ(host.tmpFiles(), (QStringList{"p1.jpg", "p2.jpg", "p3.tif", "p9.jpg"}));
    EXPECT_EQ(readFile(host.tmpZip() + "/p2.jpg"), "one");
    EXPECT_EQ(QFileInfo(host.tmpZip() + "/p3.tif").size(), sparse.size);
    EXPECT_TRUE(readFile(host.tmpZip() + "/p3.tif") == sparse.bytes());
    EXPECT_EQ(outsideTmpZip(), before);
    EXPECT_TRUE(host.prompts.shown.empty());
}

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
        host.open(path, ArchiveKind::Tar);
        EXPECT_EQ(host.members.upper(), 0);
        ASSERT_EQ(host.prompts.shown.size(), 1u);
        EXPECT_EQ(host.prompts.shown[0].text, host.texts().notArchive.arg(path));
    }
    EXPECT_EQ(treeOf(bin), (QStringList{"grzip", "lrzip", "lzop"})) << "no compressor program ran";
}
} // namespace
