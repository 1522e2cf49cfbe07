#pragma once
// The WheelMouse control ("ScrollHook.WheelMouse"): attached to one widget at a
// time, it raises the signal WheelChanged(int Delta) for every wheel event that
// reaches that widget (angleDelta().y(), 120 per notch, positive away from the
// user) and never consumes the event. Signal signature on the control widget:
//   void WheelChanged(int Delta);
#include <QtPlugin>

class QWidget;

class IWheelMouse
{
public:
    virtual ~IWheelMouse() = default;
    virtual QWidget *asWidget() = 0;
    // Detaches from the widget attached so far (if any), then attaches to hwnd
    // (nullptr leaves it detached). The widget is lent, never owned.
    virtual void SetHwnd(QWidget *hwnd) = 0;
    virtual void SetDelta(qint32 fwKeys, qint32 zDelta, qint32 xPos, qint32 yPos) = 0;
};

#define IWheelMouse_iid "org.leafview.WheelMouse/1"
Q_DECLARE_INTERFACE(IWheelMouse, IWheelMouse_iid)

inline constexpr const char *kWheelMouseProgId = "ScrollHook.WheelMouse";
