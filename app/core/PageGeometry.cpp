#include "core/PageGeometry.h"

#include <cfenv>
#include <cmath>

qint64 PageGeometry::roundEven(double v)
{
    // Every integer conversion of sizes and positions rounds to nearest, ties to
    // even; std::nearbyint does so in the default rounding mode.
    return qint64(std::nearbyint(v));
}

QSizeF PageGeometry::treatedSize(double w, double h)
{
    if (w > 1024) {
        h = h * 1024.0 / w;
        w = 1024;
    }
    if (h > 768) {
        w = w * 768.0 / h;
        h = 768;
    }
    return {w, h};
}

float PageGeometry::Fit_Percent(qint32 w, qint32 h, qint16 n, bool useBox, qint32 bw, qint32 bh, int surfaceW,
                                int surfaceH)
{
    if (w == 0 || h == 0)
        return 0;
    float availW, availH;
    if (useBox) {
        availW = float(bw);
        availH = float(bh);
    } else {
        availW = float(roundEven(double(surfaceW) / double(n > 0 ? n : 1)));
        availH = float(surfaceH);
    }
    const float a = float(w) / float(h);
    float fw, fh;
    if (a * availH < availW) {
        fw = a * availH;
        fh = availH * 0.99f;
    } else {
        fw = availW * 0.99f;
        fh = availW / a;
    }
    return float(roundEven(double(fw + fh) / double(w + h) * 100.0));
}

QSize PageGeometry::drawnSize(double naturalW, double naturalH, qint16 n, bool hundred, int surfaceW, int surfaceH)
{
    const QSizeF t = treatedSize(naturalW, naturalH);
    const qint32 tw = qint32(roundEven(t.width()));
    const qint32 th = qint32(roundEven(t.height()));
    double scale = Fit_Percent(tw, th, n, false, 0, 0, surfaceW, surfaceH) / 100.0;
    if (hundred && scale > 1.0)
        scale = 1.0;
    return {int(roundEven(tw * scale)), int(roundEven(th * scale))};
}

QRect PageGeometry::toDevice(QRect logical, qreal ratio)
{
    if (ratio == 1.0)
        return logical;
    const auto edge = [ratio](int v) { return int(roundEven(v * ratio)); };
    const int left = edge(logical.left()), top = edge(logical.top());
    return {left, top, edge(logical.left() + logical.width()) - left, edge(logical.top() + logical.height()) - top};
}

QSize PageGeometry::toLogical(QSize device, qreal ratio)
{
    if (ratio == 1.0 || ratio <= 0)
        return device;
    return {int(roundEven(device.width() / ratio)), int(roundEven(device.height() / ratio))};
}

QRect PageGeometry::placed(Side side, QSize d, QSize surface)
{
    const int y = int(roundEven((surface.height() - d.height()) / 2.0));
    int x;
    if (side == LeftHalf)
        x = int(roundEven(surface.width() / 2.0 - d.width()));
    else if (side == RightHalf)
        x = int(roundEven(surface.width() / 2.0));
    else
        x = int(roundEven((surface.width() - d.width()) / 2.0));
    return {x, y, d.width(), d.height()};
}
