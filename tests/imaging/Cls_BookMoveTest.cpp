// The page-turn animation: frame geometry through the draw observer, what ends
// up on the surface, and the cases that draw nothing or only the final picture.
#include "imaging/Cls_BookMove.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTimer>
#include <vector>

namespace {

const QRgb kOldLeft = qRgb(200, 0, 0);
const QRgb kOldRight = qRgb(0, 200, 0);
const QRgb kNewLeft = qRgb(0, 0, 200);
const QRgb kNewRight = qRgb(200, 200, 0);
const QRgb kSurround = qRgb(90, 90, 90);

// Two halves of different colours, split at `split`.
QImage halves(int w, int h, int split, QRgb left, QRgb right)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(right);
    QPainter(&img).fillRect(0, 0, split, h, left);
    return img;
}

struct Turn
{
    QImage canvas;
    std::vector<BookDraw> draws;
    std::vector<QImage> shown; // the canvas at each repaint
    Cls_BookMove book;

    Turn(int surfaceW, int surfaceH)
    {
        canvas = QImage(surfaceW, surfaceH, QImage::Format_RGB32);
        canvas.fill(kSurround);
        book.setFrameDelay(0);
        book.setDrawObserver([this](const BookDraw &d) { draws.push_back(d); });
    }

    void setGeometry(int left, int top, int w, int h, int16_t dir)
    {
        book.Set_Left(left);
        book.Set_Top(top);
        book.Set_Width(w);
        book.Set_Height(h);
        book.Set_MovePos(dir);
    }

    void play(const QImage &bitmap, const QImage *dc = nullptr)
    {
        BookSurface s{canvas, [this] { shown.push_back(canvas); }};
        book.Move_Page(s, bitmap, dc);
    }
};

using S = BookDraw::Source;
using K = BookDraw::Kind;

} // namespace

// --- geometry ---

struct GeometryCase
{
    int width;
    int16_t direction;
    int half, step; // as the design works them out
};

void PrintTo(const GeometryCase &c, std::ostream *os)
{
    *os << "width " << c.width << " direction " << c.direction;
}

class BookMoveGeometry : public ::testing::TestWithParam<GeometryCase>
{
};

TEST_P(BookMoveGeometry, TenFramesThenTheFullPicture)
{
    const GeometryCase c = GetParam();
    const int L = 7, T = 3, H = 20;
    Turn t(c.width + 20, H + 10);
    t.setGeometry(L, T, c.width, H, c.direction);
    t.play(QImage(c.width, H, QImage::Format_RGB32));

    EXPECT_EQ(t.book.halfWidth(), c.half);
    ASSERT_EQ(t.draws.size(), 21u);
    ASSERT_EQ(t.shown.size(), 11u);
    const int h = c.half, st = c.step;
    for (int f = 0; f < 10; ++f) {
        const BookDraw &cp = t.draws[2 * f];
        const BookDraw &sr = t.draws[2 * f + 1];
        SCOPED_TRACE(f);
        EXPECT_EQ(cp.frame, f);
        EXPECT_EQ(sr.frame, f);
        EXPECT_EQ(cp.kind, K::Copy);
        EXPECT_EQ(sr.kind, K::Stretch);
        EXPECT_EQ(cp.from.size(), QSize(h, H));
        EXPECT_EQ(cp.to.size(), QSize(h, H));
        EXPECT_EQ(sr.from.size(), QSize(h, H));
        EXPECT_EQ(sr.to.top(), T);
        EXPECT_EQ(sr.to.height(), H);
        const bool phaseA = f < 5;
        const int n = f % 5;
        if (c.direction == 2) {
            if (phaseA) { // new right half beside the old right half folding to the spine
                EXPECT_EQ(cp.source, S::NewPicture);
                EXPECT_EQ(cp.from.topLeft(), QPoint(h, 0));
                EXPECT_EQ(cp.to.topLeft(), QPoint(L + h, T));
                EXPECT_EQ(sr.source, S::OldPicture);
                EXPECT_EQ(sr.from.topLeft(), QPoint(h, 0));
                EXPECT_EQ(sr.to.left(), L + h);
                EXPECT_EQ(sr.to.width(), st * (4 - n));
            } else { // old left half under the new left half unfolding leftward
                EXPECT_EQ(cp.source, S::OldPicture);
                EXPECT_EQ(cp.from.topLeft(), QPoint(0, 0));
                EXPECT_EQ(cp.to.topLeft(), QPoint(L, T));
                EXPECT_EQ(sr.source, S::NewPicture);
                EXPECT_EQ(sr.from.topLeft(), QPoint(0, 0));
                EXPECT_EQ(sr.to.left(), L + (4 - n) * st);
                EXPECT_EQ(sr.to.width(), n * st);
            }
        } else {
            if (phaseA) {
                EXPECT_EQ(cp.source, S::NewPicture);
                EXPECT_EQ(cp.from.topLeft(), QPoint(0, 0));
                EXPECT_EQ(cp.to.topLeft(), QPoint(L, T));
                EXPECT_EQ(sr.source, S::OldPicture);
                EXPECT_EQ(sr.from.topLeft(), QPoint(0, 0));
                EXPECT_EQ(sr.to.left(), L + n * st);
                EXPECT_EQ(sr.to.width(), (4 - n) * st);
            } else {
                EXPECT_EQ(cp.source, S::OldPicture);
                EXPECT_EQ(cp.from.topLeft(), QPoint(h, 0));
                EXPECT_EQ(cp.to.topLeft(), QPoint(L + h, T));
                EXPECT_EQ(sr.source, S::NewPicture);
                EXPECT_EQ(sr.from.topLeft(), QPoint(h, 0));
                EXPECT_EQ(sr.to.left(), L + h);
                EXPECT_EQ(sr.to.width(), n * st);
            }
        }
    }
    const BookDraw &fin = t.draws[20];
    EXPECT_EQ(fin.kind, K::Final);
    EXPECT_EQ(fin.source, S::NewPicture);
    EXPECT_EQ(fin.from, QRect(0, 0, c.width, H));
    EXPECT_EQ(fin.to, QRect(L, T, c.width, H));
}

INSTANTIATE_TEST_SUITE_P(Widths, BookMoveGeometry,
                         ::testing::Values(GeometryCase{800, 2, 400, 101}, GeometryCase{800, 1, 400, 101},
                                           GeometryCase{801, 2, 400, 101}, GeometryCase{801, 1, 400, 101},
                                           GeometryCase{803, 2, 402, 102}, GeometryCase{10, 2, 5, 2},
                                           GeometryCase{10, 1, 5, 2}, GeometryCase{12, 1, 6, 2}));

TEST(BookMove, PhaseWidthsOfAnEightHundredPixelTurn)
{
    Turn t(800, 10);
    t.setGeometry(0, 0, 800, 10, 2);
    t.play(QImage(800, 10, QImage::Format_RGB32));
    std::vector<int> widths;
    for (const BookDraw &d : t.draws)
        if (d.kind == K::Stretch)
            widths.push_back(d.to.width());
    EXPECT_EQ(widths, (std::vector<int>{404, 303, 202, 101, 0, 0, 101, 202, 303, 404}));
}

// --- what the surface shows ---

TEST(BookMove, RightHalfTurnsOverToTheLeft)
{
    const int W = 80, H = 12, L = 10, T = 4;
    Turn t(100, 20);
    QPainter(&t.canvas).drawImage(L, T, halves(W, H, 40, kOldLeft, kOldRight));
    t.setGeometry(L, T, W, H, 2); // half 40, step 11
    t.play(halves(W, H, 40, kNewLeft, kNewRight));
    ASSERT_EQ(t.shown.size(), 11u);
    const int y = T + 5;
    // Frame 0: the old right half still fills 44 columns from the spine.
    EXPECT_EQ(t.shown[0].pixel(L + 5, y), kOldLeft);
    EXPECT_EQ(t.shown[0].pixel(L + 40 + 43, y), kOldRight);
    EXPECT_EQ(t.shown[0].pixel(L + 40 + 44, y), kSurround);
    // Frame 2: 22 columns of it are left, the new right half shows beyond.
    EXPECT_EQ(t.shown[2].pixel(L + 40 + 21, y), kOldRight);
    EXPECT_EQ(t.shown[2].pixel(L + 40 + 22, y), kNewRight);
    // Frame 4: the new right half stands alone beside the old left half.
    EXPECT_EQ(t.shown[4].pixel(L + 40, y), kNewRight);
    EXPECT_EQ(t.shown[4].pixel(L + 39, y), kOldLeft);
    // Frame 7: the new left half has unfolded to 22 columns starting 22 left of
    // the spine, reaching 4 columns past it.
    EXPECT_EQ(t.shown[7].pixel(L + 21, y), kOldLeft);
    EXPECT_EQ(t.shown[7].pixel(L + 22, y), kNewLeft);
    EXPECT_EQ(t.shown[7].pixel(L + 43, y), kNewLeft);
    EXPECT_EQ(t.shown[7].pixel(L + 44, y), kNewRight);
    // The end: the new picture in full, on black around it.
    EXPECT_EQ(t.canvas.copy(L, T, W, H), halves(W, H, 40, kNewLeft, kNewRight));
    EXPECT_EQ(t.canvas.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(t.canvas.pixel(L + W, T + H), qRgb(0, 0, 0));
}

TEST(BookMove, SourceHeightComesFromTheContextOrTheBitmap)
{
    const QImage tall(40, 30, QImage::Format_RGB32);
    {
        Turn t(60, 40);
        t.setGeometry(0, 0, 40, 20, 2);
        t.play(tall, &tall);
        for (const BookDraw &d : t.draws)
            if (d.kind == K::Stretch) {
                EXPECT_EQ(d.from.height(), 20);
            }
    }
    {
        Turn t(60, 40);
        t.setGeometry(0, 0, 40, 20, 2);
        t.play(tall);
        for (const BookDraw &d : t.draws)
            if (d.kind == K::Stretch) {
                EXPECT_EQ(d.from.height(), 30);
                EXPECT_EQ(d.to.height(), 20);
            }
    }
}

TEST(BookMove, MissingGeometryOrDirectionDrawsNothing)
{
    struct Case
    {
        int w, h;
        int16_t dir;
    };
    for (const Case &c : {Case{0, 10, 2}, Case{10, 0, 1}, Case{10, 10, 0}, Case{-10, 10, 2}}) {
        Turn t(30, 30);
        const QImage before = t.canvas;
        t.setGeometry(2, 2, c.w, c.h, c.dir);
        t.play(halves(30, 30, 15, kNewLeft, kNewRight));
        EXPECT_TRUE(t.draws.empty()) << c.w << "x" << c.h << " direction " << c.dir;
        EXPECT_TRUE(t.shown.empty());
        EXPECT_EQ(t.canvas, before);
    }
}

TEST(BookMove, OtherDirectionDrawsOnlyTheFinalPicture)
{
    Turn t(30, 20);
    int cleared = 0;
    t.setGeometry(5, 3, 16, 10, 3);
    const QImage next = halves(16, 10, 8, kNewLeft, kNewRight);
    BookSurface s{t.canvas, [&] { t.shown.push_back(t.canvas); }, [&] {
                      ++cleared;
                      t.canvas.fill(Qt::white);
                  }};
    t.book.Move_Page(s, next);
    ASSERT_EQ(t.draws.size(), 1u);
    EXPECT_EQ(t.draws[0].kind, K::Final);
    EXPECT_EQ(t.shown.size(), 1u);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(t.canvas.copy(5, 3, 16, 10), next);
    EXPECT_EQ(t.canvas.pixel(0, 0), qRgb(255, 255, 255));
}

TEST(BookMove, FrameArithmeticBeyondSixteenBitsIsAnOverflow)
{
    Turn t(10, 10);
    const QImage before = t.canvas;
    t.setGeometry(0, 0, 140000, 10, 2); // half 70000, step 17501, 4 x step > 32767
    try {
        t.play(QImage(10, 10, QImage::Format_RGB32));
        ADD_FAILURE() << "no overflow";
    } catch (const ImagingError &e) {
        EXPECT_EQ(e.number(), ImagingError::Overflow);
    }
    EXPECT_TRUE(t.draws.empty());
    EXPECT_EQ(t.canvas, before);
    // Without frames there is nothing to multiply.
    t.book.Set_MovePos(3);
    EXPECT_NO_THROW(t.play(QImage(10, 10, QImage::Format_RGB32)));
}

TEST(BookMove, PendingEventsRunDuringTheTurn)
{
    Turn t(40, 10);
    t.setGeometry(0, 0, 40, 10, 1);
    bool ran = false;
    size_t drawsWhenRan = 0;
    QTimer::singleShot(0, [&] {
        ran = true;
        drawsWhenRan = t.draws.size();
    });
    t.play(QImage(40, 10, QImage::Format_RGB32));
    EXPECT_TRUE(ran);
    EXPECT_LT(drawsWhenRan, t.draws.size());
}
