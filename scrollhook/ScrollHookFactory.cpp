#include "ScrollHookFactory.h"
#include "WheelMouse.h"

QString ScrollHookFactory::progId() const
{
    return QString::fromLatin1(kWheelMouseProgId);
}

QWidget *ScrollHookFactory::createControl(QWidget *parent)
{
    return new WheelMouse(parent);
}
