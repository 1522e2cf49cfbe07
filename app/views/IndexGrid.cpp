#include "views/IndexGrid.h"

#include "core/IndexGeometry.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QToolTip>
#include <QWheelEvent>

using namespace IndexGeometry;

namespace {
const QColor kHighlight(0xf0, 0xb4, 0x29);
const QColor kCaption(0xd8, 0xdc, 0xe2);
} // namespace

IndexGrid::IndexGrid(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont f = font();
    f.setPixelSize(10);
    setFont(f);
}

void IndexGrid::setHighlight(int i)
{
    if (i == m_highlight)
        return;
    if (m_highlight >= 0)
        update(highlightRect(m_highlight).adjusted(-1, -1, 1, 1));
    m_highlight = i;
    if (i >= 0)
        update(highlightRect(i).adjusted(-1, -1, 1, 1));
}

void IndexGrid::cellsChanged(int from)
{
    if (from <= 0 || from >= int(Img_List.size())) {
        update();
        return;
    }
    for (int i = from; i < int(Img_List.size()); ++i)
        update(highlightRect(i));
}

void IndexGrid::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    p.fillRect(e->rect(), palette().color(QPalette::Window));
    // The grid: one line down the middle and one under every row.
    p.setPen(kGridColour);
    p.drawLine(width() / 2, 0, width() / 2, height());
    for (int y : gridLinesY(height()))
        p.drawLine(0, y, width(), y);

    p.setFont(font());
    const int rows = (int(Img_List.size()) + 1) / 2;
    const int firstRow = qMax(0, e->rect().top() / kRowPitch - 1);
    const int lastRow = qMin(rows - 1, e->rect().bottom() / kRowPitch + 1);
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int i = row * 2; i < qMin(row * 2 + 2, int(Img_List.size())); ++i) {
            const Cell &c = Img_List[size_t(i)];
            if (!c.picture.isNull())
                p.drawImage(thumbRect(i).topLeft(), c.picture);
            p.setPen(kCaption);
            p.drawText(captionRect(i), Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, c.caption);
        }
    }
    if (m_highlight >= 0 && m_highlight < int(Img_List.size())) {
        p.setPen(QPen(kHighlight, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(highlightRect(m_highlight)).adjusted(1, 1, -1, -1));
    }
}

int IndexGrid::cellAt(QPoint pos) const
{
    const int row = pos.y() / kRowPitch;
    for (int i = row * 2; i < qMin(row * 2 + 2, int(Img_List.size())); ++i)
        if (thumbRect(i).contains(pos))
            return i;
    return -1;
}

void IndexGrid::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const int i = cellAt(e->position().toPoint());
    if (i >= 0)
        emit clicked(i);
}

void IndexGrid::wheelEvent(QWheelEvent *e)
{
    emit wheelTurned(e);
}

bool IndexGrid::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(e);
        const int i = cellAt(help->pos());
        // The caption may be cut; the tip names the whole file.
        if (i >= 0)
            QToolTip::showText(help->globalPos(), Img_List[size_t(i)].name, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(e);
}
