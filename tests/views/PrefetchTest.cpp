#include "CaseName.h"
#include "FileTree.h"
#include "ViewerFixture.h"
#include "RarWriter.h"
#include "ZipWriter.h"
#include "core/PageComposer.h"
#include "platform/Canvas.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

namespace {

// One view set-up.
struct Options
{
    const char *what;
    bool two, rtl, hundred, sharpen, effect;
    double ratio = 1.0; // device pixels per logical pixel of the surface
};

class Prefetch : public ViewerFixture, public ::testing::WithParamInterface<Options>
{
protected:
    // Pages with detail in every block, so any other scaling or offset shows.
    QString makeBook(int pages)
    {
        const QString root = makeFolder(QStringLiteral("book"));
        QRandomGenerator rng(7);
        for (int i = 0; i < pages; ++i) {
            QImage img(i % 2 ? 420 : 380, 600, QImage::Format_RGB32);
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    img.setPixel(x, y, qRgb((x * 3 + i * 40) & 255, (y + int(rng.bounded(40))) & 255, (x ^ y) & 255));
            img.save(root + QStringLiteral("/p%1.jpg").arg(i), "JPEG", 85);
        }
        return root;
    }
    void setOptions()
    {
        const Options o = GetParam();
        ReadingSession &s = w->session;
        s.setOption(ReadingSession::TwoPage, o.two);
        s.setOption(ReadingSession::RightToLeft, o.rtl);
        s.setOption(ReadingSession::Hundred, o.hundred);
        s.setOption(ReadingSession::Sharpen, o.sharpen);
        s.setOption(ReadingSession::BookEffect, o.effect);
        w->PicDraw->setRatio(o.ratio);
    }
    // The look-ahead queued by the last draw gets its turn.
    static void letItQueue() { QCoreApplication::processEvents(); }
    // Two steps from one end (the first sets the direction); the surface after
    // the second, and in `hits` what that second step found decoded ahead.
    QImage turnTwice(bool forward, int &hits)
    {
        w->session.goToStep(forward ? 0 : 2, TurnDirection::RightOver, false);
        forward ? w->Go_Next() : w->Go_Prev();
        letItQueue();
        const int before = w->composer.prefetch().hits();
        forward ? w->Go_Next() : w->Go_Prev();
        hits = w->composer.prefetch().hits() - before;
        return w->PicDraw->surface().copy();
    }
};

TEST_P(Prefetch, ATurnToAPageDecodedAheadShowsTheSamePixels)
{
    if (!w->ImgPicture1)
        GTEST_SKIP() << "no PhotoGrip control in this build";
    w->resize(700, 500);
    openFolder(makeBook(6));
    setOptions();
    const int perStep = int(w->session.viewMode()) == 2 ? 2 : 1;
    for (const bool forward : {true, false}) {
        int hits = 0;
        w->composer.setPrefetching(true);
        const QImage ahead = turnTwice(forward, hits);
        EXPECT_EQ(hits, perStep) << "forward " << forward;
        w->composer.setPrefetching(false);
        const QImage plain = turnTwice(forward, hits);
        EXPECT_EQ(hits, 0);
        ASSERT_FALSE(plain.isNull());
        EXPECT_TRUE(ahead == plain) << "forward " << forward;
    }
}

INSTANTIATE_TEST_SUITE_P(Views, Prefetch,
                         ::testing::Values(Options{"OnePage", false, false, false, false, false},
                                           Options{"SharpenAndBookEffect", false, false, false, true, true},
                                           Options{"TwoPages", true, false, false, false, false},
                                           Options{"TwoPagesRightToLeftBookEffect", true, true, false, false, true},
                                           Options{"Hundred", false, false, true, false, false},
                                           Options{"TwoPagesAt1_5", true, false, false, false, false, 1.5},
                                           Options{"SharpenAndBookEffectAt2", false, false, false, true, true, 2.0}),
                         CaseName());

using PrefetchDrop = Prefetch;

TEST_F(PrefetchDrop, WhatWasDecodedAheadIsForgottenOnResizeOptionAndVolumeChange)
{
    if (!w->ImgPicture1)
        GTEST_SKIP() << "no PhotoGrip control in this build";
    w->resize(700, 500);
    const QString book = makeBook(4);
    openFolder(book);
    w->session.setOption(ReadingSession::BookEffect, false);
    PagePrefetch &ahead = w->composer.prefetch();
    const std::vector<std::function<void()>> changes = {
        [&] { w->PicDraw->resize(w->PicDraw->width() - 50, w->PicDraw->height()); w->Page_Draw(0); },
        [&] { w->session.setOption(ReadingSession::Sharpen, true); },
        [&] { openFolder(book); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        w->Page_Draw(0);
        letItQueue();
        ASSERT_EQ(ahead.held(), 1) << i;
        changes[i]();
        EXPECT_EQ(ahead.held(), 0) << i;
    }
}

// Turns, resizes, option and volume changes come while decodes run on the worker
// (run under ThreadSanitizer too); what is shown afterwards is still exactly the
// page, and closing with a decode under way waits for it.
TEST_F(PrefetchDrop, ChangesWhileDecodesRunLeaveTheRightPage)
{
    if (!w->ImgPicture1)
        GTEST_SKIP() << "no PhotoGrip control in this build";
    w->resize(700, 500);
    const QString book = makeBook(6);
    openFolder(book);
    w->session.setOption(ReadingSession::BookEffect, false);
    const std::vector<std::function<void()>> actions = {
        [&] { w->Go_Next(); },
        [&] { w->Go_Prev(); },
        [&] { w->PicDraw->resize(w->PicDraw->width() + (w->PicDraw->width() % 2 ? -9 : 9), w->PicDraw->height()); },
        [&] { w->session.setOption(ReadingSession::Sharpen, !w->session.option(ReadingSession::Sharpen)); },
        [&] { w->session.setOption(ReadingSession::TwoPage, !w->session.option(ReadingSession::TwoPage)); },
        [&] { openFolder(book); },
    };
    QRandomGenerator rng(11);
    for (int i = 0; i < 60; ++i) {
        actions[rng.bounded(int(actions.size()))]();
        w->Page_Draw(0);
        letItQueue(); // the look-ahead starts; the next action races it
    }
    const QImage ahead = w->PicDraw->surface().copy();
    w->composer.setPrefetching(false);
    w->Page_Draw(0);
    EXPECT_TRUE(ahead == w->PicDraw->surface());
    w->composer.setPrefetching(true);
    w->Go_Next();
    letItQueue();
}

// The first page of a book named on the command line is decoded while the window
// shows. It stands in only for exactly the page the window draws without it.
class FirstPage : public Prefetch
{
protected:
    QString zipOf(const QString &folder)
    {
        Files pages;
        for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
            pages.emplace_back(f.fileName(), readFile(f.filePath()));
        return makeZip(books.path() + QStringLiteral("/book.cbz"), pages);
    }
    // Start-up as the program runs it, up to the window shown; then waits until
    // the early decode is under way (or the worker has given up).
    FirstPageAhead &startShown(const QString &book)
    {
        w->resize(700, 500);
        EXPECT_TRUE(w->Form_Load(book));
        w->show();
        FirstPageAhead &early = w->composer.firstPage();
        QElapsedTimer t;
        t.start();
        while (!early.settled() && t.elapsed() < 20000)
            QThread::msleep(2);
        return early;
    }
    QImage drawnAgain()
    {
        w->Page_Draw(0);
        return w->PicDraw->surface().copy();
    }
};

TEST_F(FirstPage, StandsInForThePageOfAnArchiveOrAFolder)
{
    if (!w->ImgPicture1)
        GTEST_SKIP() << "no PhotoGrip control in this build";
    const QString folder = makeBook(3);
    for (const QString &book : {zipOf(folder), folder}) {
        newRun();
        FirstPageAhead &early = startShown(book);
        ASSERT_TRUE(early.decodedSize().isValid()) << qPrintable(book);
        w->Tmr_Load_Timer();
        EXPECT_TRUE(early.served()) << qPrintable(book);
        const QImage first = w->PicDraw->surface().copy();
        ASSERT_FALSE(first.isNull());
        EXPECT_TRUE(first == drawnAgain()) << qPrintable(book);
        early.finish();
        EXPECT_FALSE(QFileInfo::exists(FirstPageAhead::scratchFolder(app->paths)));
    }
}

TEST_F(FirstPage, IsNotServedForAPageRewrittenOrDrawnAtAnotherSize)
{
    if (!w->ImgPicture1)
        GTEST_SKIP() << "no PhotoGrip control in this build";
    const QString folder = makeBook(3);
    const std::vector<std::function<void()>> changes = {
        [&] {
            QImage other(380, 600, QImage::Format_RGB32);
            other.fill(Qt::darkCyan);
            ASSERT_TRUE(other.save(folder + QStringLiteral("/p0.jpg"), "JPEG", 85));
        },
        [&] { w->resize(640, 520); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        newRun();
        FirstPageAhead &early = startShown(folder);
        ASSERT_TRUE(early.decodedSize().isValid()) << i;
        changes[i]();
        w->Tmr_Load_Timer();
        EXPECT_FALSE(early.served()) << i;
        const QImage first = w->PicDraw->surface().copy();
        EXPECT_TRUE(first == drawnAgain()) << i;
    }
}

// A volume that comes out whole (a RAR book, an archive standing as a volume) is
// not taken out a second time on the worker: the window's session alone does it.
TEST_F(FirstPage, LeavesAVolumeThatComesOutWholeToTheWindow)
{
    if (!w->ImgPicture1)
        GTEST_SKIP() << "no PhotoGrip control in this build";
    const Files page = {{QStringLiteral("p0.jpg"), readFile(makeBook(1) + QStringLiteral("/p0.jpg"))}};
    const QByteArray inner = readFile(makeZip(books.path() + QStringLiteral("/vol1.zip"), page));
    for (const QString &book : {makeRar(books.path() + QStringLiteral("/book.cbr"), RarWriter::Version::Rar5, page),
                                makeZip(books.path() + QStringLiteral("/nested.cbz"), {{QStringLiteral("vol1.zip"), inner}})}) {
        newRun();
        FirstPageAhead &early = startShown(book);
        EXPECT_TRUE(early.settled()) << qPrintable(book);
        EXPECT_FALSE(early.decodedSize().isValid()) << qPrintable(book);
        w->Tmr_Load_Timer();
        EXPECT_FALSE(early.served());
        EXPECT_EQ(w->session.pageCount(), 1) << qPrintable(book);
    }
}

// A link left where the scratch folder goes is removed as a link: what it
// points at is not ours.
TEST_F(FirstPage, ABookThatCannotBeReadLeavesNothingBehindAndTouchesNothingElse)
{
    const QString book = books.path() + QStringLiteral("/broken.cbz");
    ASSERT_TRUE(writeFile(book, "PK\x03\x04 not really an archive"));
    const QString keep = makeFolder(QStringLiteral("keep"));
    ASSERT_TRUE(writeFile(keep + QStringLiteral("/mine.txt")));
    const QString scratch = FirstPageAhead::scratchFolder(app->paths);
    ASSERT_TRUE(QFile::link(keep, scratch));

    FirstPageAhead &early = startShown(book);
    w->Tmr_Load_Timer();
    early.finish();
    EXPECT_FALSE(early.served());
    EXPECT_FALSE(QFileInfo(scratch).exists() || QFileInfo(scratch).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(keep + QStringLiteral("/mine.txt")));
}

} // namespace

// The pages held ahead are counted in the pixels they are decoded at: on a
// dense screen fewer of them fit the same budget.
TEST(PrefetchBudget, CountsThePixelsEachPageIsDecodedAt)
{
    QTemporaryDir d;
    PagePrefetch ahead;
    ahead.setCapacity(6);
    ahead.setBudget(qint64(1000) * 1000 * 4 * 2);
    const PictureDecoder decoder = [](const QString &, qint32 w, qint32 h) -> std::optional<QImage> {
        return QImage(w, h, QImage::Format_RGB32);
    };
    for (int i = 0; i < 4; ++i)
        ahead.request(PagePrefetch::keyOf(d.path() + QStringLiteral("/a%1").arg(i), {1000, 1000}), decoder);
    EXPECT_EQ(ahead.held(), 2);
    // One page over the budget on its own is still held.
    ahead.request(PagePrefetch::keyOf(d.path() + QStringLiteral("/big"), {2000, 2000}), decoder);
    EXPECT_EQ(ahead.held(), 1);
    ahead.settle();
}
