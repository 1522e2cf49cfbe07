#pragma once
#include <leafview/ControlFactory.h>

#include <QObject>

// The library's entry point: the program finds it by the identifier in
// ScrollHook.json and asks it for WheelMouse controls.
class ScrollHookFactory : public QObject, public IControlFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID IControlFactory_iid FILE "ScrollHook.json")
    Q_INTERFACES(IControlFactory)

public:
    QString progId() const override;
    QWidget *createControl(QWidget *parent) override;
};
