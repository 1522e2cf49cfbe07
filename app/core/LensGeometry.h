#pragma once
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <vector>

// The magnifier's rules, free of widgets. The lens is a square of `side` logical
// pixels centred on the pointer; it shows the part of the surface around the
// pointer `zoom` times larger, read from each page's own picture (decoded for the
// lens, finer than the page on the screen), so it shows the scan's detail rather
// than enlarged screen pixels.
namespace LensGeometry {

inline constexpr int kDefaultSide = 300;
inline constexpr int kMinSide = 100;
inline constexpr int kMaxSide = 1000;
inline constexpr double kDefaultZoom = 2.0;
inline constexpr double kMinZoom = 1.5;
inline constexpr double kMaxZoom = 4.0;

// One page's share of the lens: the rectangle of that page's picture it shows
// and where that goes in the lens (logical pixels of the lens).
struct Piece
{
    int page = -1;
    QRectF source;
    QRectF target;
};

// The pieces of a lens at `pointer` (logical pixels of the surface) over pages
// standing at `pages` (logical rectangles) whose pictures have the sizes
// `pictures`. Where the lens reaches past a page it shows nothing of it.
std::vector<Piece> pieces(QPointF pointer, int side, double zoom, const std::vector<QRect> &pages,
                          const std::vector<QSize> &pictures);

// The zoom after a wheel turn of `delta` (120 a notch): half a step per notch
// away from the reader enlarges, towards the reader reduces, within the limits.
double zoomAfter(double zoom, int delta);

// The size to decode a page of natural size `natural`, shown `shown` logical
// pixels large on a surface of `ratio`, for the lens: its own size, or less when
// even the largest zoom would not need all of it.
QSize pictureSize(QSize shown, QSize natural, double ratio);

// The lens side from the setting's text: the default when it is not a number,
// kept within the limits otherwise.
int sideFromSetting(const QString &text);

} // namespace LensGeometry
