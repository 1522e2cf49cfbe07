#pragma once
#include <QPoint>
#include <QSize>
#include <QSizeF>

#include <optional>

// How pages are sized, turned and scrolled on a surface, beyond the fitted page:
// the fit (the whole page, its width, its height or one page pixel to a screen
// pixel), a zoom over that fit, a rotation for the whole book and the
// continuous strip. With every one of them at its default a page is drawn
// exactly by the fitted-page rules.
enum class FitMode { Page, Width, Height, Actual };

struct ViewSettings
{
    FitMode fit = FitMode::Page;
    // Percent of the fit's own size.
    int zoom = 100;
    // Degrees clockwise: 0, 90, 180 or 270.
    int rotation = 0;
    bool continuous = false;
    bool plain() const { return fit == FitMode::Page && zoom == 100 && rotation == 0 && !continuous; }
    bool operator==(const ViewSettings &) const = default;
};

namespace PageView {

constexpr int MinZoom = 10;
constexpr int MaxZoom = 400;
// The zoom one step in or out of `zoom` (a zoom between steps goes to the
// nearest step that way), kept inside MinZoom..MaxZoom.
int zoomIn(int zoom);
int zoomOut(int zoom);

// The rotation `by` degrees further clockwise (negative: counter-clockwise).
int rotated(int rotation, int by);
// A page's size standing turned by `rotation`.
QSizeF turned(QSizeF natural, int rotation);

// The logical size of a page of natural size `natural` (already turned) in the
// fit of `view`, n pages side by side on a surface of logical size `surface`
// with `ratio` device pixels to a logical pixel. The fitted page keeps the
// design's size limits and margin (and never grows past 100 % with `hundred`);
// fit width and fit height fill the surface with no limit; actual size puts one
// page pixel on one device pixel.
QSize drawnSize(QSizeF natural, const ViewSettings &view, int n, bool hundred, QSize surface, qreal ratio);

// Where the surface stands over content of size `content`: the offset of the
// surface's top-left corner into it, kept inside the content. Along an axis where
// the content fits, it is 0 (the content is centred as the design centres it).
QPoint clampScroll(QPoint scroll, QSize content, QSize surface);
// The farthest offset.
QPoint scrollEnd(QSize content, QSize surface);

// One move down (forward) or up by `amount` surface pixels inside the content:
// the new offset, or nullopt when the offset already stands at that end (the
// move then turns the page).
std::optional<QPoint> scrolled(QPoint scroll, QSize content, QSize surface, int amount, bool forward);

// How far a line key or a wheel notch scrolls on a surface `height` high.
int lineStep(int height);

} // namespace PageView
