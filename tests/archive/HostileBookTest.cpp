// Books made to break the readers: sizes that wrap, counts past 16 bits.
#include "FakeHost.h"
#include "archive/RarChecksums.h"
#include "archive/RarProbe.h"
#include "core/ReadingSession.h"
#include "core/ResumeRecord.h"
#include "support/SolidArchiveWriter.h"
#include "support/ViewerFixture.h"

#include <QComboBox>

namespace {
using namespace RarBytes;

const QByteArray rar5Sig("Rar!\x1a\x07\x01\x00", 8);

QByteArray rar5Main()
{
    return rar5Header(vint(1) + vint(0) + vint(0));
}

// A stored file header declaring `dataSize` bytes of data, with an optional extra area.
QByteArray rar5File(quint64 dataSize, const QByteArray &extra = {})
{
    QByteArray b = vint(2) + vint(extra.isEmpty() ? 0x2 : 0x3);
    if (!extra.isEmpty())
        b += vint(quint64(extra.size()));
    b += vint(dataSize) + vint(0x4) + vint(4) + vint(0100644) + le(crc("page"), 4) + vint(0) + vint(1) + vint(5) +
         "p.jpg" + extra;
    return rar5Header(b);
}

// RAR 4 file block with 64-bit sizes whose high words are all ones.
QByteArray rar4HugeSizes()
{
    QByteArray out("Rar!\x1a\x07\x00", 7);
    out += rar4Block(0x73, 0, QByteArray(6, '\0'));
    const QByteArray rest = le(4, 4) + le(4, 4) + char(3) + le(crc("page"), 4) + le(0, 4) + char(20) + char(0x30) +
                            le(5, 2) + le(0100644, 4) + le(0xffffffff, 4) + le(0xffffffff, 4) + "p.jpg";
    return out + rar4Block(0x74, 0x8000 | 0x0100, rest) + "page";
}

struct CraftedRar
{
    const char *what;
    QByteArray bytes;
};

using CraftedRarTest = WithCases<ArchiveTest, CraftedRar>;

// Each goes through the probe, the checksum walk, listing and extraction, bare and
// inside a ZIP; under the sanitizers any wild read fails the run.
TEST_P(CraftedRarTest, IsRefusedOrReadWithoutHarm)
{
    const QString rar = at("book.cbr");
    writeFile(rar, GetParam().bytes);
    RarProbe::check(rar);
    EXPECT_LE(RarChecksums::read(rar).size(), 1u);
    const QStringList before = outsideTmpZip();
    readWhole(rar);

    makeZip(at("outer.cbz"), {{"inner.cbr", GetParam().bytes}});
    host.openZip(at("outer.cbz"));
    host.cbList = {"inner.cbr"};
    host.selectVolume("inner.cbr");
    QStringList expected = before + QStringList{"outer.cbz"};
    expected.sort();
    EXPECT_EQ(outsideTmpZip(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CraftedRarTest,
    ::testing::Values(
        // A first header size of 2^63 or more is negative as a signed number.
        CraftedRar{"header size 2^63", rar5Sig + le(0, 4) + vint(quint64(1) << 63) + QByteArray(64, '\x01')},
        CraftedRar{"header size 2^64-1", rar5Sig + le(0, 4) + vint(~quint64(0)) + QByteArray(64, '\x01')},
        CraftedRar{"data size 2^64-1", rar5Sig + rar5Main() + rar5File(~quint64(0)) + "page"},
        CraftedRar{"data size past the end", rar5Sig + rar5Main() + rar5File(quint64(1) << 40) + "page"},
        CraftedRar{"extra record size 2^64-1",
                   rar5Sig + rar5Main() + rar5File(4, vint(~quint64(0)) + vint(1) + "xx") + "page"},
        CraftedRar{"rar4 64-bit sizes", rar4HugeSizes()}), CaseName());

// Counts past 32,767 neither wrap nor throw; only a volume with more pages than a
// page index can reach is refused, with a message, and nothing of it extracted.
TEST_F(ArchiveTest, MembersPastSixteenBitsListAndAnOversizedVolumeIsRefused)
{
    RarWriter w(RarWriter::Version::Rar5);
    for (int i = 0; i < 32770; ++i)
        w.addFile(QStringLiteral("big/p%1.jpg").arg(i), "x");
    for (int i = 0; i < 3; ++i)
        w.addFile(QStringLiteral("small/q%1.jpg").arg(i), "y");
    w.addFile("cover.jpg", "c");
    ASSERT_TRUE(w.write(at("many.cbr")));
    host.openRar(at("many.cbr"));
    ASSERT_EQ(host.rar().count(), 32774);
    EXPECT_EQ(host.rar().member(32774).fileName, "cover.jpg");

    host.cbList = {"big", "small"};
    host.selectVolume("small");
    EXPECT_EQ(host.pages(), (QStringList{"q0.jpg", "q1.jpg", "q2.jpg"}));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"q0.jpg", "q1.jpg", "q2.jpg"}));
    EXPECT_TRUE(host.prompts.shown.empty());

    host.selectVolume("big");
    EXPECT_TRUE(host.pages().isEmpty());
    EXPECT_TRUE(host.tmpFiles().isEmpty());
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_TRUE(host.prompts.shown[0].text.contains("32770")) << host.prompts.shown[0].text.toStdString();
}

// With the budget set to 1 MB: a RAR volume stops at it and says so; ZIP pages
// drawn one by one make room by dropping the oldest.
TEST_F(ArchiveTest, AVolumeExtractsNoMoreThanItsBudget)
{
    writeFile(host.prog.paths.settingsFile(), "[Limits]\nVolumeExtractMB=1\n");
    const QByteArray page(400 * 1024, 'x');
    host.openRar(makeRar(at("v.cbr"), RarWriter::Version::Rar5, {{"v/a.jpg", page}, {"v/b.jpg", page}, {"v/c.jpg", page}}));
    host.cbList = {"v"};
    host.selectVolume("v");
    EXPECT_EQ(host.tmpFiles(), (QStringList{"a.jpg", "b.jpg"}));
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_TRUE(host.prompts.shown[0].text.startsWith(at("v.cbr") + ": 1")) << host.prompts.shown[0].text.toStdString();

    const QByteArray big(600 * 1024, 'y');
    host.openZip(makeZip(at("v.cbz"), {{"a.jpg", big}, {"b.jpg", big}, {"c.jpg", big}}));
    host.selectVolume("/");
    for (const char *name : {"a.jpg", "b.jpg"})
        Mo_Unzip::ExtractZipMember(host, at("v.cbz"), name);
    EXPECT_EQ(host.tmpFiles(), (QStringList{"a.jpg", "b.jpg"}));
    Mo_Unzip::ExtractZipMember(host, at("v.cbz"), "c.jpg");
    EXPECT_EQ(host.tmpFiles(), QStringList{"c.jpg"});
    // What was read for one volume is read again for the next.
    writeFile(host.prog.paths.settingsFile(), "[Limits]\nVolumeExtractMB=2\n");
    host.selectVolume("/");
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg"})
        Mo_Unzip::ExtractZipMember(host, at("v.cbz"), name);
    EXPECT_EQ(host.tmpFiles(), (QStringList{"a.jpg", "b.jpg", "c.jpg"}));

    // The next volume starts from an empty folder, not from the count of the last one.
    const QByteArray third(300 * 1024, 'z');
    host.openRar(makeRar(at("w.cbr"), RarWriter::Version::Rar5, {{"w/a.jpg", third}, {"w/b.jpg", third}, {"w/c.jpg", third}}));
    host.cbList = {"w"};
    host.selectVolume("w");
    EXPECT_EQ(host.tmpFiles(), (QStringList{"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(host.prompts.shown.size(), 1u);
}

// More folders than 16 bits count: the volume chosen past 32,767 is the one
// loaded, recorded at shutdown and chosen again when the reading resumes.
TEST_F(ViewerFixture, AVolumePastSixteenBitsIsSelectedAndResumed)
{
    constexpr int kFolders = 32800, kChosen = 32790;
    const QString book = books.path() + "/wide.cbz";
    {
        ZipWriter z(book);
        for (int i = 0; i < kFolders; ++i)
            z.addFile(QStringLiteral("f%1/p%1.jpg").arg(i, 5, 10, QLatin1Char('0')), "x", true);
        ASSERT_TRUE(z.close());
    }
    const QString chosen = QStringLiteral("f%1").arg(kChosen, 5, 10, QLatin1Char('0'));
    startUp(book);
    ASSERT_EQ(w->cb_list->count(), kFolders);
    w->selectVolume(kChosen);
    EXPECT_EQ(w->cb_list->currentText(), chosen);
    EXPECT_EQ(w->List1().items(), QStringList{"p" + chosen.mid(1) + ".jpg"});
    w->Form_Unload();
    const std::optional<ResumeRecord> r = ResumeRecord::readFrom(dataPath(ResumeRecord::fileName()));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->volumeIndex, kChosen);

    newRun();
    prompts.messageAnswers = {MsgResult::Yes};
    startUp();
    EXPECT_EQ(w->cb_list->currentIndex(), kChosen);
    EXPECT_EQ(w->session.loadedVolume(), kChosen);
    EXPECT_EQ(w->List1().items(), QStringList{"p" + chosen.mid(1) + ".jpg"});
}

// Listing only (the terminal's --list) builds the volumes without loading one, and
// a nested archive chosen to be listed gives its page names without its pages.
TEST_F(ArchiveTest, ListingOnlyTakesOutNoPage)
{
    const QString inner = makeRar(at("inner.cbr"), RarWriter::Version::Rar5, {{"q1.jpg", "q"}, {"q2.jpg", "q"}});
    const QString book = makeRar(at("book.cbr"), RarWriter::Version::Rar4, {{"a/p1.jpg", "p"}, {"inner.cbr", readFile(inner)}});
    for (const bool listingOnly : {true, false}) {
        host.prog.RarReader.reset(); // made for the session before, which is gone
        ReadingSession s{host.prog};
        s.setListingOnly(listingOnly);
        host.prog.OpenPath = book;
        host.prog.IsArchive = true;
        host.prog.ArchiveKind = ArchiveKind::Rar;
        s.Open_Source();
        ASSERT_EQ(s.volumes(), (QStringList{"a", "inner.cbr"}));
        EXPECT_EQ(s.volumeIndex(), listingOnly ? -1 : 0);
        EXPECT_EQ(host.tmpFiles(), listingOnly ? QStringList() : QStringList{"p1.jpg"});
        s.selectVolume(1);
        EXPECT_EQ(s.List1().items(), (QStringList{"q1.jpg", "q2.jpg"}));
        EXPECT_EQ(host.tmpFiles(), listingOnly ? QStringList() : (QStringList{"q1.jpg", "q2.jpg"}));
    }
}

struct SharedName
{
    const char *what;
    QString book, first, second, volume;
    QStringList pages; // the first's, then the second's
};
using SharedNameTest = WithCases<ArchiveTest, SharedName>;

// Two members whose names meet only after the folder rules (RAR folders are
// lower-cased; "\\" and "/" both part folders) each get a file of their own.
TEST_P(SharedNameTest, EachMemberKeepsItsOwnPage)
{
    const SharedName c = GetParam();
    const QString book = at(c.book);
    const Files files{{c.first, "first"}, {c.second, "second"}};
    if (c.book.endsWith(".cbz"))
        makeZip(book, {{"inner.cbr", readFile(makeRar(at("inner.cbr"), RarWriter::Version::Rar4, files))}});
    else
        ASSERT_FALSE(writeArchive(book, files).isEmpty());
    host.open(book);
    host.cbList = {c.volume};
    host.selectVolume(c.volume);
    if (c.book.endsWith(".zip")) // pages come out when drawn, as the session takes them
        for (const QString &page : host.pages())
            Mo_Unzip::ExtractZipMember(host, book, c.volume + "/" + page, page);
    QStringList pages = host.pages();
    pages.sort();
    ASSERT_EQ(pages, c.pages);
    EXPECT_EQ(readFile(host.tmpZip() + "/" + c.pages[0]), "first");
    EXPECT_EQ(readFile(host.tmpZip() + "/" + c.pages[1]), "second");
}

INSTANTIATE_TEST_SUITE_P(
    Names, SharedNameTest,
    ::testing::Values(SharedName{"folders in two cases", "c.cbr", "Book/p.jpg", "book/p.jpg", "book", {"p.jpg", "p~2.jpg"}},
                      SharedName{"one path in two forms", "z.zip", "a/b/p.jpg", "a\\b/p.jpg", "a\\b", {"p.jpg", "p~2.jpg"}},
                      SharedName{"one name twice in a tar", "s.cbt", "a/b/p.jpg", "a/b/p.jpg", "a\\b", {"p.jpg", "p~2.jpg"}},
                      SharedName{"in a nested archive", "n.cbz", "Book/p.jpg", "BOOK/p.jpg", "inner.cbr",
                                 {"book\\p.jpg", "book\\p~2.jpg"}}), CaseName());

struct NestedSharedName
{
    const char *what;
    QString holder; // "book.cbz", "book.cbr", or "" for a folder
    QString first, second;
    QStringList pages; // the first's, then the second's
    QString shown;     // what the title calls the second: its name without folders
};
using NestedSharedNameTest = WithCases<ArchiveTest, NestedSharedName>;

// The reader that lists a nested ZIP is gone when its pages are drawn; each page
// must still come out of its own member, as the session takes it out.
TEST_P(NestedSharedNameTest, EachPageShowsItsOwnMember)
{
    const NestedSharedName c = GetParam();
    const QByteArray volume = readFile(makeZip(at("vol1.zip"), {{c.first, "first"}, {c.second, "second"}}));
    const Files outer{{"cover.jpg", "c"}, {"vol1.zip", volume}};
    Program &p = host.prog;
    p.IsArchive = !c.holder.isEmpty();
    p.ArchiveKind = c.holder.endsWith(".cbr") ? ArchiveKind::Rar : ArchiveKind::Zip;
    p.OpenPath = at(p.IsArchive ? c.holder : "library");
    if (!p.IsArchive)
        writeFile(at("library/vol1.zip"), volume);
    else if (p.ArchiveKind == ArchiveKind::Rar)
        makeRar(p.OpenPath, RarWriter::Version::Rar4, outer);
    else
        makeZip(p.OpenPath, outer);
    ReadingSession s{host.prog};
    s.Open_Source();
    const qsizetype v = s.volumes().indexOf("vol1.zip");
    ASSERT_GE(v, 0) << s.volumes().join(", ").toStdString();
    s.selectVolume(int(v));
    ASSERT_EQ(s.List1().items(), c.pages);
    s.extractEntry(0);
    s.extractEntry(1);
    EXPECT_EQ(readFile(s.Page_Path(0)), "first");
    EXPECT_EQ(readFile(s.Page_Path(1)), "second");
    EXPECT_TRUE(s.pageCaption(1).endsWith("[vol1.zip/" + c.shown + "]")) << s.pageCaption(1).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Names, NestedSharedNameTest,
    ::testing::Values(NestedSharedName{"one name twice, in a ZIP book", "book.cbz", "p.jpg", "p.jpg", {"p.jpg", "p~2.jpg"},
                                       "p~2.jpg"},
                      NestedSharedName{"one path in two forms, in a RAR book", "book.cbr", "a/b/p.jpg", "a\\b/p.jpg",
                                       {"a\\b\\p.jpg", "a\\b\\p~2.jpg"}, "p~2.jpg"},
                      // The ZIP reader parts folders at "/" only (the name is "b\\p.jpg").
                      NestedSharedName{"backslash in a name, in a folder", "", "a/b/p.jpg", "a/b\\p.jpg",
                                       {"a\\b\\p.jpg", "a\\b\\p~2.jpg"}, "b\\p~2.jpg"}), CaseName());
} // namespace
