#pragma once
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

} // namespace PageGeometry
