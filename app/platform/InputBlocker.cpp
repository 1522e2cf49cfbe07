#include "platform/InputBlocker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

InputBlocker::InputBlocker(QWidget *window) : QObject(window), m_window(window) {}

InputBlocker::~InputBlocker()
{
    setBlocked(false);
}

void InputBlocker::setBlocked(bool blocked)
{
    if (blocked == m_blocked || !qApp)
        return;
    m_blocked = blocked;
    if (blocked)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        break;
    default:
        return false;
    }
    auto *w = qobject_cast<QWidget *>(watched);
    // Only widgets of the blocked window itself: a message box it owns is a window of its own.
    if (!w || !m_window || (w != m_window && !m_window->isAncestorOf(w)))
        return false;
    return !(letThrough && letThrough(watched, event));
}
