#include "FakeHost.h"
#include "archive/ArchiveHandle.h"
#include "archive/MemberPath.h"
#include "archive/ZipIndex.h"
#include "support/Corpus.h"

#include <QDirIterator>
#include <archive_entry.h>
#include <map>

namespace {

// Every plain member of a ZIP as the seekable reader walks to it: path -> data
// (the first of a path), the reference the members read by position must match.
std::map<QString, QByteArray> walkedMembers(const QString &zipPath)
{
    std::map<QString, QByteArray> out;
    ArchiveHandle h(ArchiveHandle::Kind::Zip);
    if (h.open(zipPath) != ARCHIVE_OK)
        return out;
    archive_entry *e = nullptr;
    int r;
    while ((r = archive_read_next_header(h.get(), &e)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        if (!MemberPath::isPlainFile(e) || archive_entry_is_data_encrypted(e))
            continue;
        QByteArray data;
        const void *buf;
        size_t len;
        la_int64_t off;
        int d;
        while ((d = archive_read_data_block(h.get(), &buf, &len, &off)) == ARCHIVE_OK)
            data.append(static_cast<const char *>(buf), qsizetype(len));
        if (d == ARCHIVE_EOF)
            out.emplace(MemberPath::decodedName(e), data);
    }
    return out;
}

using ZipIndexTest = ArchiveTest;

// Each member goes into its own folder, so members sharing a file name do not meet.
void expectEveryMemberAsWalked(FakeHost &host, const QString &zipPath, const QString &scratch)
{
    const auto walked = walkedMembers(zipPath);
    int n = 0;
    for (const auto &[name, data] : walked) {
        const QString folder = scratch + QStringLiteral("/%1").arg(n++);
        QDir().mkpath(folder);
        host.zip().setUnzipFolder(folder);
        host.zip().File_ExtractUnzip(zipPath, name);
        EXPECT_EQ(readFile(folder + "/" + MemberPath::safeLeaf(name)), data) << qPrintable(zipPath + ": " + name);
    }
}

TEST_F(ZipIndexTest, EveryMemberOfTheThirdPartyArchivesReadsAsTheWalkReadsIt)
{
    SKIP_WITHOUT_CORPUS();
    const QString root = Corpus::folder();
    host.openZip(at("none.zip"));
    QDirIterator it(root, {"*.zip", "*.cbz"}, QDir::Files, QDirIterator::Subdirectories);
    int archives = 0;
    while (it.hasNext()) {
        expectEveryMemberAsWalked(host, it.next(), at(QStringLiteral("out%1").arg(archives)));
        ++archives;
    }
    EXPECT_GT(archives, 5);
}

// Stored and deflated members, a stub before the archive (offsets then need the
// shift the end record reveals), a path given twice (the first one counts) and
// "\" in the wanted path.
TEST_F(ZipIndexTest, StubBeforeTheArchiveRepeatedPathsAndBackslashes)
{
    {
        ZipWriter z(at("plain.zip"));
        z.addFile("v/a.jpg", QByteArray(5000, 'a'));
        z.addFile("v/b.jpg", QByteArray(70000, 'b'), true);
        z.addFile("v/a.jpg", "second a");
        z.addFile("v/c.jpg", "c");
    }
    writeFile(at("stub.zip"), QByteArray(777, 'S') + readFile(at("plain.zip")));
    for (const QString &zip : {at("plain.zip"), at("stub.zip")}) {
        const ZipIndex index(zip);
        ASSERT_EQ(index.size(), 3) << qPrintable(zip);
        ASSERT_NE(index.find("v\\a.jpg"), nullptr);
        EXPECT_TRUE(index.find("v/a.jpg")->repeated);
        host.openZip(zip);
        const QString out = at(QFileInfo(zip).baseName());
        QDir().mkpath(out);
        host.zip().setUnzipFolder(out);
        for (const char *m : {"v\\a.jpg", "v/b.jpg", "v/c.jpg"})
            EXPECT_EQ(host.zip().File_ExtractUnzip(zip, m), true) << m;
        EXPECT_EQ(readFile(out + "/a.jpg"), QByteArray(5000, 'a'));
        EXPECT_EQ(readFile(out + "/b.jpg"), QByteArray(70000, 'b'));
        EXPECT_EQ(readFile(out + "/c.jpg"), "c");
    }
}

// Stored members whose sizes follow their data (as streaming writers leave them)
// are read at their place too, by the directory's sizes: data holding what looks
// like the next member's marks ends where the directory says, and a byte changed
// on the disk is refused by the checksum rather than written out.
TEST_F(ZipIndexTest, StoredDataWithItsSizesAfterItIsReadAtItsPlace)
{
    const QByteArray tricky = QByteArray(3000, 'a') + QByteArray("PK\x07\x08", 4) + QByteArray(12, '\0') +
                              QByteArray("PK\x03\x04", 4) + QByteArray(2000, 'z');
    {
        ZipWriter z(at("s.zip"));
        z.addFile("p1.jpg", tricky, true);
        z.addFile("p2.jpg", QByteArray(500, 'b'), true);
    }
    QByteArray damaged = readFile(at("s.zip"));
    damaged[damaged.indexOf(QByteArray(2000, 'z')) + 5] = 'y';
    writeFile(at("bad.zip"), damaged);

    const ZipIndex index(at("s.zip"));
    ASSERT_NE(index.find("p1.jpg"), nullptr);
    ASSERT_TRUE(index.find("p1.jpg")->flags & 0x0008) << "the writer no longer leaves the sizes after the data";
    for (const char *m : {"p1.jpg", "p2.jpg"})
        EXPECT_NE(ZipMemberStream(index, m, QString()).entry(), nullptr) << m;
    for (const QString &zip : {at("s.zip"), at("bad.zip")}) {
        const bool intact = zip == at("s.zip");
        host.openZip(zip);
        const QString out = at(QFileInfo(zip).baseName());
        QDir().mkpath(out);
        host.zip().setUnzipFolder(out);
        EXPECT_EQ(host.zip().File_ExtractUnzip(zip, "p1.jpg"), intact);
        EXPECT_EQ(QFileInfo::exists(out + "/p1.jpg"), intact);
        if (intact) {
            EXPECT_EQ(readFile(out + "/p1.jpg"), tricky);
        }
        EXPECT_EQ(host.zip().File_ExtractUnzip(zip, "p2.jpg"), true);
        EXPECT_EQ(readFile(out + "/p2.jpg"), QByteArray(500, 'b'));
    }
}

TEST_F(ZipIndexTest, AnArchiveReplacedUnderTheSameNameIsReadAfresh)
{
    makeZip(at("book.zip"), {{"p1.jpg", "old page"}});
    host.openZip(at("book.zip"));
    Mo_Unzip::ExtractZipMember(host, at("book.zip"), "p1.jpg");
    EXPECT_EQ(readFile(host.tmpZip() + "/p1.jpg"), "old page");
    QFile::remove(host.tmpZip() + "/p1.jpg");
    makeZip(at("new.zip"), {{"p0.jpg", "a page in front"}, {"p1.jpg", "new page"}});
    QFile::remove(at("book.zip"));
    QFile::rename(at("new.zip"), at("book.zip"));
    Mo_Unzip::ExtractZipMember(host, at("book.zip"), "p1.jpg");
    EXPECT_EQ(readFile(host.tmpZip() + "/p1.jpg"), "new page");
}

// A directory that lies (its end record cut, an offset past the end, garbage) gives
// no index; the members are still found the long way where the walk finds them.
TEST_F(ZipIndexTest, ADamagedDirectoryGivesNoIndexAndNeverACrash)
{
    makeZip(at("book.zip"), {{"p1.jpg", QByteArray(3000, 'x')}, {"p2.jpg", "two"}});
    const QByteArray good = readFile(at("book.zip"));
    const qsizetype end = good.lastIndexOf(QByteArray("PK\x05\x06", 4));
    ASSERT_GT(end, 0);
    QByteArray farOffset = good;
    farOffset[end + 16] = char(0xF0); // the directory said to start far away
    QByteArray cut = good.left(good.size() - 10);
    for (const QByteArray &bytes : {farOffset, cut, QByteArray("PK\x05\x06", 4) + QByteArray(18, '\xff')}) {
        writeFile(at("bad.zip"), bytes);
        EXPECT_EQ(ZipIndex(at("bad.zip")).size(), 0);
    }
    writeFile(at("bad.zip"), farOffset);
    expectEveryMemberAsWalked(host, at("bad.zip"), at("out"));
}

} // namespace
