#include "CaseName.h"
#include "FileTree.h"
#include "TestImages.h"
#include "ViewerFixture.h"
#include "core/RecentBooks.h"
#include "views/DropOpen.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QString bookNo(int i) { return QStringLiteral("/books/b%1.cbz").arg(i); }
QStringList pathsOf(const QList<RecentBook> &books)
{
    QStringList out;
    for (const RecentBook &b : books)
        out << b.path;
    return out;
}

TEST(RecentBooks, TheLatestComesFirstAHundredAreKeptTenShownAndTheFileKeepsThem)
{
    QTemporaryDir tmp;
    const QString file = tmp.path() + QStringLiteral("/recent-books.json");
    RecentBooks recent(file);
    for (int i = 0; i < 105; ++i)
        recent.remember({bookNo(i), i % 3, i, false});
    // Opened again: first once more, not twice.
    recent.remember({bookNo(50), 2, 7, true});
    const QList<RecentBook> all = recent.books();
    ASSERT_EQ(all.size(), RecentBooks::kKept);
    EXPECT_EQ(all[0].path, bookNo(50));
    EXPECT_EQ(all[1].path, bookNo(104));
    EXPECT_EQ(all.back().path, bookNo(5));
    EXPECT_EQ(pathsOf(all).count(bookNo(50)), 1);
    EXPECT_FALSE(recent.find(bookNo(4)));
    const std::optional<RecentBook> kept = recent.find(bookNo(50));
    ASSERT_TRUE(kept);
    EXPECT_EQ(std::tuple(kept->volume, kept->page, kept->finished), std::tuple(2, 7, true));
    EXPECT_EQ(pathsOf(recent.shown()), pathsOf(all.mid(0, RecentBooks::kShown)));

    RecentBooks again(file);
    EXPECT_EQ(pathsOf(again.books()), pathsOf(all));
    again.remove(bookNo(50));
    EXPECT_EQ(RecentBooks(file).books().first().path, bookNo(104));
    again.clear();
    EXPECT_TRUE(RecentBooks(file).books().isEmpty());
}

TEST(RecentBooks, OneBookByAnySpellingOfItsPath)
{
    QTemporaryDir tmp;
    const QString real = tmp.path() + QStringLiteral("/real/book");
    QDir().mkpath(real);
    ASSERT_TRUE(QFile::link(tmp.path() + QStringLiteral("/real"), tmp.path() + QStringLiteral("/link")));
    RecentBooks recent;
    recent.remember({tmp.path() + QStringLiteral("/link/book/"), 1, 2, false});
    recent.remember({real + QStringLiteral("/../book"), 1, 3, false});
    ASSERT_EQ(recent.books().size(), 1);
    EXPECT_EQ(recent.books()[0].path, QFileInfo(real).canonicalFilePath());
    EXPECT_EQ(recent.find(tmp.path() + QStringLiteral("/link/./book"))->page, 3);
}

TEST(RecentBooks, ADamagedFileReadsAsTheBooksItCanName)
{
    const struct { QByteArray text; int books; } cases[] = {
        {"not json", 0}, {"{\"books\": 5}", 0}, {"[{\"path\": \"/a\"}]", 0},
        {"{\"books\": [{\"path\": 3}, {\"path\": \"/a\", \"page\": -4, \"volume\": \"x\"}, {\"path\": \"/a\"}]}", 1},
    };
    QTemporaryDir tmp;
    for (const auto &c : cases) {
        ASSERT_TRUE(writeFile(tmp.path() + QStringLiteral("/r.json"), c.text));
        RecentBooks recent(tmp.path() + QStringLiteral("/r.json"));
        ASSERT_EQ(recent.books().size(), c.books) << c.text.constData();
        if (c.books) {
            EXPECT_EQ(std::pair(recent.books()[0].volume, recent.books()[0].page), std::pair(0, 0));
        }
    }
}

// A book left at a place is opened again in a later run by one of the routes.
struct KeptPlaceCase
{
    const char *name;
    const char *route;  // "command line", "handed over", "dropped"
    bool readToTheEnd;  // left at the last page of the last volume
    bool leftByAnother; // left by opening another book, else by closing the program
};

class KeptPlace : public ViewerFixture, public ::testing::WithParamInterface<KeptPlaceCase>
{
protected:
    QString makeBook(const QString &name)
    {
        const QString root = makeFolder(name);
        TestImages::writeVolumes(root, 0, 3, 3);
        return root;
    }
    void openBy(const QString &route, const QString &book)
    {
        if (route == QLatin1String("command line")) {
            startUp(book);
            return;
        }
        startUp();
        if (route == QLatin1String("handed over")) {
            w->openHandedPath(book);
            ASSERT_TRUE(QTest::qWaitFor([&] { return app->OpenPath == book; }, 5000));
        } else {
            DropOpen::openPath(*w, book);
        }
    }
};

TEST_P(KeptPlace, ABookOpenedAgainResumesUnlessItWasReadToTheEnd)
{
    const KeptPlaceCase c = GetParam();
    const QString book = makeBook(QStringLiteral("book"));
    openBy(QStringLiteral("dropped"), book);
    ASSERT_EQ(w->session.volumeCount(), 2);
    w->selectVolume(1);
    w->session.goToStep(c.readToTheEnd ? 2 : 1, TurnDirection::RightOver, false);
    if (c.leftByAnother)
        DropOpen::openPath(*w, makeBook(QStringLiteral("other")));
    w->Form_Unload();

    newRun();
    openBy(QString::fromLatin1(c.route), book);
    ASSERT_EQ(app->OpenPath, book);
    EXPECT_EQ(w->volumeIndex(), c.readToTheEnd ? 0 : 1);
    EXPECT_EQ(w->session.step(), c.readToTheEnd ? 0 : 1);
    EXPECT_EQ(app->recent.books().first().path, book);
}

INSTANTIATE_TEST_SUITE_P(
    Routes, KeptPlace,
    ::testing::Values(KeptPlaceCase{"CommandLineAfterExit", "command line", false, false},
                      KeptPlaceCase{"HandedOverAfterAnotherBook", "handed over", false, true},
                      KeptPlaceCase{"DroppedAfterAnotherBook", "dropped", false, true},
                      KeptPlaceCase{"CommandLineReadToTheEnd", "command line", true, true},
                      KeptPlaceCase{"DroppedReadToTheEnd", "dropped", true, false}),
    CaseName());

} // namespace
