#include "BenchImages.h"
#include "ImageDecoder.h"

#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <cmath>

// Smooth colour gradients with grain, so the encoder meets something like a
// scanned photograph rather than flat areas it compresses to nothing.
QString writePhotoLikeJpeg(const QString &dir, int w, int h, const QString &name, int seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng{quint32(seed)};
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
    const QString path = dir + QLatin1Char('/') + name;
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    writer.write(img);
    return path;
}


void bareDecode(const QString &file, QSize shown)
{
    QImageReader header(file);
    (void)header.size();
    QImageReader reader(file);
    // The settings the program's decoder reads a page with, so the two compare.
    reader.setAutoTransform(false);
    reader.setScaledSize(shown);
    reader.setQuality(ImageDecoder::kScaledDecodeQuality);
    QImage img;
    reader.read(&img);
}
