#include "core/IndexGeometry.h"

#include "core/PageGeometry.h"
#include "platform/LegacyCodePage.h"

#include <cmath>

using PageGeometry::roundEven;

namespace IndexGeometry {

QRect thumbRect(int i)
{
    const int column = i % 2;
    const int row = i / 2;
    return QRect(kMargin + column * kCellWidth, kMargin + row * kRowPitch, kThumbWidth, kThumbHeight);
}

QRect captionRect(int i)
{
    const QRect t = thumbRect(i);
    return QRect(t.left(), t.top() + t.height() + 5, t.width(), kCaptionHeight);
}

QRect highlightRect(int i)
{
    const QRect t = thumbRect(i);
    return QRect(t.left() - 2, t.top() - 2, t.width() + 4, kCellHeight);
}

int contentHeight(int count)
{
    if (count <= 0)
        return kMargin;
    const QRect last = captionRect(count - 1);
    return last.top() + kCaptionHeight + 5;
}

QSize thumbnailSize(double w, double h)
{
    if (!(w > 0) || !(h > 0) || !std::isfinite(w) || !std::isfinite(h))
        return {};
    // The fit percentage into the thumbnail box, by the rule a page is fitted by.
    const double p = PageGeometry::Fit_Percent(qint32(roundEven(w)), qint32(roundEven(h)), 1, true, kThumbWidth,
                                               kThumbHeight, 0, 0);
    // Only an image smaller than the box keeps its size; every other one is
    // scaled by this factor, and the box limit below does the rest.
    const double s = p / 100.0 > 1.0 ? 1.0 : 0.099;
    double tw = double(roundEven(s * w));
    double th = double(roundEven(s * h));
    if (tw > kThumbWidth) {
        th = double(roundEven(th / tw * kThumbWidth));
        tw = kThumbWidth;
    }
    if (th > kThumbHeight) {
        tw = double(roundEven(tw / th * kThumbHeight));
        th = kThumbHeight;
    }
    // A sliver of a page still shows as one pixel rather than as nothing.
    return QSize(qMax(1, int(tw)), qMax(1, int(th)));
}

QPoint thumbnailOffset(QSize s)
{
    return QPoint(int(roundEven((kThumbWidth - s.width()) / 2.0)), int(roundEven((kThumbHeight - s.height()) / 2.0)));
}

QString caption(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (LegacyCodePage::encode(name).size() <= 7)
        return name;
    // Seven characters, never half of a surrogate pair.
    qsizetype cut = 0;
    for (int n = 0; n < 7 && cut < name.size(); ++n)
        cut += name.at(cut).isHighSurrogate() && cut + 1 < name.size() ? 2 : 1;
    return name.left(cut) + QStringLiteral("...");
}

int scrollValueShowing(int i, int viewport)
{
    return qMax(0, highlightRect(i).center().y() - viewport / 2);
}

int progressWidth(int done, int count)
{
    if (count <= 0)
        return 1;
    const double step = double(kProgressTrack) / count;
    return qBound(1, int(roundEven(done * step)), kProgressTrack);
}

ScrollSettings scrollSettings(int content, int viewport, int value)
{
    ScrollSettings s;
    if (content > viewport) {
        s.maximum = content - viewport;
        s.pageStep = qMax(1, viewport);
        s.enabled = true;
        s.value = qBound(0, value, s.maximum);
    }
    return s;
}

std::vector<int> gridLinesY(int height)
{
    std::vector<int> ys;
    const int last = int(roundEven(double(height) / kRowPitch)) + 1;
    for (int k = 1; k <= last; ++k)
        ys.push_back(kRowPitch * k);
    return ys;
}

PaneLayout paneLayout(int w, int h, int topHeight, int barHeight, QSize closeSize, QSize waitSize)
{
    PaneLayout l;
    l.top = QRect(0, 0, w, topHeight);
    l.closeButton = QRect(QPoint(w - closeSize.width() - 2, (topHeight - closeSize.height()) / 2), closeSize);
    l.viewport = QRect(3, topHeight, qMax(0, w - kScrollWidth - 7), qMax(0, h - topHeight - barHeight));
    l.scrollBar = QRect(l.viewport.left() + l.viewport.width(), l.viewport.top(), kScrollWidth, l.viewport.height());
    l.waitPanel = QRect(QPoint((w - waitSize.width()) / 2, (h - waitSize.height()) / 2), waitSize);
    l.bottomBar = QRect(0, h - barHeight, w, barHeight);
    // Bevelled edges beside the grid; the right-hand three in the colours the
    // strip's light grey, white and light grey again.
    const QColor light(214, 215, 206);
    const QColor dark(0x14, 0x17, 0x1c);
    const QColor shade(0x3a, 0x41, 0x4b);
    const int bottom = l.viewport.top() + l.viewport.height();
    const int right = l.scrollBar.left() + l.scrollBar.width();
    const int xs[6] = {0, 1, 2, right + 1, right + 2, right + 3};
    const QColor colours[6] = {dark, shade, dark, light, Qt::white, light};
    for (int k = 0; k < 6; ++k)
        l.edges[k] = {QLine(xs[k], 0, xs[k], bottom), colours[k]};
    return l;
}

} // namespace IndexGeometry
