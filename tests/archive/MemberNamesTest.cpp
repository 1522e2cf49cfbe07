#include "archive/Cls_Rar.h"
#include "archive/MemberPath.h"

#include <gtest/gtest.h>

namespace {
struct SplitCase
{
    const char16_t *path;
    const char16_t *folder;
    const char16_t *fileName;
};

class SplitMemberPathTest : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitMemberPathTest, FolderUsesBackslashesAndFileNameIsTheLastPart)
{
    const SplitCase c = GetParam();
    const MemberPath::Split s = MemberPath::SplitMemberPath(QString::fromUtf16(c.path));
    EXPECT_EQ(s.folder, QString::fromUtf16(c.folder));
    EXPECT_EQ(s.fileName, QString::fromUtf16(c.fileName));
}

INSTANTIATE_TEST_SUITE_P(Paths, SplitMemberPathTest,
                         ::testing::Values(SplitCase{u"p.jpg", u"", u"p.jpg"},
                                           SplitCase{u"dir/sub/p.jpg", u"dir\\sub", u"p.jpg"},
                                           SplitCase{u"vol1/", u"vol1", u""},
                                           SplitCase{u"/p.jpg", u"", u"/p.jpg"},
                                           SplitCase{u"/abs/p.jpg", u"/abs", u"p.jpg"},
                                           SplitCase{u"a\\b.jpg", u"", u"a\\b.jpg"},
                                           SplitCase{u"만화/1권/001.jpg", u"만화\\1권", u"001.jpg"}));

struct RarNameCase
{
    const char16_t *name;
    const char16_t *folder;
    const char16_t *fileName;
};

class RarNameTest : public ::testing::TestWithParam<RarNameCase>
{
};

TEST_P(RarNameTest, FolderIsLowerCasedAndFileNameKeepsItsCase)
{
    const RarNameCase c = GetParam();
    EXPECT_EQ(Cls_Rar::RarFolderOf(QString::fromUtf16(c.name)), QString::fromUtf16(c.folder));
    EXPECT_EQ(Cls_Rar::ParseFilename(QString::fromUtf16(c.name)), QString::fromUtf16(c.fileName));
}

INSTANTIATE_TEST_SUITE_P(Names, RarNameTest,
                         ::testing::Values(RarNameCase{u"Page.JPG", u"", u"Page.JPG"},
                                           RarNameCase{u"Vol1\\Sub\\P01.jpg", u"vol1\\sub", u"P01.jpg"},
                                           RarNameCase{u"Vol1/P01.jpg", u"vol1", u"P01.jpg"},
                                           RarNameCase{u"Mixed/Part\\x.png", u"mixed/part", u"x.png"},
                                           RarNameCase{u"Folder\\", u"folder", u""}));

class SafeLeafTest : public ::testing::TestWithParam<std::pair<QString, QString>>
{
};

TEST_P(SafeLeafTest, OnlyAPlainNameInsideTheFolderSurvives)
{
    EXPECT_EQ(MemberPath::safeLeaf(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SafeLeafTest,
    ::testing::Values(std::pair{QString("../../x.jpg"), QString("x.jpg")},
                      std::pair{QString("/etc/passwd"), QString("passwd")},
                      std::pair{QString("..\\..\\win.jpg"), QString("win.jpg")},
                      std::pair{QString(".."), QString()}, std::pair{QString("a/.."), QString()},
                      std::pair{QString("."), QString()}, std::pair{QString("dir/"), QString()},
                      std::pair{QString(""), QString()},
                      std::pair{QString::fromUtf16(u"a\u0000b.jpg", 7), QString()},
                      std::pair{QString("a[1].jpg"), QString("a[1].jpg")}));
} // namespace
