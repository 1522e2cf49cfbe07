#include "PhotoGripFactory.h"

#include "ImageDecoder.h"
#include "ImgPicture.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
// The program's settings file (named after the executable, beside it) may set
// the decode limit: section "Limits", key "DecodeMB", in mebibytes. The user's
// own settings file is read over it, as the program reads it, so the control
// refuses exactly what the program's decoding workers refuse.
void applySettings()
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    const QString key = QStringLiteral("Limits/DecodeMB");
    QVariant value = QSettings(exe.absolutePath() + QLatin1Char('/') + exe.completeBaseName() + QStringLiteral(".ini"),
                               QSettings::IniFormat)
                         .value(key);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty()) {
        const QSettings mine(config + QStringLiteral("/Leafview/leafview.ini"), QSettings::IniFormat);
        if (mine.contains(key))
            value = mine.value(key);
    }
    bool ok = false;
    const qint64 mb = value.toLongLong(&ok);
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
