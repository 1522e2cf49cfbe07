#include "core/PageNotice.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

namespace PageNotice {

QImage page(QSize size, const QString &text)
{
    if (size.isEmpty())
        return {};
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter painter(&img);
    QFont font = painter.font();
    // About a fortieth of the page's height, never unreadably small nor so large
    // that a long file name would not fit across a narrow half of a spread.
    font.setPixelSize(std::clamp(std::min(size.height() / 40, size.width() / 20), 9, 28));
    painter.setFont(font);
    painter.setPen(QColor(200, 200, 200));
    const int margin = std::max(4, size.width() / 16);
    const QRect box = img.rect().adjusted(margin, 0, -margin, 0);
    painter.drawText(box, Qt::AlignCenter | Qt::TextWrapAnywhere, text);
    return img;
}

} // namespace PageNotice
