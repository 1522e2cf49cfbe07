#include "CaseName.h"
#include "FileTree.h"
#include "ViewerFixture.h"
#include "core/PageComposer.h"
#include "platform/Canvas.h"

#include <QCoreApplication>
#include <QRandomGenerator>

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
    void SetUp() override
    {
        ViewerFixture::SetUp();
        if (!w->ImgPicture1)
            GTEST_SKIP() << "no PhotoGrip control in this build";
    }
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
    // A book of `pages` opened on a 700 x 500 window, without the turning effect.
    QString openBook(int pages)
    {
        w->resize(700, 500);
        const QString book = makeBook(pages);
        openFolder(book);
        w->session.setOption(ReadingSession::BookEffect, false);
        return book;
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
    // ... and its decodes are done.
    void letItRun()
    {
        letItQueue();
        w->composer.decodes().settle();
    }
    // Two steps from one end (the first sets the direction); the surface after
    // the second, and in `hits` what that second step found decoded ahead.
    QImage turnTwice(bool forward, int &hits)
    {
        w->session.goToStep(forward ? 0 : 2, TurnDirection::RightOver, false);
        forward ? w->Go_Next() : w->Go_Prev();
        letItRun();
        const int before = w->composer.decodes().hits();
        forward ? w->Go_Next() : w->Go_Prev();
        hits = w->composer.decodes().hits() - before;
        return w->PicDraw->surface().copy();
    }
};

TEST_P(Prefetch, ATurnToAPageDecodedAheadShowsTheSamePixels)
{
    openBook(6);
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
    const QString book = openBook(4);
    DecodeQueue &queue = w->composer.decodes();
    const std::vector<std::function<void()>> changes = {
        [&] { w->PicDraw->resize(w->PicDraw->width() - 50, w->PicDraw->height()); w->Page_Draw(0); },
        [&] { w->session.setOption(ReadingSession::Sharpen, true); },
        [&] { openFolder(book); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        w->Page_Draw(0);
        letItRun();
        ASSERT_EQ(queue.held(), 2) << i; // the page shown and the next
        changes[i]();
        // At most the page drawn since.
        EXPECT_LE(queue.held(), 1) << i;
    }
}

// A small CacheMB keeps a whole volume of large pages within it while reading
// through, and every page still shows as decoded on the spot.
TEST_F(PrefetchDrop, ReadingAVolumeOfLargeScansStaysWithinTheCacheSetting)
{
    const QString root = makeFolder(QStringLiteral("scans"));
    QImage scan(1700, 2400, QImage::Format_RGB32);
    scan.fill(Qt::darkGreen);
    ASSERT_TRUE(scan.save(root + QStringLiteral("/p00.jpg"), "JPEG", 80));
    for (int i = 1; i < 50; ++i)
        ASSERT_TRUE(QFile::copy(root + QStringLiteral("/p00.jpg"), root + QStringLiteral("/p%1.jpg").arg(i, 2, 10, QLatin1Char('0'))));
    ASSERT_TRUE(writeFile(app->paths.settingsFile(), "[Limits]\nCacheMB=6\n"));
    newRun();
    w->resize(1000, 800);
    openFolder(root);
    w->session.setOption(ReadingSession::BookEffect, false);
    DecodeQueue &queue = w->composer.decodes();
    ASSERT_EQ(queue.budget(), qint64(6) << 20);
    const QImage first = w->PicDraw->surface().copy();
    for (int i = 1; i < 50; ++i) {
        letItRun();
        w->Go_Next();
        ASSERT_LE(queue.heldBytes(), queue.budget()) << i;
        ASSERT_GE(queue.held(), 1) << i;
        EXPECT_TRUE(w->PicDraw->surface() == first) << i;
    }
    EXPECT_GT(queue.hits(), 40);
}

// Turns, resizes, option and volume changes come while decodes run on the worker
// (run under ThreadSanitizer too); what is shown afterwards is still exactly the
// page, and closing with a decode under way waits for it.
TEST_F(PrefetchDrop, ChangesWhileDecodesRunLeaveTheRightPage)
{
    const QString book = openBook(6);
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

} // namespace
