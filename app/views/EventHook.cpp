#include "views/EventHook.h"

#include <QEvent>

EventHook::EventHook(QObject *target, Handler handler) : QObject(target), m_handler(std::move(handler))
{
    target->installEventFilter(this);
}

EventHook *EventHook::install(QObject *target, Handler handler)
{
    return new EventHook(target, std::move(handler));
}

bool EventHook::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && m_handler && m_handler(event))
        return true;
    return QObject::eventFilter(watched, event);
}
