#pragma once
// The library's one export: the factory of the ImgPicture control, found by the
// program through the program identifier in PhotoGrip.json.
#include <leafview/ControlFactory.h>

#include <QObject>

class PhotoGripFactory : public QObject, public IControlFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID IControlFactory_iid FILE "PhotoGrip.json")
    Q_INTERFACES(IControlFactory)

public:
    QString progId() const override;
    QWidget *createControl(QWidget *parent) override;
};
