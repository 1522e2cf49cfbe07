#include "CaseName.h"
#include "FileTree.h"
#include "core/PageGeometry.h"
#include "core/VolumeRules.h"
#include "platform/SortedList.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
void touch(const QString &root, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        ASSERT_TRUE(writeFile(root + QLatin1Char('/') + QString::fromUtf8(name)));
}

QStringList sortedVolumes(MemberTable &t)
{
    SortedList l;
    for (const QString &v : VolumeRules::deriveVolumes(t))
        l.AddItem(v);
    return l.items();
}
} // namespace

TEST(VolumeRules, FolderWithImagesSubFolderAndArchiveGivesThreeSortedVolumes)
{
    QTemporaryDir d;
    touch(d.path(), {"b.jpg", "a.PNG", "notes.txt", "c.zip", "vol2/p1.jpg", "vol2/readme.txt",
                     "vol2/inner.zip",      // archives inside sub-folders are ignored
                     "vol2/deeper/p9.jpg",  // one level only
                     "empty/x.jpeg.txt"});  // not an image
    MemberTable t;
    ASSERT_TRUE(VolumeRules::scanFolder(d.path(), false, t));
    EXPECT_EQ(t.upper(), 4);
    EXPECT_EQ(sortedVolumes(t), (QStringList{"/", "c.zip", "vol2/"}));
    for (int i = 1; i <= t.upper(); ++i) {
        const MemberRecord &r = t.at(i);
        if (r.fileName == "p1.jpg") {
            EXPECT_EQ(r.folder, "vol2/");
        }
        if (r.fileName == "c.zip") {
            EXPECT_EQ(r.volumeName, "c.zip");
        }
    }
}

TEST(VolumeRules, PendingCommandLineFileSkipsSubFoldersAndEmptyFolderKeepsTable)
{
    QTemporaryDir d;
    touch(d.path(), {"P01.JPG", "sub/p.jpg"});
    MemberTable t;
    ASSERT_TRUE(VolumeRules::scanFolder(d.path() + "//", true, t));
    ASSERT_EQ(t.upper(), 1);
    EXPECT_EQ(t.at(1).fileName, "P01.JPG");

    QTemporaryDir empty;
    EXPECT_FALSE(VolumeRules::scanFolder(empty.path(), false, t));
    EXPECT_EQ(t.upper(), 1); // left as it was
}

TEST(VolumeRules, ArchiveShapedTables)
{
    MemberTable t;
    t.append({"p1.jpg", "vol1", {}});
    t.append({"p2.jpg", "vol1", {}});
    t.append({"p1.jpg", "vol2", {}});
    t.append({"", "vol2", {}});             // a folder entry
    t.append({"cover.jpg", "", {}});         // top level
    t.append({"inner.ZIP", "", {}});         // nested archive at the root
    t.append({"notes.txt", "vol1", {}});
    t.append({"x.jpg", "a\\b\\c/d/e", {}});  // deep with mixed separators: no volume
    t.append({"P1.WEBP", "", {}});           // WebP and TIFF are pages too
    t.append({"p2.tif", "v", {}});
    EXPECT_EQ(sortedVolumes(t), (QStringList{"/", "inner.ZIP", "v", "vol1", "vol2"}));
    EXPECT_EQ(t.at(1).volumeName, "vol1");
    EXPECT_EQ(t.at(7).volumeName, "");
    EXPECT_EQ(t.at(8).volumeName, "");

    MemberTable deepOnly;
    deepOnly.append({"x.jpg", "a\\b\\c/d/e", {}});
    EXPECT_TRUE(sortedVolumes(deepOnly).isEmpty());
}

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
}

struct OrderCase
{
    const char *what;
    QStringList added;
    QStringList expected;
};

class NaturalOrder : public ::testing::TestWithParam<OrderCase>
{
};

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

TEST(VolumeRules, JunkIsNeverAPageOrAVolume)
{
    QTemporaryDir d;
    touch(d.path(), {"p1.jpg", "._p1.jpg", ".hidden.png", "._book.zip", "__MACOSX/p1.jpg", ".thumbs/t.jpg",
                     "vol/._p2.jpg", "vol/p2.jpg"});
    MemberTable t;
    ASSERT_TRUE(VolumeRules::scanFolder(d.path(), false, t));
    EXPECT_EQ(sortedVolumes(t), (QStringList{"/", "vol/"}));
    EXPECT_EQ(t.upper(), 2);

    MemberTable a;
    a.append({"._p1.jpg", "", {}});
    a.append({"p1.jpg", "__MACOSX\\Book", {}});
    a.append({"p1.jpg", "Book\\.cache", {}});
    a.append({"p1.jpg", "Book", {}});
    a.append({"p1.jpg", ".\\Book2", {}}); // a "./" prefix is a plain path step
    EXPECT_EQ(sortedVolumes(a), (QStringList{".\\Book2", "Book"}));
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

class DrawnSize : public ::testing::TestWithParam<FitCase>
{
};

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
