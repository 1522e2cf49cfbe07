#include "core/LensGeometry.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace LensGeometry {

std::vector<Piece> pieces(QPointF pointer, int side, double zoom, const std::vector<QRect> &pages,
                          const std::vector<QSize> &pictures)
{
    std::vector<Piece> out;
    if (side <= 0 || zoom <= 0)
        return out;
    const double seen = side / zoom;
    const QRectF around(pointer.x() - seen / 2, pointer.y() - seen / 2, seen, seen);
    for (size_t i = 0; i < pages.size() && i < pictures.size(); ++i) {
        const QRectF page(pages[i]);
        const QRectF part = around.intersected(page);
        if (part.isEmpty() || pictures[i].isEmpty())
            continue;
        const double sx = pictures[i].width() / page.width(), sy = pictures[i].height() / page.height();
        const QPointF inPage = part.topLeft() - page.topLeft();
        out.push_back({int(i), QRectF(inPage.x() * sx, inPage.y() * sy, part.width() * sx, part.height() * sy),
                       QRectF((part.topLeft() - around.topLeft()) * zoom, part.size() * zoom)});
    }
    return out;
}

double zoomAfter(double zoom, int delta)
{
    return std::clamp(zoom + 0.5 * delta / 120.0, kMinZoom, kMaxZoom);
}

QSize pictureSize(QSize shown, QSize natural, double ratio)
{
    if (shown.isEmpty() || natural.isEmpty())
        return {};
    const double most = shown.width() * ratio * kMaxZoom;
    if (natural.width() <= most)
        return natural;
    return {int(std::lround(most)), std::max(1, int(std::lround(natural.height() * most / natural.width())))};
}

int sideFromSetting(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? std::clamp(v, kMinSide, kMaxSide) : kDefaultSide;
}

} // namespace LensGeometry
