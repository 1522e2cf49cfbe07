#include "PhotoGripFactory.h"

#include "ImageDecoder.h"
#include "ImgPicture.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace {
// The program's settings file (named after the executable, beside it) may set
// the decode limit: section "Limits", key "DecodeMB", in mebibytes.
void applySettings()
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    const QSettings ini(exe.absolutePath() + QLatin1Char('/') + exe.completeBaseName() + QStringLiteral(".ini"),
                        QSettings::IniFormat);
    bool ok = false;
    const qint64 mb = ini.value(QStringLiteral("Limits/DecodeMB")).toLongLong(&ok);
    ImageDecoder::setMaxImageBytes(ok && mb > 0 ? mb << 20 : 0);
}
} // namespace

QString PhotoGripFactory::progId() const
{
    return QString::fromLatin1(kImgPictureProgId);
}

QWidget *PhotoGripFactory::createControl(QWidget *parent)
{
    applySettings();
    return new ImgPicture(parent);
}
