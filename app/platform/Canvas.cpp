#include "platform/Canvas.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

Canvas::Canvas(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

qreal Canvas::ratio() const
{
    return m_fixedRatio > 0 ? m_fixedRatio : devicePixelRatioF();
}

void Canvas::setRatio(qreal ratio)
{
    m_fixedRatio = ratio > 0 ? ratio : 0;
    checkRatio();
}

QSize Canvas::deviceSize() const
{
    const QSize s = size().expandedTo(QSize(0, 0));
    const qreal r = ratio();
    if (r == 1.0)
        return s;
    return {int(std::nearbyint(s.width() * r)), int(std::nearbyint(s.height() * r))};
}

QImage &Canvas::surface()
{
    const QSize s = deviceSize();
    if (m_image.size() != s) {
        m_image = QImage(s, QImage::Format_RGB32);
        m_image.fill(m_background);
    }
    m_imageRatio = ratio();
    return m_image;
}

void Canvas::checkRatio()
{
    if (!m_image.isNull() && ratio() != m_imageRatio) {
        m_imageRatio = ratio();
        emit ratioChanged();
    }
}

bool Canvas::event(QEvent *e)
{
    // A move to another screen; Qt from 6.6 on also tells of a screen whose
    // density changed, which older versions only show by painting again.
    if (e->type() == QEvent::ScreenChangeInternal
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
        || e->type() == QEvent::DevicePixelRatioChange
#endif
    )
        QMetaObject::invokeMethod(this, &Canvas::checkRatio, Qt::QueuedConnection);
    return QWidget::event(e);
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
    if (ratio() != m_imageRatio && !m_image.isNull()) {
        // Drawn again at the new ratio once this paint is done.
        QMetaObject::invokeMethod(this, &Canvas::checkRatio, Qt::QueuedConnection);
    }
    // Until something is drawn at this size the surface would only hold the
    // background: it is painted as such, not made (a window's first paint).
    if (m_image.size() != deviceSize())
        p.fillRect(rect(), m_background);
    else if (m_imageRatio == 1.0)
        p.drawImage(0, 0, m_image);
    else
        // Device pixel for device pixel: the picture's logical size at its ratio.
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(m_image.size()) / m_imageRatio), m_image);
}

void Canvas::holdMagnifier(int by, bool held)
{
    const int before = m_magnifierHolds;
    m_magnifierHolds = held ? (m_magnifierHolds | by) : (m_magnifierHolds & ~by);
    if ((before != 0) != (m_magnifierHolds != 0))
        emit magnifierHeld(m_magnifierHolds != 0);
}

void Canvas::setMagnifierKeys(const QList<QKeySequence> &keys)
{
    m_magnifierKeys.clear();
    for (const QKeySequence &k : keys)
        m_magnifierKeys.append(k[0]);
}

void Canvas::keyPressEvent(QKeyEvent *e)
{
    if (m_magnifierKeys.contains(QKeyCombination(e->modifiers() & ~Qt::KeypadModifier, Qt::Key(e->key())))) {
        if (!e->isAutoRepeat())
            holdMagnifier(1, true);
        return;
    }
    m_pressed.insert(e->key());
    QWidget::keyPressEvent(e);
}

void Canvas::focusOutEvent(QFocusEvent *e)
{
    m_pressed.clear();
    // A release that goes to another window would leave the lens up for good.
    holdMagnifier(3, false);
    QWidget::focusOutEvent(e);
}

void Canvas::keyReleaseEvent(QKeyEvent *e)
{
    // The key is let go whatever modifier went first.
    const auto held = [e](const QKeyCombination &k) { return k.key() == e->key(); };
    if (m_magnifierHolds & 1 && std::any_of(m_magnifierKeys.begin(), m_magnifierKeys.end(), held)) {
        if (!e->isAutoRepeat())
            holdMagnifier(1, false);
        return;
    }
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
    if (e->button() == Qt::MiddleButton) {
        holdMagnifier(2, true);
        return;
    }
    emit mousePressed(e);
}

void Canvas::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::MiddleButton)
        holdMagnifier(2, false);
    emit mouseReleased(e);
    QWidget::mouseReleaseEvent(e);
}

void Canvas::wheelEvent(QWheelEvent *e)
{
    if (m_magnifierHolds == 0) {
        QWidget::wheelEvent(e);
        return;
    }
    emit magnifierWheel(e->angleDelta().y());
    e->accept();
}

void Canvas::mouseMoveEvent(QMouseEvent *e)
{
    emit mouseMoved(e);
}
