#pragma once
#include <QObject>
#include <functional>

class QEvent;

// Lets a window react to events of a widget it did not make a class for (a
// plain QWidget or QLabel): paints of a picture box, clicks on a label. The
// hook is a child of the watched object and lives as long as it does.
class EventHook : public QObject
{
    Q_OBJECT
public:
    // Return true to stop the event, false to let it go on.
    using Handler = std::function<bool(QEvent *)>;

    static EventHook *install(QObject *target, Handler handler);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    EventHook(QObject *target, Handler handler);
    Handler m_handler;
};
