// The page-drawing hot path: decoding a large JPEG page to the display size.
#include "BenchCase.h"
#include "BenchImages.h"

#include "ImgPicture.h"

#include <QImage>
#include <QImageReader>
#include <cmath>
#include <cstdio>

namespace {

const BenchRegistrar displayPicture(QStringLiteral("photogrip: DisplayPicture 3000x2000 JPEG to 1024x683"),
                                    [](const QString &workDir) {
    const QString path = writePhotoLikeJpeg(workDir, 3000, 2000, QStringLiteral("page.jpg"));
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
