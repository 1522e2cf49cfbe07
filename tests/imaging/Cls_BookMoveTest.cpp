#include "CaseName.h"
// The page-turn animation: frame geometry through the draw observer, what ends
// up on the surface, and the cases that draw nothing or only the final picture.
#include "imaging/Cls_BookMove.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <vector>

using S = BookDraw::Source;
using K = BookDraw::Kind;

bool operator==(const BookDraw &a, const BookDraw &b)
{
    return a.frame == b.frame && a.kind == b.kind && a.source == b.source && a.from == b.from && a.to == b.to;
}

std::ostream &operator<<(std::ostream &os, const QRect &r)
{
    return os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

void PrintTo(const BookDraw &d, std::ostream *os)
{
    *os << "frame " << d.frame << " kind " << int(d.kind) << " source " << int(d.source) << " from " << d.from
        << " to " << d.to;
}

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

    Turn(int surfaceW, int surfaceH, int left, int top, int w, int h, int16_t dir)
        : canvas(surfaceW, surfaceH, QImage::Format_RGB32)
    {
        canvas.fill(kSurround);
        book.setFrameDelay(0);
        book.setDrawObserver([this](const BookDraw &d) { draws.push_back(d); });
        book.Set_Left(left);
        book.Set_Top(top);
        book.Set_Width(w);
        book.Set_Height(h);
        book.Set_MovePos(dir);
    }

    void play(const QImage &bitmap)
    {
        BookSurface s{canvas, [this] { shown.push_back(canvas); }};
        book.Move_Page(s, bitmap);
    }
};

} // namespace

// width, direction, half width, step
using BookMoveGeometry = ::testing::TestWithParam<std::tuple<int, int, int, int>>;

TEST_P(BookMoveGeometry, TenFramesThenTheFullPicture)
{
    const auto [width, direction, h, st] = GetParam();
    const int L = 7, T = 3, H = 20;
    Turn t(width + 20, H + 10, L, T, width, H, int16_t(direction));
    t.play(QImage(width, H, QImage::Format_RGB32));
    EXPECT_EQ(t.shown.size(), 11u);

    // Frames 0-4 fold one old half toward the spine over the new half beneath;
    // frames 5-9 unfold the other new half from the spine over the old one.
    std::vector<BookDraw> want;
    for (int f = 0; f < 10; ++f) {
        const bool fold = f < 5;
        const int n = f % 5;
        const int x = (direction == 2) == fold ? h : 0; // the half being drawn
        const int w = fold ? (4 - n) * st : n * st;
        const int left = direction == 2 ? (fold ? L + h : L + (4 - n) * st) : (fold ? L + n * st : L + h);
        want.push_back({f, K::Copy, fold ? S::NewPicture : S::OldPicture, QRect(x, 0, h, H), QRect(L + x, T, h, H)});
        want.push_back(
            {f, K::Stretch, fold ? S::OldPicture : S::NewPicture, QRect(x, 0, h, H), QRect(left, T, w, H)});
    }
    want.push_back({10, K::Final, S::NewPicture, QRect(0, 0, width, H), QRect(L, T, width, H)});
    EXPECT_EQ(t.draws, want);
}

INSTANTIATE_TEST_SUITE_P(Widths, BookMoveGeometry,
                         ::testing::Values(std::tuple{800, 2, 400, 101}, std::tuple{800, 1, 400, 101},
                                           std::tuple{801, 2, 400, 101}, std::tuple{801, 1, 400, 101},
                                           std::tuple{10, 2, 5, 2}, std::tuple{10, 1, 5, 2}), CaseName());

TEST(BookMove, RightHalfTurnsOverToTheLeft)
{
    const int W = 80, H = 12, L = 10, T = 4, y = T + 5;
    Turn t(100, 20, L, T, W, H, 2); // half 40, step 11
    QPainter(&t.canvas).drawImage(L, T, halves(W, H, 40, kOldLeft, kOldRight));
    t.play(halves(W, H, 40, kNewLeft, kNewRight));
    ASSERT_EQ(t.shown.size(), 11u);
    // Frame 2: 22 columns of the old right half are left, the new right half shows beyond.
    EXPECT_EQ(t.shown[2].pixel(L + 40 + 21, y), kOldRight);
    EXPECT_EQ(t.shown[2].pixel(L + 40 + 22, y), kNewRight);
    // Frame 7: the new left half has unfolded to 22 columns starting 22 left of the spine.
    EXPECT_EQ(t.shown[7].pixel(L + 21, y), kOldLeft);
    EXPECT_EQ(t.shown[7].pixel(L + 22, y), kNewLeft);
    // The end: the new picture in full, on black around it.
    EXPECT_EQ(t.canvas.copy(L, T, W, H), halves(W, H, 40, kNewLeft, kNewRight));
    EXPECT_EQ(t.canvas.pixel(0, 0), qRgb(0, 0, 0));
}

TEST(BookMove, MissingGeometryOrDirectionDrawsNothing)
{
    for (auto [w, h, dir] : {std::tuple{0, 10, 2}, std::tuple{10, 0, 1}, std::tuple{10, 10, 0}}) {
        Turn t(30, 30, 2, 2, w, h, int16_t(dir));
        const QImage before = t.canvas;
        t.play(halves(30, 30, 15, kNewLeft, kNewRight));
        EXPECT_TRUE(t.draws.empty()) << w << "x" << h << " direction " << dir;
        EXPECT_TRUE(t.shown.empty());
        EXPECT_EQ(t.canvas, before);
    }
}

TEST(BookMove, OtherDirectionDrawsOnlyTheFinalPicture)
{
    Turn t(30, 20, 5, 3, 16, 10, 3);
    int cleared = 0;
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
