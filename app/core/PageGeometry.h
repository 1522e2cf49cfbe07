#pragma once
#include <QRect>
#include <QSize>
#include <QSizeF>

// Page sizes and positions on the drawing surface. Integer conversions round to
// nearest, ties to even.
namespace PageGeometry {

qint64 roundEven(double v);

// A natural width above 1024 is treated as 1024 (height in proportion); then a
// height above 768 as 768 (width in proportion).
QSizeF treatedSize(double w, double h);

// Fit percentage of a w x h page: against the surface width / n (rounded) x the
// surface height, or against the box bw x bh when useBox is set.
float Fit_Percent(qint32 w, qint32 h, qint16 n, bool useBox, qint32 bw, qint32 bh, int surfaceW, int surfaceH);

// The drawn size of a page of natural size w x h on the surface with n pages side
// by side; with `hundred` a page is never enlarged.
QSize drawnSize(double naturalW, double naturalH, qint16 n, bool hundred, int surfaceW, int surfaceH);

// Where a page stands: alone, or as the left or right half of a spread.
enum Side { Alone, LeftHalf, RightHalf };
// The rectangle of a page of size d on a surface of size `surface`: centred when
// alone; in a spread its inner edge on the centre line; always centred in height.
QRect placed(Side side, QSize d, QSize surface);

// The rules above are in logical pixels, so a page stands in the same place at
// every screen density; a surface of `ratio` device pixels per logical pixel
// holds it in these device pixels. Edges are rounded rather than sizes, so that
// pages which touch (the two halves of a spread) still touch.
QRect toDevice(QRect logical, qreal ratio);
// The logical size of a surface of `device` pixels.
QSize toLogical(QSize device, qreal ratio);

} // namespace PageGeometry
