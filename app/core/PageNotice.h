#pragma once
#include <QImage>
#include <QSize>
#include <QString>

// What stands in for a page whose file cannot be decoded: a black page of the
// size the page takes, with `text` centred on it in a light grey that stays
// readable under the sharpen filter. `size` is in device pixels; the text keeps
// its logical size at `ratio` device pixels per logical pixel.
namespace PageNotice {
QImage page(QSize size, const QString &text, qreal ratio = 1.0);
}
