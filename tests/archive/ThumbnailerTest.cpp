// The thumbnailer run as the file manager runs it: a book in, a PNG of its first
// page out, in a session whose home folder must stay as it was.
#include "CaseName.h"
#include "ComicArchive.h"
#include "Corpus.h"
#include "FileTree.h"
#include "RarWriter.h"
#include "RunLeafview.h"
#include "SolidArchiveWriter.h"
#include "TestImages.h"
#include "ZipWriter.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {
const QColor kRed(200, 30, 30), kGreen(30, 200, 30), kBlue(30, 30, 200);

// Two folders stored out of order, their pages too: the first page is p2 of vol1
// (natural order, volumes sorted), a wide one.
Files foldered()
{
    return {{"vol2/p1.png", TestImages::encoded(60, 90, kRed)},
            {"vol1/p10.png", TestImages::encoded(60, 90, kGreen)},
            {"vol1/p2.png", TestImages::encoded(400, 100, kBlue)}};
}

using Maker = QString (*)(const QString &dir);

struct ThumbCase
{
    const char *what;
    Maker make;
    QColor colour; // of the picture; invalid: the book is refused
    QSize size;    // at -s 256
    bool asUri = false;
};

using Thumbnailer = ::testing::TestWithParam<ThumbCase>;

TEST_P(Thumbnailer, DrawsTheFirstPageOrRefusesAndWritesNothingElse)
{
    const ThumbCase &c = GetParam();
    QTemporaryDir work;
    const QString home = work.path() + "/home", out = work.path() + "/out";
    ASSERT_TRUE(QDir().mkpath(home) && QDir().mkpath(out) && QDir().mkpath(work.path() + "/books"));
    const QString book = c.make(work.path() + "/books");
    const QStringList books = treeOf(work.path() + "/books");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "DISPLAY",
                             "WAYLAND_DISPLAY"})
        env.remove(name);
    env.insert("HOME", home);
    const QString input = c.asUri ? QUrl::fromLocalFile(book).toString(QUrl::FullyEncoded) : book;
    const ProcessResult r = runProgram(QStringLiteral(LEAFVIEW_BUILD_BIN "/leafview-thumbnailer"),
                                       {"-s", "256", input, out + "/t.png"}, env);

    EXPECT_EQ(treeOf(home), QStringList()) << "nothing written in HOME";
    EXPECT_EQ(treeOf(work.path() + "/books"), books);
    if (!c.colour.isValid()) {
        EXPECT_GT(r.exitCode, 0) << "refused with a status (not a crash)";
        EXPECT_EQ(treeOf(out), QStringList());
        return;
    }
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(treeOf(out), QStringList{"t.png"});
    const QImage thumb(out + "/t.png", "PNG");
    EXPECT_EQ(thumb.size(), c.size);
    const QColor centre = thumb.pixelColor(thumb.width() / 2, thumb.height() / 2);
    EXPECT_LE(std::abs(centre.red() - c.colour.red()) + std::abs(centre.green() - c.colour.green()) +
                  std::abs(centre.blue() - c.colour.blue()),
              24)
        << qPrintable(centre.name());
}

INSTANTIATE_TEST_SUITE_P(
    Books, Thumbnailer,
    ::testing::Values(
        ThumbCase{"cbz with folders", [](const QString &d) { return makeZip(d + "/b.cbz", foldered()); }, kBlue,
                  {256, 64}},
        ThumbCase{"cbr RAR4", [](const QString &d) { return makeRar(d + "/b.cbr", RarWriter::Version::Rar4, foldered()); },
                  kBlue, {256, 64}},
        ThumbCase{"cbr RAR5", [](const QString &d) { return makeRar(d + "/b.cbr", RarWriter::Version::Rar5, foldered()); },
                  kBlue, {256, 64}},
        ThumbCase{"cb7", [](const QString &d) { return writeArchive(d + "/b.cb7", foldered()); }, kBlue, {256, 64}},
        ThumbCase{"cbt", [](const QString &d) { return writeArchive(d + "/b.cbt", foldered()); }, kBlue, {256, 64}},
        ThumbCase{"folder-wrapped cbz named by a file URI",
                  [](const QString &d) { return ComicArchive::write(d + "/만화 #1 100%.cbz"); },
                  ComicArchive::pageShade(0), {182, 256}, true},
        // Resource forks and hidden files would sort first and form a volume of their own.
        ThumbCase{"macOS junk first",
                  [](const QString &d) {
                      return makeZip(d + "/b.cbz", {{"__MACOSX/Book/._001.png", TestImages::encoded(10, 10, kRed)},
                                                    {"._000.png", TestImages::encoded(10, 10, kRed)},
                                                    {"Book/002.png", TestImages::encoded(90, 60, kRed)},
                                                    {"Book/001.png", TestImages::encoded(90, 60, kGreen)}});
                  },
                  kGreen, {256, 170}},
        // A real page followed by more zeros than a page may hold: read whole, it would draw.
        ThumbCase{"page padded past the member limit",
                  [](const QString &d) {
                      ZipWriter z(d + "/b.cbz");
                      z.addZeros("001.png", qint64(40) << 20, TestImages::encoded(20, 20, kGreen));
                      z.close();
                      return d + "/b.cbz";
                  },
                  QColor(), {}},
        // Within the reader's decode limit, not within the thumbnailer's.
        ThumbCase{"bitmap declaring 6000 x 6000",
                  [](const QString &d) {
                      return makeZip(d + "/b.cbz", {{"001.bmp", TestImages::rleBitmap(6000, 6000)}});
                  },
                  QColor(), {}},
        // Decoded at a reduced size it takes little memory, but seconds.
        ThumbCase{"flat PNG of 8000 x 8000",
                  [](const QString &d) { return makeZip(d + "/b.cbz", {{"001.png", TestImages::flatPng(8000, 8000)}}); },
                  QColor(), {}},
        // Its pages would have to be unpacked whole.
        ThumbCase{"first volume inside a nested archive",
                  [](const QString &d) {
                      return makeZip(d + "/b.cbz", {{"a.cbz", readFile(makeZip(d + "/in.cbz", foldered()))},
                                                    {"b/001.png", TestImages::encoded(9, 9, kRed)}});
                  },
                  QColor(), {}}),
    CaseName());

// The third-party books: five real JPEG pages of 114 x 160 in a folder.
TEST(ThumbnailerCorpus, DrawsTheBooksOtherToolsMade)
{
    SKIP_WITHOUT_CORPUS();
    QTemporaryDir out;
    for (const char *book : {"comicbox/Captain Science #001.cbz", "comicbox/Captain Science #001-cbi.cbr",
                             "comicbox/Captain Science #001.cb7", "comicbox/macos_resource_fork.cbz"}) {
        const ProcessResult r = runProgram(QStringLiteral(LEAFVIEW_BUILD_BIN "/leafview-thumbnailer"),
                                           {"-s", "128", Corpus::path(book), out.filePath("t.png")});
        EXPECT_EQ(r.exitCode, 0) << book << qPrintable(r.err);
        EXPECT_FALSE(QImage(out.filePath("t.png")).isNull()) << book;
        QFile::remove(out.filePath("t.png"));
    }
}
} // namespace
