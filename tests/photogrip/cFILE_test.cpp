#include "PhotoGripFiles.h"
#include "cFILE.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace PhotoGripFiles;

namespace {

// Size texts depend on the locale; each test picks its own and puts the old one back.
class LocaleGuard
{
public:
    explicit LocaleGuard(const QLocale &l) { QLocale::setDefault(l); }
    ~LocaleGuard() { QLocale::setDefault(m_old); }

private:
    QLocale m_old;
};

struct SizeCase
{
    qint32 size;
    const char *text;
};

class SizeTexts : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(SizeTexts, FollowTheUnitRules)
{
    LocaleGuard english(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(cFILE::SizeText(GetParam().size), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SizeTexts,
    ::testing::Values(SizeCase{0, "0 Bytes"}, SizeCase{1, "1 Bytes"}, SizeCase{1023, "1023 Bytes"},
                      SizeCase{1024, "1 KB"}, SizeCase{1536, "1.5 KB"}, SizeCase{1100, "1.07 KB"},
                      SizeCase{1048575, "1024 KB"},   // decided on 1023.999 KB, rounded to 1024
                      SizeCase{1048576, "1 MB"}, SizeCase{5242880, "5 MB"}, SizeCase{1234567, "1.18 MB"},
                      SizeCase{1073741823, "1 GB"}, // the quotient rounds to 1 in single precision, SizeCase{1073741824, "1 GB"},
                      SizeCase{1610612736, "1.5 GB"}, SizeCase{2147483647, "2 GB"},
                      SizeCase{-1, "-1 Bytes"},       // 2 GB and more wrap below zero
                      SizeCase{-1073741824, "-1.073742E+09 Bytes"}));

TEST(SizeTextLocale, UsesTheLocalesDecimalSeparatorWithoutGrouping)
{
    LocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(cFILE::SizeText(1536), QStringLiteral("1,5 KB"));
    EXPECT_EQ(cFILE::SizeText(1048575), QStringLiteral("1024 KB"));
}

class FileInfo : public ::testing::Test
{
protected:
    QTemporaryDir dir;
};

struct JpegFlagCase
{
    const char *name;
    QByteArray bytes;
    const char *flag;
};

class JpegFlag : public ::testing::TestWithParam<JpegFlagCase>
{
protected:
    QTemporaryDir dir;
};

TEST_P(JpegFlag, ComesFromTheFirstTwoBytes)
{
    const JpegFlagCase c = GetParam();
    cFILE f;
    ASSERT_TRUE(f.Load(rawFile(dir.path(), QString::fromLatin1(c.name), c.bytes)));
    EXPECT_EQ(f.IsJPG(), QString::fromLatin1(c.flag));
    EXPECT_EQ(f.Size(), QString::number(c.bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(Cases, JpegFlag,
                         ::testing::Values(JpegFlagCase{"fake.txt", QByteArray("\xFF\xD8 not a picture"), "True"},
                                           JpegFlagCase{"empty.jpg", QByteArray(), "False"},
                                           JpegFlagCase{"one.jpg", QByteArray("\xFF", 1), "False"},
                                           JpegFlagCase{"swapped.jpg", QByteArray("\xD8\xFF\x00", 3), "False"},
                                           JpegFlagCase{"png.jpg", QByteArray("\x89PNG\r\n", 6), "False"}));

TEST_F(FileInfo, RealJpegIsFlaggedAndNamed)
{
    const QString path = gradientJpeg(dir.path(), QStringLiteral("page 01.jpg"), 64, 48);
    cFILE f;
    ASSERT_TRUE(f.Load(path));
    EXPECT_EQ(f.IsJPG(), QStringLiteral("True"));
    EXPECT_EQ(f.Size(), QString::number(QFile(path).size()));
    EXPECT_EQ(f.DisplayName(), QStringLiteral("page 01.jpg"));
    EXPECT_FALSE(f.TypeName().isEmpty());
    EXPECT_EQ(f.PathFull(), path);
}

TEST_F(FileInfo, MissingFileOrFolderFailsWithFieldsReset)
{
    cFILE f;
    ASSERT_TRUE(f.Load(rawFile(dir.path(), QStringLiteral("a.jpg"), QByteArray("\xFF\xD8xx", 4))));
    EXPECT_FALSE(f.Load(dir.filePath(QStringLiteral("missing.jpg"))));
    EXPECT_EQ(f.Size(), QStringLiteral("0"));
    EXPECT_EQ(f.IsJPG(), QStringLiteral("False"));
    EXPECT_TRUE(f.DisplayName().isEmpty());
    EXPECT_TRUE(f.PathFull().isEmpty());
    EXPECT_FALSE(f.Load(dir.path()));
    EXPECT_FALSE(f.Load(QString()));
}

TEST_F(FileInfo, LongPathOpens)
{
    QString folder = dir.path();
    for (int i = 0; i < 6; ++i)
        folder += QStringLiteral("/a rather long folder name for depth %1").arg(i);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = rawFile(folder, QStringLiteral("page.jpg"), QByteArray("\xFF\xD8", 2));
    ASSERT_GT(path.size(), 260);
    cFILE f;
    ASSERT_TRUE(f.Load(path));
    EXPECT_EQ(f.IsJPG(), QStringLiteral("True"));
    EXPECT_EQ(f.PathFull().size(), cFILE::kFullPathChars);
    EXPECT_TRUE(f.PathFull().endsWith(QStringLiteral(".../page.jpg")));
    EXPECT_TRUE(f.PathFull().startsWith(dir.path()));
    EXPECT_EQ(f.PathCompact(), path.left(7) + QStringLiteral(".../page.jpg"));
}

TEST_F(FileInfo, TwoGigabyteFileWrapsToNegativeSize)
{
    const QString path = dir.filePath(QStringLiteral("big.bin"));
    QFile big(path);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    const qint64 bytes = (qint64(1) << 31) + 512; // sparse: takes no disk space
    if (!big.resize(bytes))
        GTEST_SKIP() << "the file system cannot hold a sparse 2 GB file";
    big.close();
    LocaleGuard english(QLocale(QLocale::English, QLocale::UnitedStates));
    cFILE f;
    ASSERT_TRUE(f.Load(path));
    EXPECT_EQ(f.Size(), QStringLiteral("-2147483136"));
    EXPECT_TRUE(f.SizeString().startsWith(QLatin1Char('-')));
    EXPECT_TRUE(f.SizeString().endsWith(QStringLiteral(" Bytes")));
}

struct CompactCase
{
    const char *path;
    int width;
    const char *expect;
};

class CompactPaths : public ::testing::TestWithParam<CompactCase>
{
};

TEST_P(CompactPaths, PutTheEllipsisInTheMiddle)
{
    const CompactCase c = GetParam();
    const QString out = cFILE::CompactPath(QString::fromUtf8(c.path), c.width);
    EXPECT_EQ(out, QString::fromUtf8(c.expect));
    EXPECT_LE(out.size(), c.width);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompactPaths,
    ::testing::Values(CompactCase{"/short/a.jpg", 19, "/short/a.jpg"},
                      CompactCase{"/home/reader/comics/volume/p1.jpg", 19, "/home/rea.../p1.jpg"},
                      CompactCase{"/exactly/nineteen.j", 19, "/exactly/nineteen.j"},
                      CompactCase{"/x/averyveryverylongfilename.jpg", 19, "averyveryverylon..."},
                      CompactCase{"/xyz/abcdefghijklmno", 19, ".../abcdefghijklmno"},
                      CompactCase{"/x/abcdefghijklmnopq.j", 19, "abcdefghijklmnop..."},
                      CompactCase{"/세계/만화책/제1권/페이지0001.jpg", 19, "/세계/.../페이지0001.jpg"}));

} // namespace
