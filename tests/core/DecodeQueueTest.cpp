#include "CaseName.h"
#include "FileTree.h"
#include "core/DecodeQueue.h"
#include "platform/ProgramPaths.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

// A queue of one worker whose decodes only record what they were asked for, in
// order. A page or thumbnail named "gate" holds the worker until it is opened,
// so that what is queued behind it is ordered by the queue alone.
class Recorder
{
public:
    Recorder()
        : queue(1, [this](const QString &f, QSize s) { return std::optional<QImage>(decode(f, s)); },
                [this](const QString &f, qreal) { return decode(f, QSize(4, 4)); })
    {
        QObject::connect(&queue, &DecodeQueue::thumbnailReady, &queue,
                         [this](int page, const QImage &) { handedOver.push_back(page); });
    }
    ~Recorder() { open(); }

    static DecodeQueue::Key key(const char *name) { return {QString::fromLatin1(name), QSize(10, 10)}; }
    // The worker is in the gate's decode (thumbnail `kGateCell`) once this returns.
    static constexpr int kGateCell = 9;
    void holdWorker(bool thumbnail = false)
    {
        if (thumbnail)
            queue.requestThumbnail(kGateCell, QStringLiteral("gate"), 1.0);
        else
            queue.request(key("gate"), DecodeQueue::Priority::Neighbour);
        std::unique_lock<std::mutex> l(m_lock);
        m_changed.wait(l, [this] { return m_order.contains(QStringLiteral("gate")); });
    }
    void open()
    {
        {
            const std::lock_guard<std::mutex> l(m_lock);
            m_open = true;
        }
        m_changed.notify_all();
    }
    // What was decoded after the gate, once everything has run.
    QStringList afterGate()
    {
        open();
        queue.settle();
        const std::lock_guard<std::mutex> l(m_lock);
        return m_order.mid(m_order.indexOf(QStringLiteral("gate")) + 1);
    }

    DecodeQueue queue;
    std::vector<int> handedOver;

private:
    QImage decode(const QString &file, QSize size)
    {
        std::unique_lock<std::mutex> l(m_lock);
        m_order << file;
        m_changed.notify_all();
        if (file == QLatin1String("gate"))
            m_changed.wait(l, [this] { return m_open; });
        return QImage(size, QImage::Format_RGB32);
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    QStringList m_order;
    bool m_open = false;
};

// What is queued behind the busy worker, in the order asked; "t:" a thumbnail,
// "n:" a neighbouring page, "s:" a page on the screen.
struct OrderCase
{
    const char *what;
    std::vector<const char *> asked;
    QStringList expected;
};

using DecodeOrder = ::testing::TestWithParam<OrderCase>;

TEST_P(DecodeOrder, ThePageOnTheScreenComesFirstThenNeighboursThenThumbnails)
{
    Recorder r;
    r.holdWorker();
    int page = 0;
    for (const char *a : GetParam().asked) {
        const QByteArray s(a);
        const char *name = a + 2;
        if (s.startsWith("t:"))
            r.queue.requestThumbnail(page++, QString::fromLatin1(name), 1.0);
        else
            r.queue.request(Recorder::key(name), s.startsWith("s:") ? DecodeQueue::Priority::Shown
                                                                    : DecodeQueue::Priority::Neighbour);
    }
    EXPECT_EQ(r.afterGate(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Queue, DecodeOrder,
    ::testing::Values(
        OrderCase{"ShownAfterThumbnails", {"t:t0", "t:t1", "t:t2", "s:shown"}, {"shown", "t0", "t1", "t2"}},
        OrderCase{"NeighboursAfterThumbnails", {"t:t0", "n:next", "t:t1", "n:prev"}, {"next", "prev", "t0", "t1"}},
        OrderCase{"ShownAfterNeighbours", {"n:next", "n:prev", "s:lens"}, {"lens", "next", "prev"}},
        OrderCase{"ANeighbourAskedAgainAsShownMovesUp", {"t:t0", "n:next", "n:prev", "s:prev"}, {"prev", "next", "t0"}},
        OrderCase{"AShownPageAskedAgainAsNeighbourStays", {"n:next", "s:lens", "n:lens"}, {"lens", "next"}}),
    CaseName());

// The window takes the page it is about to show: held, under way, queued.
TEST(DecodeQueue, TakingAQueuedPageNeverWaitsBehindTheQueue)
{
    Recorder r;
    r.holdWorker();
    r.queue.requestThumbnail(0, QStringLiteral("t0"), 1.0);
    r.queue.request(Recorder::key("next"), DecodeQueue::Priority::Neighbour);
    // Queued, not started: the caller decodes it itself, at once.
    EXPECT_EQ(r.queue.take(Recorder::key("next")), std::nullopt);
    EXPECT_EQ(r.queue.state(Recorder::key("next")), DecodeQueue::State::Unknown);
    // Under way: waited for (the worker is let go from here).
    std::thread opener([&r] { r.open(); });
    const auto gate = r.queue.take(Recorder::key("gate"));
    opener.join();
    ASSERT_TRUE(gate && *gate);
    EXPECT_EQ((*gate)->size(), QSize(10, 10));
    EXPECT_EQ(r.queue.hits(), 1);
    EXPECT_EQ(r.afterGate(), QStringList{QStringLiteral("t0")});
}

// A book or volume change drops what is queued, and what a decode under way
// brings back afterwards is thrown away; a change of size or options drops the
// pages alone, a closed index the thumbnails alone.
struct DropCase
{
    const char *what;
    bool thumbnailUnderWay; // else a page
    std::function<void(DecodeQueue &)> change;
    bool pagesKept, thumbnailsKept;
};

using DecodeDrop = ::testing::TestWithParam<DropCase>;

TEST_P(DecodeDrop, QueuedJobsGoAndLateResultsAreIgnored)
{
    const DropCase &c = GetParam();
    Recorder r;
    r.holdWorker(c.thumbnailUnderWay);
    r.queue.requestThumbnail(1, QStringLiteral("t1"), 1.0);
    r.queue.request(Recorder::key("next"), DecodeQueue::Priority::Neighbour);
    c.change(r.queue);
    const QStringList ran = r.afterGate();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran.contains(QStringLiteral("next")), c.pagesKept);
    EXPECT_EQ(ran.contains(QStringLiteral("t1")), c.thumbnailsKept);
    if (!c.thumbnailUnderWay) {
        EXPECT_EQ(r.queue.state(Recorder::key("gate")) == DecodeQueue::State::Ready, c.pagesKept);
    }
    std::vector<int> cells;
    if (c.thumbnailsKept)
        cells = c.thumbnailUnderWay ? std::vector<int>{Recorder::kGateCell, 1} : std::vector<int>{1};
    EXPECT_EQ(r.handedOver, cells);
}

INSTANTIATE_TEST_SUITE_P(
    Queue, DecodeDrop,
    ::testing::Values(DropCase{"NewBookDuringAPage", false, [](DecodeQueue &q) { q.newBook(); }, false, false},
                      DropCase{"NewBookDuringAThumbnail", true, [](DecodeQueue &q) { q.newBook(); }, false, false},
                      DropCase{"PagesDuringAPage", false, [](DecodeQueue &q) { q.dropPages(); }, false, true},
                      DropCase{"ThumbnailsDuringAThumbnail", true, [](DecodeQueue &q) { q.dropThumbnails(); }, true, false}),
    CaseName());

// The least recently used page goes first; a page counts its decoded size.
struct LruCase
{
    const char *what;
    std::vector<const char *> steps; // "+x": put, "?x": take, "!x": request again
    QStringList held;
};

using DecodeBudget = ::testing::TestWithParam<LruCase>;

TEST_P(DecodeBudget, KeepsTheMostRecentlyUsedWithinTheBudget)
{
    DecodeQueue queue(1);
    // Three pages of 100 x 100.
    queue.setBudget(3 * 100 * 100 * 4);
    const auto key = [](const char *name) { return DecodeQueue::Key{QString::fromLatin1(name), QSize(100, 100)}; };
    for (const char *step : GetParam().steps) {
        const DecodeQueue::Key k = key(step + 1);
        if (step[0] == '+')
            queue.put(k, QImage(k.size, QImage::Format_RGB32));
        else if (step[0] == '?')
            queue.take(k);
        else
            queue.request(k, DecodeQueue::Priority::Neighbour);
        ASSERT_LE(queue.heldBytes(), queue.budget());
    }
    QStringList held;
    for (const char *name : {"a", "b", "c", "d", "e"}) {
        if (queue.state(key(name)) == DecodeQueue::State::Ready)
            held << QString::fromLatin1(name);
    }
    EXPECT_EQ(held, GetParam().held);
}

INSTANTIATE_TEST_SUITE_P(
    Queue, DecodeBudget,
    ::testing::Values(LruCase{"OldestGoes", {"+a", "+b", "+c", "+d"}, {"b", "c", "d"}},
                      LruCase{"ATakenPageStays", {"+a", "+b", "+c", "?a", "+d"}, {"a", "c", "d"}},
                      LruCase{"APageAskedForAgainStays", {"+a", "+b", "+c", "!a", "+d", "+e"}, {"a", "d", "e"}},
                      LruCase{"PutAgainIsOnePage", {"+a", "+b", "+a", "+c"}, {"a", "b", "c"}}),
    CaseName());

TEST(DecodeQueue, CountsPagesInTheirDecodedPixelsAndKeepsTheNewestWhenItAloneIsOver)
{
    DecodeQueue queue(1);
    queue.setBudget(qint64(1000) * 1000 * 4 * 2);
    for (int i = 0; i < 4; ++i)
        queue.put({QStringLiteral("a%1").arg(i), {1000, 1000}}, QImage());
    EXPECT_EQ(queue.held(), 2);
    // Twice the pixels of a dense screen: one page over the budget on its own.
    queue.put({QStringLiteral("big"), {2000, 2000}}, QImage());
    EXPECT_EQ(queue.held(), 1);
    EXPECT_EQ(queue.state({QStringLiteral("big"), {2000, 2000}}), DecodeQueue::State::Ready);
}

TEST(DecodeQueue, TheBudgetComesFromCacheMBInTheSettingsFile)
{
    QTemporaryDir dir;
    ProgramPaths paths;
    paths.programFolder = dir.path();
    paths.executableName = QStringLiteral("leafview");
    const std::pair<QByteArray, qint64> cases[] = {
        {"", DecodeQueue::kDefaultBudget},          {"[Limits]\nCacheMB=64\n", qint64(64) << 20},
        {"[Limits]\nCacheMB=0\n", DecodeQueue::kDefaultBudget}, {"[Limits]\nCacheMB=-5\n", DecodeQueue::kDefaultBudget},
        {"[Limits]\nCacheMB=lots\n", DecodeQueue::kDefaultBudget},
    };
    for (const auto &[ini, bytes] : cases) {
        ASSERT_TRUE(writeFile(paths.settingsFile(), ini));
        EXPECT_EQ(DecodeQueue::budgetSetting(paths), bytes) << ini.constData();
    }
}

} // namespace
