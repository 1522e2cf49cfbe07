#include "PhotoGripFactory.h"

#include "ImgPicture.h"

QString PhotoGripFactory::progId() const
{
    return QString::fromLatin1(kImgPictureProgId);
}

QWidget *PhotoGripFactory::createControl(QWidget *parent)
{
    return new ImgPicture(parent);
}
