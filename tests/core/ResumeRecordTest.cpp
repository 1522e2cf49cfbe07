#include "core/CommandLine.h"
#include "core/ResumeRecord.h"

#include <QtEndian>
#include <gtest/gtest.h>

static qint16 i16(const QByteArray &b, int off)
{
    return qFromLittleEndian<qint16>(b.constData() + off);
}

TEST(ResumeRecord, FieldsLandAtTheirOffsetsLittleEndian)
{
    ResumeRecord r;
    r.path = QStringLiteral("/books/만화.zip");
    r.volumeIndex = 3;
    r.isArchive = true;
    r.viewMode = 2;
    r.pagePosition = 0x0102;
    r.rightToLeft = true;
    r.archiveKind = 1;
    r.hundred = 1;
    r.effect = 0;
    r.sharpen = 1;
    const QByteArray b = r.encode();
    ASSERT_EQ(b.size(), 218);
    const QByteArray path = QStringLiteral("/books/만화.zip").toUtf8();
    EXPECT_EQ(b.left(path.size()), path);
    EXPECT_EQ(b.mid(path.size(), 200 - path.size()), QByteArray(200 - path.size(), ' ')); // blank padded
    // Offset and value of each field after the path; true is -1.
    const std::pair<int, int> fields[] = {{200, 3}, {202, -1}, {204, 2}, {206, 0x0102}, {208, -1},
                                          {210, 1}, {212, 1},  {214, 0}, {216, 1}};
    for (const auto &[offset, value] : fields)
        EXPECT_EQ(i16(b, offset), value) << offset;
    EXPECT_EQ(uchar(b[206]), 0x02); // low byte first

    r.isArchive = false;
    r.rightToLeft = false;
    const QByteArray f = r.encode();
    EXPECT_EQ(i16(f, 202), 0);
    EXPECT_EQ(i16(f, 208), 0);

    const auto back = ResumeRecord::decode(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->path, r.path);
    EXPECT_EQ(back->volumeIndex, 3);
    EXPECT_TRUE(back->isArchive);
    EXPECT_EQ(back->pagePosition, 0x0102);
    EXPECT_TRUE(back->rightToLeft);
}

TEST(ResumeRecord, ReadingDropsNulsAndTrimsBlanks)
{
    QByteArray b(218, '\0');
    const QByteArray raw("  /a/b\0c.zip   ", 15);
    std::memcpy(b.data(), raw.constData(), size_t(raw.size()));
    const auto r = ResumeRecord::decode(b);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->path, QStringLiteral("/a/bc.zip"));
    EXPECT_FALSE(ResumeRecord::decode(QByteArray(217, ' ')));
}

TEST(ResumeRecord, LongPathIsCutTo200BytesOnACharacterBoundary)
{
    ResumeRecord r;
    r.path = QStringLiteral("/") + QString(70, QChar(0xD55C)); // 1 + 210 bytes in UTF-8
    r.volumeIndex = 7;
    const QByteArray b = r.encode();
    ASSERT_EQ(b.size(), 218);
    EXPECT_EQ(i16(b, 200), 7); // the cut never spills into the next field
    const auto back = ResumeRecord::decode(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->path, QStringLiteral("/") + QString(66, QChar(0xD55C))); // 199 bytes, whole characters
    EXPECT_EQ(ResumeRecord::fileName(), QStringLiteral("imgviewer_info.1_7_0.txt"));
}

// A volume index that fits 16 bits keeps the 218-byte record; a larger one adds
// a tail that an ordinary record never has, and stray bytes after it are ignored.
TEST(ResumeRecord, VolumeIndexPastSixteenBitsRoundTrips)
{
    for (const qint32 v : {-1, 0, 32766, 32767, 32768, 100000}) {
        ResumeRecord r;
        r.volumeIndex = v;
        r.sharpen = 1;
        const QByteArray b = r.encode();
        EXPECT_EQ(b.size(), v > 32767 ? 222 : 218) << v;
        EXPECT_EQ(i16(b, 200), qint16(qMin(v, 32767))) << v;
        EXPECT_EQ(i16(b, 216), 1) << v;
        ASSERT_TRUE(ResumeRecord::decode(b));
        EXPECT_EQ(ResumeRecord::decode(b)->volumeIndex, v);
        EXPECT_EQ(ResumeRecord::decode(b + QByteArray(4, '\0'))->volumeIndex, v) << v;
    }
}

TEST(CommandLine, QuotesAndSurroundingBlanksAreRemoved)
{
    CommandLine c = CommandLine::parse(QStringLiteral("  \"/home/r/my books/a.zip\"  "));
    EXPECT_EQ(c.Cmd_Folder, QStringLiteral("/home/r/my books"));
    EXPECT_EQ(c.Cmd_File, QStringLiteral("a.zip"));
    c = CommandLine::parse(QStringLiteral("a.zip"));
    EXPECT_EQ(c.Cmd_Folder, QString());
    EXPECT_EQ(c.Cmd_File, QStringLiteral("a.zip"));
    c = CommandLine::parse(QStringLiteral(" \"\" "));
    EXPECT_TRUE(c.Cmd_Folder.isEmpty());
    EXPECT_TRUE(c.Cmd_File.isEmpty());
}
