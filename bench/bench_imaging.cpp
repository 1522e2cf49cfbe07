// Imaging: the sharpen pass the viewer runs on every sharpened page, and one
// animated page turn at its real frame pacing.
#include "BenchCase.h"

#include "imaging/CDIB.h"
#include "imaging/Cls_BookMove.h"

#include <QElapsedTimer>
#include <QPainter>
#include <random>

namespace {

QImage noisePage(int w, int h, unsigned seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 gen(seed);
    for (int y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<uint32_t *>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = 0xFF000000u | (gen() & 0xFFFFFFu);
    }
    return img;
}

const BenchRegistrar sharpen(QStringLiteral("imaging: Sharpen 1920x1080"), [](const QString &) {
    const int W = 1920, H = 1080;
    QImage surface = noisePage(W, H, 1);
    CDIB dib;
    dib.Create(W, H);
    const double mp = double(W) * H / 1e6;

    const double copyMs = medianMs(15, [&] {
        dib.CloneHDC(surface, CDIB::SRCCOPY, 0, 0);
        dib.PaintTo(surface, 0, 0, CDIB::SRCCOPY);
    });
    const double sharpenOnlyMs = medianMs(15, [&] { dib.Sharpen(); });
    const double totalMs = medianMs(15, [&] {
        dib.CloneHDC(surface, CDIB::SRCCOPY, 0, 0);
        dib.Sharpen();
        dib.PaintTo(surface, 0, 0, CDIB::SRCCOPY);
    });
    report(QStringLiteral("CloneHDC + Sharpen + PaintTo"), totalMs, QStringLiteral("ms"));
    report(QStringLiteral("CloneHDC + Sharpen + PaintTo per megapixel"), totalMs / mp, QStringLiteral("ms/MP"));
    report(QStringLiteral("CloneHDC + PaintTo alone (bare copy cost)"), copyMs, QStringLiteral("ms"));
    report(QStringLiteral("Sharpen alone per megapixel"), sharpenOnlyMs / mp, QStringLiteral("ms/MP"));
});

const BenchRegistrar pageTurn(QStringLiteral("imaging: page turn 1280x960"), [](const QString &) {
    const int W = 1280, H = 960;
    QImage canvas = noisePage(W, H, 2);
    const QImage next = noisePage(W, H, 3);
    Cls_BookMove book;
    book.Set_Left(0);
    book.Set_Top(0);
    book.Set_Width(W);
    book.Set_Height(H);
    book.Set_MovePos(2);
    BookSurface surface{canvas};

    QElapsedTimer timer;
    timer.start();
    book.Move_Page(surface, next);
    const double turnMs = double(timer.nsecsElapsed()) / 1e6;

    // The drawing alone, without the frame pauses.
    book.setFrameDelay(0);
    const double drawMs = medianMs(5, [&] { book.Move_Page(surface, next); });

    report(QStringLiteral("one animated turn (11 pauses of 30 ms: floor 330 ms)"), turnMs, QStringLiteral("ms"));
    report(QStringLiteral("drawing of the 10 frames and the final picture"), drawMs, QStringLiteral("ms"));
});

} // namespace
