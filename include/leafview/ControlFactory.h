#pragma once
// Interfaces shared by the program and its two control libraries. The libraries
// are Qt plugins in ocx/ beside the program; the program never links them and
// reaches them only through these headers.
#include <QtPlugin>
#include <QString>

class QWidget;
class QObject;

// Every control library exports one factory. Its plugin metadata carries the
// program identifier under the key "ProgId" (for example "PhotoGrip.ImgPicture").
class IControlFactory
{
public:
    virtual ~IControlFactory() = default;
    virtual QString progId() const = 0;
    // Creates one control as a child widget of parent. The caller owns it (through
    // Qt's parent ownership); the returned widget also implements the control's interface.
    virtual QWidget *createControl(QWidget *parent) = 0;
};

#define IControlFactory_iid "org.leafview.ControlFactory/1"
Q_DECLARE_INTERFACE(IControlFactory, IControlFactory_iid)
