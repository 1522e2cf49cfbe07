// The headless modes, run as a user runs them: the built program in a child process.
#include "CaseName.h"
#include "ComicArchive.h"
#include "Corpus.h"
#include "FileTree.h"
#include "RarWriter.h"
#include "RunLeafview.h"
#include "SolidArchiveWriter.h"
#include "ZipWriter.h"
#include "TestImages.h"
#include "imaging/CDIB.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>

TEST(Headless, ListPrintsVolumesAndPagesInOrderAndAMissingPathFailsWithStatusTwo)
{
    QTemporaryDir d;
    const QString root = d.path() + "/책";
    for (const char *name : {"b.png", "A.jpg", "vol2/p10.png", "vol2/p2.png", "vol2/deeper/x.png", "Vol1/c.bmp",
                             "empty/readme.txt"})
        TestImages::write(root + "/" + name, 8, 8);
    ProcessResult r = runLeafview({"--list", root});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, QStringLiteral("/\t2\n\tA.jpg\n\tb.png\n"
                                    "Vol1/\t1\n\tc.bmp\n"
                                    "vol2/\t2\n\tp2.png\n\tp10.png\n"));
    r = runLeafview({"--list", "/no/such/book"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains("/no/such/book"));
}

// Help and the version end at once, without a window (no display is needed); a
// mistyped option stops the run before anything is drawn.
TEST(Headless, HelpAndVersionPrintAndAMistypedOptionFailsWithTheUsage)
{
    QTemporaryDir d;
    TestImages::write(d.path() + "/pages/a.png", 8, 8);
    const QString out = d.path() + "/out.png";
    const struct
    {
        QStringList args;
        int status;
        const char *out, *err;
    } cases[] = {
        {{"--help"}, 0, "--make-sample FOLDER", ""},
        {{"--version"}, 0, "leafview 1.7.0\n", ""},
        {{"--render", d.path() + "/pages", "--out", out, "--bogus"}, 2, "", "unknown option --bogus"},
    };
    for (const auto &c : cases) {
        const ProcessResult r = runLeafview(c.args);
        EXPECT_EQ(r.exitCode, c.status) << qPrintable(c.args.join(' ') + "\n" + r.err);
        EXPECT_TRUE(r.out.contains(c.out)) << qPrintable(r.out);
        EXPECT_TRUE(r.err.contains(c.err)) << qPrintable(r.err);
        if (c.status == 2) {
            EXPECT_TRUE(r.err.contains("Usage: leafview")) << qPrintable(r.err);
        }
    }
    EXPECT_FALSE(QFile::exists(out));
}

namespace {
// The picture --render draws of `book`; a failed run fails the test.
QImage render(const QString &book, const QStringList &flags)
{
    QTemporaryDir d;
    const QString out = d.path() + "/out.png";
    const ProcessResult r = runLeafview(QStringList{"--render", book, "--out", out} + flags);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    return QImage(out).convertToFormat(QImage::Format_RGB32);
}

struct Dot
{
    int x, y;
    QColor colour; // invalid: the shade of the comic's third page, a JPEG, give or take 24
};
struct RenderCase
{
    const char *what;
    const char *book; // "pages": a 600 x 400 and a 300 x 600 page; else a comic archive of that name
    QStringList flags;
    std::vector<Dot> dots;
};
using Rendered = ::testing::TestWithParam<RenderCase>;

TEST_P(Rendered, PagesStandWhereTheFitAndTheReadingOrderPutThem)
{
    const RenderCase c = GetParam();
    QTemporaryDir d;
    const QString book = d.path() + "/" + c.book;
    if (QByteArray(c.book) == "pages") {
        TestImages::write(book + "/p1.png", 600, 400, TestImages::pageColour(1));
        TestImages::write(book + "/p2.png", 300, 600, TestImages::pageColour(2));
    } else {
        ComicArchive::write(book);
    }
    const QImage img = render(book, c.flags);
    ASSERT_FALSE(img.isNull());
    for (const Dot &dot : c.dots) {
        const QColor got(img.pixel(dot.x, dot.y)), want = dot.colour.isValid() ? dot.colour : ComicArchive::pageShade(2);
        EXPECT_LE(std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) + std::abs(got.blue() - want.blue()),
                  dot.colour.isValid() ? 0 : 24)
            << dot.x << "," << dot.y;
    }
}

const QColor black(Qt::black);
// The third 114 x 160 page at 100 % on 400 x 300, centred: (143, 70) .. (256, 229).
const std::vector<Dot> comicPage = {{150, 80, {}},     {200, 150, {}},    {250, 220, {}},   {142, 150, black},
                                    {257, 150, black}, {200, 69, black}, {200, 230, black}};
INSTANTIATE_TEST_SUITE_P(
    Cases, Rendered,
    ::testing::Values(
        // 600 x 400 at 100 % on 800 x 600: (100, 100) .. (699, 499).
        RenderCase{"HundredCentredOnBlack", "pages", {"--hundred", "--size", "800x600"},
                   {{100, 100, TestImages::pageColour(1)}, {699, 499, TestImages::pageColour(1)},
                    {99, 100, black}, {700, 499, black}, {100, 500, black}}},
        RenderCase{"TwoPagesRightToLeftSecondOnTheLeft", "pages", {"--two-page", "--rtl", "--size", "800x600"},
                   {{399, 300, TestImages::pageColour(2)}, {400, 300, TestImages::pageColour(1)}}},
        RenderCase{"ZipVolume", "c.cbz", {"--page", "2", "--hundred", "--size", "400x300"}, comicPage},
        RenderCase{"RarVolume", "c.cbr", {"--page", "2", "--hundred", "--size", "400x300"}, comicPage}),
    CaseName());

TEST(Headless, TheLonePageOfTheLastSpreadRestsInOnePlace)
{
    // With or without the book effect: an edge on the centre line, in the half of
    // a spread's first page (left from left to right, right from right to left).
    QTemporaryDir d;
    TestImages::writePages(d.path() + "/pages", 3, 300, 600);
    QImage first[2];
    for (const QStringList &flags : {QStringList{}, QStringList{"--effect"}, QStringList{"--rtl"},
                                     QStringList{"--rtl", "--effect"}}) {
        const QImage img = render(d.path() + "/pages", QStringList{"--two-page", "--page", "1", "--size", "800x600"} + flags);
        const bool rtl = flags.contains("--rtl");
        EXPECT_EQ(QColor(img.pixel(rtl ? 400 : 399, 300)), TestImages::pageColour(3)) << flags.join(' ').toStdString();
        EXPECT_EQ(QColor(img.pixel(rtl ? 399 : 400, 300)), QColor(Qt::black)) << flags.join(' ').toStdString();
        if (first[rtl].isNull())
            first[rtl] = img;
        else
            EXPECT_TRUE(img == first[rtl]) << flags.join(' ').toStdString();
    }
}

using SharpenedRender = ::testing::TestWithParam<const char *>;

// On a dense screen the sharpen filter works on the device pixels drawn there.
TEST_P(SharpenedRender, IsThePlainRenderSharpened)
{
    QTemporaryDir d;
    QImage page(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            page.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, ((x + y) * 3) % 256));
    QDir().mkpath(d.path() + "/pages");
    ASSERT_TRUE(page.save(d.path() + "/pages/p.png"));
    const QStringList size{"--size", "401x301", "--scale", GetParam()};
    const QImage plain = render(d.path() + "/pages", size);
    const QImage got = render(d.path() + "/pages", size + QStringList{"--sharpen"});
    QImage expected = plain;
    CDIB dib;
    dib.Create(expected.width(), expected.height());
    dib.CloneHDC(expected, CDIB::SRCCOPY, 0, 0);
    dib.Sharpen();
    dib.PaintTo(expected, 0, 0, CDIB::SRCCOPY);
    ASSERT_EQ(got.size(), QSizeF(401 * QString(GetParam()).toDouble(), 301 * QString(GetParam()).toDouble()).toSize());
    EXPECT_TRUE(got == expected);
    EXPECT_FALSE(got == plain); // it did change something
}

INSTANTIATE_TEST_SUITE_P(Scales, SharpenedRender, ::testing::Values("1", "2"),
                         [](const auto &info) { return std::string("Scale") + info.param; });

// A scan with detail in every pixel, drawn for a 2x screen, shows that detail:
// its pixels are not the pixels of a 1x drawing doubled into 2 x 2 blocks.
TEST(Headless, ADensePageAtScaleTwoShowsItsOwnPixels)
{
    QTemporaryDir d;
    QImage scan(1600, 1200, QImage::Format_RGB32);
    quint32 seed = 7;
    for (int y = 0; y < scan.height(); ++y)
        for (int x = 0; x < scan.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            scan.setPixel(x, y, (seed >> 8) | 0xff000000u);
        }
    QDir().mkpath(d.path() + "/pages");
    ASSERT_TRUE(scan.save(d.path() + "/pages/scan.png"));
    const QImage img = render(d.path() + "/pages", {"--size", "640x480", "--scale", "2"});
    ASSERT_EQ(img.size(), QSize(1280, 960));
    // Inside the page (the middle of the surface), count the 2 x 2 blocks of one colour.
    int blocks = 0, uniform = 0;
    for (int y = 200; y < 760; y += 2)
        for (int x = 200; x < 1080; x += 2, ++blocks) {
            const QRgb p = img.pixel(x, y);
            uniform += p == img.pixel(x + 1, y) && p == img.pixel(x, y + 1) && p == img.pixel(x + 1, y + 1);
        }
    EXPECT_LT(uniform, blocks / 10);
    const ProcessResult bad =
        runLeafview({"--render", d.path() + "/pages", "--out", d.path() + "/o.png", "--scale", "0.5"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains("--scale")) << qPrintable(bad.err);
}

const QString longName = QString(90, QChar(0xD55C)) + ".png"; // 270 bytes and more in UTF-8
// A comic as people trade it: its pages in one folder, a metadata file at the root.
const std::vector<std::pair<QString, QColor>> comic = {
    {"Comic 001/p2.png", Qt::green}, {"Comic 001/p1.png", Qt::red}, {"comicinfo.xml", Qt::black}};
const QString comicPages = "\t2\n\tp1.png\n\tp2.png\n";

struct Named
{
    const char *what;
    QString book; // ".cbz" ZIP, ".cbr" RAR 5, ".cbt" tar; under "shelf/" opened by its folder
    std::vector<std::pair<QString, QColor>> members;
    QString listed;  // what --list prints
    int page, drawn; // --render of volume 0 at `page` draws members[drawn] (-1: not rendered)
};

using HeadlessNames = ::testing::TestWithParam<Named>;

// What --list names is what --render counts, draws and names: the page's own name,
// however its member is stored and whatever it holds.
TEST_P(HeadlessNames, ListAndRenderAgree)
{
    const Named &c = GetParam();
    QTemporaryDir d;
    const QString book = d.path() + "/" + c.book;
    Files files;
    for (const auto &[name, colour] : c.members)
        files.emplace_back(name, TestImages::encoded(24, 24, colour));
    ASSERT_FALSE(writeArchive(book, files).isEmpty());
    const QString opened = c.book.startsWith("shelf/") ? d.path() + "/shelf" : book;
    ProcessResult r = runLeafview({"--list", opened});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, c.listed);
    if (c.drawn < 0)
        return;
    const QImage drawn = render(opened, {"--page", QString::number(c.page), "--size", "48x48"});
    EXPECT_EQ(drawn.pixelColor(24, 24), c.members[std::size_t(c.drawn)].second);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeadlessNames,
    ::testing::Values(
        // Alone or inside a folder, such a comic names its pages as opened alone.
        Named{"AComicInAZip", "c.cbz", comic, "Comic 001" + comicPages, 1, 0},
        Named{"AComicInARarHasItsFolderLowerCased", "c.cbr", comic, "comic 001" + comicPages, 1, 0},
        Named{"AComicIn7zOnAShelf", "shelf/c.cb7", comic, "c.cb7" + comicPages, 1, 0},
        // A page stored apart from its folder's others is still listed with them.
        Named{"AFoldersPagesStoredApart", "b.cbz", {{"v2/p.png", Qt::red}, {"v10/p.png", Qt::green}, {"v2/a.png", Qt::blue}},
              "v2\t2\n\ta.png\n\tp.png\nv10\t1\n\tp.png\n", 0, 2},
        Named{"PagesInFoldersOfABookOnAShelf", "shelf/b.cbz",
              {{"Book 1/001.png", Qt::red}, {"Book 1/002.png", Qt::green}, {"Book 2/001.png", Qt::blue}},
              "b.cbz\t3\n\t001.png\n\t002.png\n\t001.png\n", 2, 2},
        Named{"OneNameTwiceInATar", "b.cbt", {{"p.png", Qt::red}, {"p.png", Qt::green}, {"a.png", Qt::blue}},
              "/\t3\n\ta.png\n\tp.png\n\tp~2.png\n", 2, 1},
        // One line a page whatever the names hold.
        Named{"ControlCharactersAreEscaped", "b.cbz", {{"a\nvolume\t9\n.png", Qt::red}, {"b\rc\u2028.png", Qt::green}},
              "/\t2\n\ta\\x0avolume\\x099\\x0a.png\n\tb\\x0dc\\u2028.png\n", 1, 1},
        Named{"EscapesReadOneWay", "b.cbt",
              {{"x\\x0a.png", Qt::red}, {"Book/a\\b.png", Qt::green}, {"Rtl/" + QString(QChar(0x202E)) + "gnp.png", Qt::blue}},
              "/\t1\n\tx\\\\x0a.png\nBook\t1\n\ta\\\\b.png\nRtl\t1\n\t\\u202egnp.png\n", 0, 0},
        Named{"ALongNameInAZip", "b.cbz", {{longName, Qt::red}}, "/\t1\n\t" + longName + "\n", 0, 0},
        Named{"ALongNameInARar", "b.cbr", {{longName, Qt::green}}, "/\t1\n\t" + longName + "\n", 0, 0},
        Named{"ALongNameInATarOnAShelf", "shelf/b.cbt", {{"Book/" + longName, Qt::blue}},
              "b.cbt\t1\n\t" + longName + "\n", 0, 0},
        Named{"ALongNameInAZipOnAShelf", "shelf/b.cbz", {{"Book/" + longName, Qt::blue}},
              "b.cbz\t1\n\t" + longName + "\n", 0, 0}),
    CaseName());
} // namespace

TEST(Headless, TheThirdPartyComicListsAndRendersAlikeFromZipAndRar)
{
    SKIP_WITHOUT_CORPUS();
    const QString comic = Corpus::path("comicbox/Captain Science #001");
    const QString expectedPages = QStringLiteral("\tCaptainScience#1_01.jpg\n\tCaptainScience#1_02.jpg\n"
                                                 "\tCaptainScience#1_03.jpg\n\tCaptainScience#1_04.jpg\n"
                                                 "\tCaptainScience#1_05.jpg\n");
    QImage pages[2];
    for (const auto &[source, volume] : {std::pair(comic + ".cbz", QStringLiteral("Captain Science 001")),
                                         std::pair(comic + "-cbi.cbr", QStringLiteral("captain science 001"))}) {
        const ProcessResult r = runLeafview({"--list", source});
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
        EXPECT_EQ(r.out, volume + "\t5\n" + expectedPages);
        pages[source.endsWith("cbr")] = render(source, {"--page", "2", "--size", "400x300"});
    }
    EXPECT_FALSE(pages[0].isNull());
    EXPECT_TRUE(pages[0] == pages[1]); // the same comic page from both archives
}

TEST(Headless, RunsWithoutItsControlLibraries)
{
    // The program copied alone into a folder without ocx/: it still lists, and it
    // renders an empty black surface instead of crashing, telling that the page
    // could not be drawn.
    QTemporaryDir d;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LEAFVIEW_BUILD_BIN "/leafview"), d.path() + "/leafview"));
    QFile::setPermissions(d.path() + "/leafview", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TestImages::write(d.path() + "/book/p1.png", 30, 30, Qt::white);
    const ProcessResult r = runProgram(
        d.path() + "/leafview", {"--render", d.path() + "/book", "--out", d.path() + "/out.png", "--size", "64x48"});
    EXPECT_EQ(r.exitCode, 1) << qPrintable(r.err);
    const QImage img(d.path() + "/out.png");
    ASSERT_EQ(img.size(), QSize(64, 48));
    EXPECT_EQ(QColor(img.pixel(32, 24)), QColor(Qt::black));
}

// What the headless modes tell a script about books they cannot show.
TEST(HeadlessFailure, RenderFailsWhenThePageCannotBeDrawn)
{
    QTemporaryDir d;
    TestImages::write(d.path() + "/book/a.png", 40, 30);
    ASSERT_TRUE(writeFile(d.path() + "/book/b.png", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(200, 'x')));
    const QString out = d.path() + "/out.png";
    ProcessResult r = runLeafview({"--render", d.path() + "/book", "--out", out, "--page", "0"});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    r = runLeafview({"--render", d.path() + "/book", "--out", out, "--page", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("b.png")) << qPrintable(r.err);
    r = runLeafview({"--render", d.path() + "/book", "--out", out, "--page", "2"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_EQ(runLeafview({"--render", d.path() + "/book", "--out", out, "--volume", "4"}).exitCode, 2);
}

namespace {
QStringList privateFolders(const QString &tmp)
{
    return QDir(tmp).entryList({"leafview-headless-*"}, QDir::Dirs | QDir::Hidden);
}

// Renders into a pipe nobody reads, so the run waits with its private folder
// (and the page extracted into its TmpZip) in place until it is stopped.
QProcess *startBlockedRender(const QString &tmp, const QString &book, const QString &pipe)
{
    auto *p = new QProcess;
    QProcessEnvironment env = offscreenEnvironment();
    env.insert("TMPDIR", tmp);
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(LEAFVIEW_BUILD_BIN "/leafview"), {"--render", book, "--out", pipe});
    for (int i = 0; i < 3000 && privateFolders(tmp).isEmpty(); ++i)
        QThread::msleep(10);
    return p;
}
} // namespace

TEST(HeadlessFailure, AStoppedOrKilledRunLeavesNoPrivateFolderBehind)
{
    QTemporaryDir tmp, d;
    const QString book = d.path() + "/book.cbz", pipe = d.path() + "/out.png";
    {
        ZipWriter z(book);
        z.addFile("p.png", TestImages::encoded(8, 8));
    }
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    std::unique_ptr<QProcess> p(startBlockedRender(tmp.path(), book, pipe));
    ASSERT_EQ(privateFolders(tmp.path()).size(), 1);
    p->terminate();
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_TRUE(privateFolders(tmp.path()).isEmpty());

    // Killed outright, the folder stays until the next run clears it away.
    p.reset(startBlockedRender(tmp.path(), book, pipe));
    ASSERT_EQ(privateFolders(tmp.path()).size(), 1);
    p->kill();
    ASSERT_TRUE(p->waitForFinished(30000));
    ASSERT_EQ(privateFolders(tmp.path()).size(), 1);
    QProcessEnvironment env = offscreenEnvironment();
    env.insert("TMPDIR", tmp.path());
    EXPECT_EQ(runProgram(QStringLiteral(LEAFVIEW_BUILD_BIN "/leafview"), {"--list", book}, env).exitCode, 0);
    EXPECT_TRUE(privateFolders(tmp.path()).isEmpty());
}

// The archive readers under --list.
TEST(ArchiveList, NestedArchivesAndLegacyNamesListAsVolumes)
{
    QTemporaryDir d;
    const QByteArray inner = readFile(makeZip(d.path() + "/inner.zip", {{"b.jpg", "b"}, {"a.jpg", "a"},
                                                                       {"deep/c.jpg", "not a page of a nested archive"}}));
    const QByteArray empty = readFile(makeZip(d.path() + "/empty.zip", {{"deep/x.txt", "x"}}));
    QStringEncoder cp949("CP949");
    {
        ZipWriter outer(d.path() + "/book.zip");
        outer.addFile("cover.jpg", "c");
        outer.addRawName(cp949.encode(QString::fromUtf8("권1/둘.jpg")), "2");
        outer.addRawName(cp949.encode(QString::fromUtf8("권1/하나.jpg")), "1");
        outer.addFile("inner.zip", inner);
        outer.addFile("inner.rar", readFile(makeRar(d.path() + "/inner.rar", RarWriter::Version::Rar4, {{"r1.jpg", "r"}})));
        outer.addFile("empty.zip", empty);
        ASSERT_TRUE(outer.close());
    }
    const ProcessResult r = runLeafview({"--list", d.path() + "/book.zip"});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out.toStdString(), QString::fromUtf8("/\t1\n\tcover.jpg\n"
                                                     "ⓧ empty.zip\t0\n"
                                                     "inner.rar\t1\n\tr1.jpg\n"
                                                     "inner.zip\t2\n\ta.jpg\n\tb.jpg\n"
                                                     "권1\t2\n\t둘.jpg\n\t하나.jpg\n")
                                       .toStdString());
}

TEST(ArchiveList, AnUnreadableRarIsReportedAndTheListingFails)
{
    QTemporaryDir d;
    writeFile(d.path() + "/broken.rar", "plain text pretending to be an archive");
    const ProcessResult r = runLeafview({"--list", d.path() + "/broken.rar"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(d.path() + QString::fromUtf8("/broken.rar\nRAR 압축파일이 아니거나"))) << qPrintable(r.err);
}
