#include "WheelMouse.h"

#include <QResizeEvent>
#include <QWheelEvent>

WheelMouse::WheelMouse(QWidget *parent) : QWidget(parent)
{
    // The control draws nothing; it must not hide clicks from whatever lies under it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(kWidth, kHeight);
}

WheelMouse::~WheelMouse()
{
    detach();
}

void WheelMouse::SetHwnd(QWidget *hwnd)
{
    detach();
    if (!hwnd)
        return;
    m_attached = hwnd;
    hwnd->installEventFilter(this);
}

void WheelMouse::detach()
{
    // QPointer: a widget destroyed while attached has already dropped its filters.
    if (m_attached)
        m_attached->removeEventFilter(this);
    m_attached.clear();
}

void WheelMouse::SetDelta(qint32 fwKeys, qint32 zDelta, qint32 xPos, qint32 yPos)
{
    m_lastKeys = fwKeys;
    m_lastPos = QPoint(xPos, yPos);
    emit WheelChanged(zDelta);
}

qint32 WheelMouse::keyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    qint32 keys = 0;
    if (buttons & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        keys |= MK_MBUTTON;
    if (buttons & Qt::BackButton)
        keys |= MK_XBUTTON1;
    if (buttons & Qt::ForwardButton)
        keys |= MK_XBUTTON2;
    if (modifiers & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        keys |= MK_CONTROL;
    return keys;
}

bool WheelMouse::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && watched == m_attached.data()) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        // The notification carries screen coordinates.
        const QPoint pos = wheel->globalPosition().toPoint();
        SetDelta(keyFlags(wheel->buttons(), wheel->modifiers()), wheel->angleDelta().y(), pos.x(), pos.y());
    }
    // Never consumed: the widget sees every event, the wheel included.
    return false;
}

void WheelMouse::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (event->size() != QSize(kWidth, kHeight))
        setFixedSize(kWidth, kHeight);
}
