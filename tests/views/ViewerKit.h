#pragma once
// Input events sent straight to a widget, as the window tests give them.
#include "WithCases.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

// A wheel notch; a negative delta turns toward the reader.
inline void sendWheel(QWidget *target, int delta, QPointF at = QPointF(10, 10))
{
    QWheelEvent e(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &e);
}

// A press, move or release at `at`, with `held` the buttons down after it.
inline void sendMouse(QWidget *target, QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::NoButton,
                      Qt::MouseButtons held = Qt::NoButton)
{
    QMouseEvent e(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &e);
}
