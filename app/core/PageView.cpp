#include "core/PageView.h"

#include "core/PageGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The steps of the usual viewers: finer near 100 %, coarser far from it.
constexpr std::array<int, 17> kZoomSteps = {10, 25, 33, 50, 67, 75, 90, 100, 110, 125, 150, 175, 200, 250, 300, 350, 400};

int limited(double v)
{
    // Guards the integer conversions against a surface or page of absurd size.
    return int(std::clamp(PageGeometry::roundEven(v), qint64(0), qint64(1) << 24));
}

} // namespace

namespace PageView {

int zoomIn(int zoom)
{
    for (const int s : kZoomSteps) {
        if (s > zoom)
            return s;
    }
    return MaxZoom;
}

int zoomOut(int zoom)
{
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it) {
        if (*it < zoom)
            return *it;
    }
    return MinZoom;
}

int rotated(int rotation, int by)
{
    return (((rotation + by) % 360) + 360) % 360 / 90 * 90;
}

QSizeF turned(QSizeF natural, int rotation)
{
    return rotation == 90 || rotation == 270 ? natural.transposed() : natural;
}

QSize drawnSize(QSizeF natural, const ViewSettings &view, int n, bool hundred, QSize surface, qreal ratio)
{
    const double w = natural.width(), h = natural.height();
    if (w <= 0 || h <= 0)
        return {0, 0};
    const int side = n > 0 ? n : 1;
    if (view.fit == FitMode::Page) {
        const QSize fitted = PageGeometry::drawnSize(w, h, qint16(side), hundred, surface.width(), surface.height());
        if (view.zoom == 100)
            return fitted;
        return {limited(fitted.width() * view.zoom / 100.0), limited(fitted.height() * view.zoom / 100.0)};
    }
    double scale = 1.0;
    switch (view.fit) {
    case FitMode::Width:
        scale = double(PageGeometry::roundEven(double(surface.width()) / side)) / w;
        break;
    case FitMode::Height:
        scale = surface.height() / h;
        break;
    default:
        scale = 1.0 / (ratio > 0 ? ratio : 1.0);
        break;
    }
    scale *= view.zoom / 100.0;
    return {limited(w * scale), limited(h * scale)};
}

QPoint scrollEnd(QSize content, QSize surface)
{
    return {std::max(content.width() - surface.width(), 0), std::max(content.height() - surface.height(), 0)};
}

QPoint clampScroll(QPoint scroll, QSize content, QSize surface)
{
    const QPoint end = scrollEnd(content, surface);
    return {std::clamp(scroll.x(), 0, end.x()), std::clamp(scroll.y(), 0, end.y())};
}

std::optional<QPoint> scrolled(QPoint scroll, QSize content, QSize surface, int amount, bool forward)
{
    const QPoint from = clampScroll(scroll, content, surface);
    const int end = scrollEnd(content, surface).y();
    if (forward ? from.y() >= end : from.y() <= 0)
        return std::nullopt;
    return clampScroll(QPoint(from.x(), from.y() + (forward ? amount : -amount)), content, surface);
}

int lineStep(int height)
{
    return std::max(height / 10, 20);
}

} // namespace PageView
