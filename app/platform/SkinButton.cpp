#include "platform/SkinButton.h"

#include <QMouseEvent>
#include <QPainter>

SkinButton::SkinButton(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void SkinButton::setImageFile(const QString &path)
{
    if (path == m_file)
        return;
    m_file = path;
    m_pixmap = QPixmap(path);
    if (!m_pixmap.isNull())
        setFixedSize(m_pixmap.size());
    update();
}

void SkinButton::paintEvent(QPaintEvent *)
{
    if (m_pixmap.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, m_pixmap);
}

void SkinButton::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        emit leftPressed();
}

void SkinButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        emit leftReleased();
}
