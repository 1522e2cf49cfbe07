#pragma once
#include <leafview/WheelMouse.h>

#include <QPointer>
#include <QWidget>

// Gives a widget that has no wheel handling of its own a wheel signal: the
// control watches the attached widget's events and reports every wheel turn,
// leaving the event itself to the widget.
class WheelMouse : public QWidget, public IWheelMouse
{
    Q_OBJECT
    Q_INTERFACES(IWheelMouse)

public:
    // The control's fixed size (645 x 615 twips at 15 twips per pixel).
    static constexpr int kWidth = 43;
    static constexpr int kHeight = 41;

    // Key-state flags of fwKeys, bit for bit as the wheel notification carries them.
    enum KeyFlag : qint32 {
        MK_LBUTTON = 0x0001,
        MK_RBUTTON = 0x0002,
        MK_SHIFT = 0x0004,
        MK_CONTROL = 0x0008,
        MK_MBUTTON = 0x0010,
        MK_XBUTTON1 = 0x0020,
        MK_XBUTTON2 = 0x0040,
    };

    explicit WheelMouse(QWidget *parent = nullptr);
    ~WheelMouse() override;

    QWidget *asWidget() override { return this; }
    void SetHwnd(QWidget *hwnd) override;
    void SetDelta(qint32 fwKeys, qint32 zDelta, qint32 xPos, qint32 yPos) override;

    // The widget attached now; nullptr when none (or when it has been destroyed).
    QWidget *attachedWidget() const { return m_attached.data(); }
    // fwKeys as computed for the last wheel event (0 before the first).
    qint32 lastKeys() const { return m_lastKeys; }
    QPoint lastPosition() const { return m_lastPos; }

    static qint32 keyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

signals:
    void WheelChanged(int Delta);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void detach();

    QPointer<QWidget> m_attached;
    qint32 m_lastKeys = 0;
    QPoint m_lastPos;
};
