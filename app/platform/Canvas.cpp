#include "platform/Canvas.h"

#include <QKeyEvent>
#include <QPainter>

Canvas::Canvas(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

QImage &Canvas::surface()
{
    const QSize s = size().expandedTo(QSize(0, 0));
    if (m_image.size() != s) {
        m_image = QImage(s, QImage::Format_RGB32);
        m_image.fill(m_background);
    }
    return m_image;
}

void Canvas::clearPicture()
{
    // Nothing is made for a picture of background only: the next draw makes the
    // surface, and until then the paint fills the background.
    m_image = QImage();
    update();
}

void Canvas::setPicture(const QImage &img)
{
    QImage &s = surface();
    s.fill(m_background);
    if (!img.isNull()) {
        QPainter p(&s);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, img);
    }
    update();
}

void Canvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Until something is drawn at this size the surface would only hold the
    // background: it is painted as such, not made (a window's first paint).
    if (m_image.size() != size())
        p.fillRect(rect(), m_background);
    else
        p.drawImage(0, 0, m_image);
}

void Canvas::keyPressEvent(QKeyEvent *e)
{
    m_pressed.insert(e->key());
    QWidget::keyPressEvent(e);
}

void Canvas::focusOutEvent(QFocusEvent *e)
{
    m_pressed.clear();
    QWidget::focusOutEvent(e);
}

void Canvas::keyReleaseEvent(QKeyEvent *e)
{
    if (!m_pressed.remove(e->key())) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    e->ignore();
    emit keyReleased(e);
    if (!e->isAccepted())
        QWidget::keyReleaseEvent(e);
}

void Canvas::mousePressEvent(QMouseEvent *e)
{
    emit mousePressed(e);
}

void Canvas::mouseMoveEvent(QMouseEvent *e)
{
    emit mouseMoved(e);
}
