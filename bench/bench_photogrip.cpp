// The page-drawing hot path: decoding a large JPEG page to the display size.
#include "BenchCase.h"

#include "ImgPicture.h"

#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <cmath>
#include <cstdio>

namespace {

// Smooth colour gradients with grain, so the encoder meets something like a
// scanned photograph rather than flat areas it compresses to nothing.
QString writePhotoLikeJpeg(const QString &dir, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(42);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w, fy = double(y) / h;
            const int noise = int(rng.bounded(25)) - 12;
            const int r = int(128 + 100 * std::sin(fx * 6.0 + fy * 2.0)) + noise;
            const int g = int(40 + 180 * fy) + noise;
            const int b = int(128 + 90 * std::cos(fy * 5.0 - fx * 3.0)) + noise;
            line[x] = qRgb(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b, 255));
        }
    }
    const QString path = dir + QStringLiteral("/page.jpg");
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    writer.write(img);
    return path;
}

const BenchRegistrar displayPicture(QStringLiteral("photogrip: DisplayPicture 3000x2000 JPEG to 1024x683"),
                                    [](const QString &workDir) {
    const QString path = writePhotoLikeJpeg(workDir, 3000, 2000);
    ImgPicture control;
    control.SetVisible(true);
    control.SetWidth(1024);
    control.SetHeight(683);

    const double display = medianMs(15, [&] { control.DisplayPicture(path); });
    const double bare = medianMs(15, [&] {
        QImageReader reader(path);
        reader.setScaledSize(QSize(1024, 683));
        QImage img;
        reader.read(&img);
    });
    // For scale: what the same page costs without the decoder's reduced-size path.
    const double full = medianMs(5, [&] {
        QImage img(path);
        img = img.scaled(1024, 683, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    });
    float w = 0, h = 0;
    const double size = medianMs(51, [&] { control.GetImageSize(path, w, h); });

    report(QStringLiteral("DisplayPicture"), display, QStringLiteral("ms"));
    report(QStringLiteral("bare scaled decode"), bare, QStringLiteral("ms"));
    report(QStringLiteral("ratio (target <= 1.25)"), display / bare, QStringLiteral("x"));
    report(QStringLiteral("full decode + smooth scale, for comparison"), full, QStringLiteral("ms"));
    report(QStringLiteral("GetImageSize (target < 1 ms)"), size, QStringLiteral("ms"));
    if (control.GetHdc().size() != QSize(1024, 683) || w != 3000 || h != 2000)
        std::printf("  WRONG RESULT: surface %dx%d, size %gx%g\n", control.GetHdc().width(),
                    control.GetHdc().height(), double(w), double(h));
});

} // namespace
