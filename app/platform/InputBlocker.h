#pragma once
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

// Stands in for disabling a window while a step runs: the window's keys, clicks
// and wheel are dropped, but nothing is greyed and the keyboard focus stays where
// it is. Other windows (a question asked during the step) keep their input.
class InputBlocker : public QObject
{
    Q_OBJECT
public:
    explicit InputBlocker(QWidget *window);
    ~InputBlocker() override;

    void setBlocked(bool blocked);
    bool isBlocked() const { return m_blocked; }
    // Input the window still gets while blocked (none when empty): a window that
    // queues its page steps takes the keys, clicks and wheel that ask for them.
    std::function<bool(QObject *watched, QEvent *event)> letThrough;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    bool m_blocked = false;
};
