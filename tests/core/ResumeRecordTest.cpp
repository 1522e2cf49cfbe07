#include "core/CommandLine.h"
#include "core/Language.h"
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
    r.archiveKind = ArchiveKind::Rar;
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

TEST(CommandLine, QuotesAndSurroundingBlanksAreRemovedAndARelativePathIsMadeAbsolute)
{
    EXPECT_EQ(CommandLine::absoluteText(" \"a b/c.cbz\" ", "/home/r"), "/home/r/a b/c.cbz");
    EXPECT_EQ(CommandLine::absoluteText("../c.cbz", "/home/r/x"), "/home/r/c.cbz");
    EXPECT_EQ(CommandLine::absoluteText("/abs/c.cbz", "/home/r"), "/abs/c.cbz");
    EXPECT_EQ(CommandLine::absoluteText("  ", "/home/r"), "");
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

TEST(CommandLine, ArgumentsAskForOneModeAndAMistakeIsNeverTakenForAPath)
{
    using Mode = CommandLine::Invocation::Mode;
    const struct
    {
        QStringList args;
        Mode mode;
        const char *pathOrError; // the path, or a word of the error
    } cases[] = {
        {{}, Mode::Window, ""},
        {{"my", "book.cbz"}, Mode::Window, "my book.cbz"},
        {{"-odd name.cbz"}, Mode::Window, "-odd name.cbz"}, // exists
        {{"--", "--help"}, Mode::Window, "--help"},
        {{"-qwindowgeometry", "800x600+0+0", "book.cbz"}, Mode::Window, "book.cbz"},
        {{"--help"}, Mode::Help, ""},
        {{"-h", "book.cbz"}, Mode::Help, ""},
        {{"--render", "b", "--out", "x.png", "--help"}, Mode::Help, ""},
        {{"--version"}, Mode::Version, ""},
        {{"--bogus"}, Mode::Error, "--bogus"},
        {{"book.cbz", "--bogus"}, Mode::Error, "--bogus"},
        {{"--render", "b", "--out", "x.png", "--bogus"}, Mode::Error, "--bogus"},
        {{"--render", "b", "--out"}, Mode::Error, "--out"},
        {{"--render", "b", "--out", "--rtl"}, Mode::Error, "--out"},
        {{"--render", "b", "--page", "1"}, Mode::Error, "--out"},
        {{"--render", "--out", "x.png"}, Mode::Error, "PATH"},
        {{"--list"}, Mode::Error, "PATH"},
        {{"--list", "a", "b"}, Mode::Error, "b"},
        {{"--list", "b", "--two-page"}, Mode::Error, "--two-page"},
        {{"--make-sample"}, Mode::Error, "FOLDER"},
        {{"--list", "--", "-x.cbz"}, Mode::List, "-x.cbz"},
        {{"--make-sample", "dir"}, Mode::MakeSample, "dir"},
        {{"--render", "b", "--out", "x.png", "--page", "2", "--two-page"}, Mode::Render, "b"},
        {{"--lang", "en", "book.cbz"}, Mode::Window, "book.cbz"},
        {{"--list", "b", "--lang=ko"}, Mode::List, "b"},
        {{"--lang", "fr", "book.cbz"}, Mode::Error, "--lang"},
        {{"book.cbz", "--lang"}, Mode::Error, "--lang"},
    };
    const auto exists = [](const QString &p) { return p == QStringLiteral("-odd name.cbz"); };
    for (const auto &c : cases) {
        const CommandLine::Invocation inv = CommandLine::parseArguments(c.args, exists);
        const QString what = c.args.join(' ');
        EXPECT_EQ(inv.mode, c.mode) << qPrintable(what);
        if (c.mode == Mode::Error) {
            EXPECT_TRUE(inv.error.contains(QString::fromUtf8(c.pathOrError))) << qPrintable(what + ": " + inv.error);
        } else {
            EXPECT_EQ(inv.path, QString::fromUtf8(c.pathOrError)) << qPrintable(what);
        }
    }
    EXPECT_EQ(CommandLine::parseArguments({"--lang", "en", "book.cbz"}, exists).lang, "en");
    EXPECT_EQ(CommandLine::parseArguments({"--list", "b", "--lang=ko"}, exists).lang, "ko");
    const CommandLine::Invocation render = CommandLine::parseArguments(cases[std::size(cases) - 5].args, exists);
    EXPECT_EQ(render.values.value("--page"), "2");
    EXPECT_EQ(render.values.value("--out"), "x.png");
    EXPECT_TRUE(render.flags.contains("--two-page"));

    // Every option the modes take is in the usage, and the parser takes it.
    const QString usage = CommandLine::usage();
    for (const char *mode : {"--list", "--render", "--make-sample", "--help", "--version", "--lang"})
        EXPECT_TRUE(usage.contains(mode)) << mode;
    for (const char *value : {"--out", "--volume", "--page", "--size"}) {
        EXPECT_TRUE(usage.contains(value)) << value;
        EXPECT_EQ(CommandLine::parseArguments({"--render", "b", "--out", "x", value, "1"}, exists).mode, Mode::Render)
            << value;
    }
    for (const char *flag : {"--two-page", "--rtl", "--hundred", "--sharpen", "--effect"}) {
        EXPECT_TRUE(usage.contains(flag)) << flag;
        EXPECT_EQ(CommandLine::parseArguments({"--render", "b", "--out", "x", flag}, exists).mode, Mode::Render)
            << flag;
    }
}

TEST(Language, TheCommandLineThenTheSettingThenTheDesktopChoose)
{
    // -1: none chosen, the design's Korean stays.
    const struct { const char *commandLine, *setting, *locale; int mode; } cases[] = {
        {"", "", "", -1}, {"", "", "C", -1}, {"", "", "POSIX", -1}, {"", "", "ko_KR", 0}, {"", "", "de_DE", 1},
        {"", "English", "ko_KR", 1}, {"", "korean", "en_US", 0}, {"", "Klingon", "en_GB", 1},
        {"ko", "English", "en_US", 0}, {"en", "Korean", "ko_KR", 1},
    };
    for (const auto &c : cases) {
        const std::optional<qint16> mode = Language::chooseMode(c.commandLine, c.setting, c.locale);
        EXPECT_EQ(mode ? *mode : -1, c.mode) << c.commandLine << "|" << c.setting << "|" << c.locale;
    }
}
