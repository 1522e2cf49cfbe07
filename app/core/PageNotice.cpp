#include "core/PageNotice.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

namespace PageNotice {

QImage page(QSize deviceSize, const QString &text, qreal ratio)
{
    if (deviceSize.isEmpty())
        return {};
    QImage img(deviceSize, QImage::Format_RGB32);
    img.fill(Qt::black);
    if (ratio <= 0)
        ratio = 1.0;
    img.setDevicePixelRatio(ratio);
    const QSize size = (QSizeF(deviceSize) / ratio).toSize();
    QPainter painter(&img);
    QFont font = painter.font();
    // About a fortieth of the page's height, never unreadably small nor so large
    // that a long file name would not fit across a narrow half of a spread.
    font.setPixelSize(std::clamp(std::min(size.height() / 40, size.width() / 20), 9, 28));
    painter.setFont(font);
    painter.setPen(QColor(200, 200, 200));
    const int margin = std::max(4, size.width() / 16);
    const QRect box = QRect(QPoint(0, 0), size).adjusted(margin, 0, -margin, 0);
    painter.drawText(box, Qt::AlignCenter | Qt::TextWrapAnywhere, text);
    painter.end();
    // Copied pixel for pixel onto the surface from here on.
    img.setDevicePixelRatio(1.0);
    return img;
}

} // namespace PageNotice
