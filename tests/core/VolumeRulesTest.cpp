#include "CaseName.h"
#include "FileTree.h"
#include "core/PageGeometry.h"
#include "core/VolumeRules.h"
#include "platform/SortedList.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QStringList sortedVolumes(MemberTable &t)
{
    SortedList l;
    for (const QString &v : VolumeRules::deriveVolumes(t))
        l.AddItem(v);
    return l.items();
}
} // namespace

// The volumes a folder gives and the members it lists: pages at the top, archives
// at the top, sub-folders one level deep; no junk. A file named on the command
// line (pending) lists its own folder only.
struct FolderScan
{
    const char *what;
    std::vector<const char *> files;
    bool pending;
    QStringList volumes;
    int members;
};
using FolderScans = ::testing::TestWithParam<FolderScan>;

TEST_P(FolderScans, GiveTheVolumesInOrder)
{
    QTemporaryDir d;
    for (const char *name : GetParam().files)
        ASSERT_TRUE(writeFile(d.path() + QLatin1Char('/') + QString::fromUtf8(name)));
    MemberTable t;
    ASSERT_TRUE(VolumeRules::scanFolder(d.path() + "//", GetParam().pending, t));
    EXPECT_EQ(t.upper(), GetParam().members);
    EXPECT_EQ(sortedVolumes(t), GetParam().volumes);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FolderScans,
    ::testing::Values(FolderScan{"ImagesSubFolderAndArchive",
                                 {"b.jpg", "a.PNG", "notes.txt", "c.zip", "vol2/p1.jpg", "vol2/readme.txt",
                                  "vol2/inner.zip", "vol2/deeper/p9.jpg", "empty/x.jpeg.txt"},
                                 false, {"/", "c.zip", "vol2/"}, 4},
                      FolderScan{"Junk",
                                 {"p1.jpg", "._p1.jpg", ".hidden.png", "._book.zip", "__MACOSX/p1.jpg", ".thumbs/t.jpg",
                                  "vol/._p2.jpg", "vol/p2.jpg"},
                                 false, {"/", "vol/"}, 2},
                      FolderScan{"PendingFileSkipsSubFolders", {"P01.JPG", "sub/p.jpg"}, true, {"/"}, 1}),
    CaseName());

TEST(VolumeRules, AnEmptyFolderLeavesTheTableAsItWas)
{
    MemberTable t;
    t.append({"p.jpg", "", {}});
    QTemporaryDir empty;
    EXPECT_FALSE(VolumeRules::scanFolder(empty.path(), false, t));
    EXPECT_EQ(t.upper(), 1);
}

// An archive's members as its reader lists them (file name, folder) and the
// volume each falls in ("" : none); a folder record has no file name.
struct ArchiveShape
{
    const char *what;
    std::vector<std::array<const char *, 3>> members;
    QStringList volumes;
};
using ArchiveShapes = ::testing::TestWithParam<ArchiveShape>;

TEST_P(ArchiveShapes, GiveTheVolumesInOrder)
{
    MemberTable t;
    for (const auto &[file, folder, volume] : GetParam().members)
        t.append({QString::fromUtf8(file), QString::fromUtf8(folder), {}});
    EXPECT_EQ(sortedVolumes(t), GetParam().volumes);
    for (int i = 1; i <= t.upper(); ++i)
        EXPECT_EQ(t.at(i).volumeName, QString::fromUtf8(GetParam().members[size_t(i - 1)][2])) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Archives, ArchiveShapes,
    ::testing::Values(ArchiveShape{"FoldersRootAndNested",
                                   {{"p1.jpg", "vol1", "vol1"}, {"p2.jpg", "vol1", "vol1"}, {"p1.jpg", "vol2", "vol2"},
                                    {"", "vol2", ""}, {"cover.jpg", "", "/"}, {"inner.ZIP", "", "inner.ZIP"},
                                    {"notes.txt", "vol1", ""}, {"P1.WEBP", "", "/"}, {"p2.tif", "v", "v"},
                                    {"x.jpg", "a\\b\\c/d/e", ""}}, // too deep, mixed separators
                                   {"/", "inner.ZIP", "v", "vol1", "vol2"}},
                      ArchiveShape{"DeepOnly", {{"x.jpg", "a\\b\\c/d/e", ""}}, {}},
                      ArchiveShape{"Junk",
                                   {{"._p1.jpg", "", ""}, {"p1.jpg", "__MACOSX\\Book", ""}, {"p1.jpg", "Book\\.cache", ""},
                                    {"p1.jpg", "Book", "Book"},
                                    {"p1.jpg", ".\\Book2", ".\\Book2"}}, // a "./" prefix is a plain path step
                                   {".\\Book2", "Book"}}),
    CaseName());

TEST(VolumeRules, ExtensionsAndRoots)
{
    EXPECT_EQ(VolumeRules::extensionOf("A.B.JPEG"), ".jpeg");
    EXPECT_EQ(VolumeRules::extensionOf("README"), ".readme");
    EXPECT_TRUE(VolumeRules::Is_ImageExt(".jpg"));
    EXPECT_FALSE(VolumeRules::Is_ImageExt(".JPG")); // callers lower-case first
    EXPECT_FALSE(VolumeRules::Is_ImageExt(".txt"));
    for (const char *ext : {".webp", ".tif", ".tiff"})
        EXPECT_TRUE(VolumeRules::Is_ImageExt(QString::fromLatin1(ext))) << ext;
    EXPECT_EQ(VolumeRules::folderRoot("/a//b"), "/a/b/");
    EXPECT_EQ(VolumeRules::folderRoot("/a/b/"), "/a/b/");
    // The one volume of pages at a book's top is shown by the book's name.
    EXPECT_EQ(VolumeRules::shownName("/", 1, "/books/My Book/"), "My Book");
    EXPECT_EQ(VolumeRules::shownName(".", 1, "/books/dot.cbt"), "dot.cbt");
    EXPECT_EQ(VolumeRules::shownName("/", 2, "/books/My Book"), "/");
    EXPECT_EQ(VolumeRules::shownName("Comic 001", 1, "/books/c.cbz"), "Comic 001");
}

struct OrderCase
{
    const char *what;
    QStringList added;
    QStringList expected;
};

using NaturalOrder = ::testing::TestWithParam<OrderCase>;

// Case-insensitive name order, "/" first, numbers by value. Added all at once
// (in two batches, the second merged into the first) the entries take the same
// places as added one by one, names equal but for case in the order they came.
TEST_P(NaturalOrder, NumbersCompareByValue)
{
    const QStringList &added = GetParam().added;
    SortedList l;
    for (const QString &s : added)
        l.AddItem(s);
    EXPECT_EQ(l.items(), GetParam().expected);

    SortedList batched;
    batched.AddItems(added.mid(0, added.size() / 2));
    batched.AddItems(added.mid(added.size() / 2));
    EXPECT_EQ(batched.items(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NaturalOrder,
    ::testing::Values(OrderCase{"IgnoresCase", {"p3.jpg", "p1.jpg", "P2.jpg"}, {"p1.jpg", "P2.jpg", "p3.jpg"}},
                      OrderCase{"RootFirst", {"vol2/", "c.zip", "/", "9 extra/", "A/"}, {"/", "9 extra/", "A/", "c.zip", "vol2/"}},
                      OrderCase{"NumbersByValue", {"p10.jpg", "p2.jpg", "p1.jpg"}, {"p1.jpg", "p2.jpg", "p10.jpg"}},
                      OrderCase{"KoreanNumbers", {"제10권", "제2권", "제1권"}, {"제1권", "제2권", "제10권"}},
                      OrderCase{"Volumes", {"Vol 10/", "vol 9/", "/", "Vol 1/"}, {"/", "Vol 1/", "vol 9/", "Vol 10/"}},
                      OrderCase{"BackslashPaths", {"Vol 10\\p1.jpg", "Vol 9\\p2.jpg", "Vol 9\\p1.jpg"},
                                {"Vol 9\\p1.jpg", "Vol 9\\p2.jpg", "Vol 10\\p1.jpg"}},
                      OrderCase{"SeveralNumbers", {"b12c3.png", "B12c10.png", "b2c99.png"}, {"b2c99.png", "b12c3.png", "B12c10.png"}},
                      OrderCase{"Mixed", {"/b/P2.JPG", "/b/p10.jpg", "/b/p2.jpg", "/b/제2화.png", "/b/p1.5.jpg", "/b/a.b.jpg",
                                 "/b/p02.jpg", "/b/P1.jpg", "/b/제10화.png", "/b/p2.JPG", "/b/a.jpg", "/b/p1.jpg"},
                                {"/b/a.b.jpg", "/b/a.jpg", "/b/p1.5.jpg", "/b/P1.jpg", "/b/p1.jpg", "/b/p02.jpg",
                                 "/b/P2.JPG", "/b/p2.jpg", "/b/p2.JPG", "/b/p10.jpg", "/b/제2화.png", "/b/제10화.png"}}), CaseName());

// Many names at once are ordered by keys made once per name: the order must be
// the one the names compared pairwise give.
TEST(VolumeRules, NamesAddedAtOnceTakeThePlacesTheyTakeOneByOne)
{
    QStringList names;
    for (const char *stem : {"p", "P", "p ", "제", "제 ", "a.b", "A.b.", "Vol_", "vol-", "", "[x]", "é", "E"})
        for (const char *number : {"", "0", "01", "1", "1.5", "2", "10", "010", "99999999999999999999"})
            for (const char *ext : {".jpg", ".JPG", "화.png", "/"})
                names << QString::fromUtf8(stem) + QString::fromUtf8(number) + QString::fromUtf8(ext);
    // A fixed shuffle, so equal names come in no particular order.
    for (qsizetype i = names.size() - 1; i > 0; --i)
        names.swapItemsAt(i, (i * 7919) % (i + 1));
    SortedList oneByOne, atOnce;
    for (const QString &n : names)
        oneByOne.AddItem(n);
    atOnce.AddItems(names);
    EXPECT_EQ(atOnce.items(), oneByOne.items());
}

struct FitCase
{
    const char *what;
    double w, h;
    qint16 n;
    bool hundred;
    int sw, sh;
    int ew, eh;
};

using DrawnSize = ::testing::TestWithParam<FitCase>;

TEST_P(DrawnSize, FollowsTheFitRules)
{
    const FitCase c = GetParam();
    const QSize s = PageGeometry::drawnSize(c.w, c.h, c.n, c.hundred, c.sw, c.sh);
    EXPECT_EQ(s, QSize(c.ew, c.eh)) << c.w << "x" << c.h << " n=" << c.n;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DrawnSize,
    ::testing::Values(
        FitCase{"HundredOnALargeSurfaceKeepsTheSize", 600, 400, 1, true, 1280, 960, 600, 400},
        // Grows until the width fits, less the 0.99 margin: 212 %.
        FitCase{"GrowsToTheWidth", 600, 400, 1, false, 1280, 960, 1272, 848},
        // Treated as 1024 x 683 first, then fitted at 124 %.
        FitCase{"LargeScan", 3000, 2000, 1, false, 1280, 960, 1270, 847},
        FitCase{"PortraitHalfOfASpreadHeldToTheHeight", 800, 1150, 2, false, 1280, 960, 635, 914},
        FitCase{"HundredStillReducesALargeScan", 3000, 2000, 2, true, 1280, 960, 635, 423},
        FitCase{"NoWidth", 0, 500, 1, false, 1280, 960, 0, 0}), CaseName());

TEST(FitPercent, BoxFormAndZeroSizes)
{
    EXPECT_EQ(PageGeometry::Fit_Percent(0, 100, 1, false, 0, 0, 800, 600), 0.f);
    EXPECT_EQ(PageGeometry::Fit_Percent(100, 0, 1, false, 0, 0, 800, 600), 0.f);
    // The box form ignores the surface: 100 x 100 into 50 x 50 -> (49.5 + 50) / 200.
    EXPECT_EQ(PageGeometry::Fit_Percent(100, 100, 1, true, 50, 50, 4000, 4000), 50.f);
    EXPECT_EQ(PageGeometry::treatedSize(3000, 2000), QSizeF(1024, 2000 * 1024.0 / 3000));
    EXPECT_EQ(PageGeometry::treatedSize(500, 1000), QSizeF(384, 768));
    EXPECT_EQ(PageGeometry::roundEven(2.5), 2);
    EXPECT_EQ(PageGeometry::roundEven(3.5), 4);
}
