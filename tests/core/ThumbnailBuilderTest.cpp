#include "core/ThumbnailBuilder.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <random>
#include <thread>

namespace {

// A decode that takes a varying time, so pages finish out of order.
QImage slowDecode(const QString &path)
{
    thread_local std::mt19937 random(std::hash<std::thread::id>()(std::this_thread::get_id()));
    QThread::usleep(std::uniform_int_distribution<int>(0, 3000)(random));
    QImage img(4, 4, QImage::Format_RGB32);
    img.fill(QColor::fromRgb(path.toUInt()));
    return img;
}

struct Recorder
{
    std::vector<int> pages;
    std::vector<QRgb> colours;
    int finished = 0;
    void attach(ThumbnailBuilder &b)
    {
        QObject::connect(&b, &ThumbnailBuilder::placed, [this](int page, const QImage &img) {
            pages.push_back(page);
            colours.push_back(img.pixel(0, 0));
        });
        QObject::connect(&b, &ThumbnailBuilder::finished, [this] { ++finished; });
    }
};

TEST(ThumbnailBuilder, PreparesOnTheInterfaceThreadDecodesOnWorkersPlacesInOrder)
{
    std::atomic<int> onInterfaceThread{0};
    ThumbnailBuilder b(3);
    Recorder r;
    r.attach(b);
    std::vector<int> prepared;
    b.start(
        40,
        [&](int page) {
            EXPECT_EQ(QThread::currentThread(), qApp->thread());
            prepared.push_back(page);
            return QString::number(0xff000000u + page);
        },
        [&](const QString &path) {
            if (QThread::currentThread() == qApp->thread())
                ++onInterfaceThread;
            return slowDecode(path);
        });
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.finished > 0; }, 10000));
    std::vector<int> expected(40);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(prepared, expected); // once each, in order
    EXPECT_EQ(r.pages, expected);
    EXPECT_EQ(r.colours[7], 0xff000007u);
    EXPECT_EQ(r.finished, 1);
    EXPECT_EQ(onInterfaceThread.load(), 0);
    EXPECT_FALSE(b.running());
}

TEST(ThumbnailBuilder, CancelStopsTheOldBuildAndARestartBuildsAnew)
{
    ThumbnailBuilder b(2);
    Recorder r;
    r.attach(b);
    b.start(200, [&](int page) { return QString::number(0xff000000u + page); }, slowDecode);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !r.pages.empty(); }, 10000));
    b.cancel();
    const size_t before = r.pages.size();
    QTest::qWait(50);
    EXPECT_EQ(r.pages.size(), before);
    EXPECT_LT(before, 200u);
    EXPECT_EQ(r.finished, 0);

    r.pages.clear();
    r.colours.clear();
    b.start(5, [](int page) { return QString::number(0xff00ff00u + page); }, slowDecode);
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.finished > 0; }, 10000));
    EXPECT_EQ(r.pages, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(r.colours[0], 0xff00ff00u); // none of the old build's pictures
    EXPECT_EQ(r.finished, 1);
}

TEST(ThumbnailBuilder, AnEmptyVolumeFinishesAtOnce)
{
    ThumbnailBuilder b;
    Recorder r;
    r.attach(b);
    b.start(0, [](int) { return QString(); }, slowDecode);
    EXPECT_EQ(r.finished, 1);
    EXPECT_GE(b.workerCount(), 1);
}

} // namespace
