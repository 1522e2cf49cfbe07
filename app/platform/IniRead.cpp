#include "platform/IniRead.h"
#include "platform/ProgramPaths.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace {

QString findNoCase(const QStringList &names, const QString &wanted)
{
    if (names.contains(wanted))
        return wanted;
    for (const QString &n : names) {
        if (n.compare(wanted, Qt::CaseInsensitive) == 0)
            return n;
    }
    return {};
}

} // namespace

QString Ini_Read(const ProgramPaths &paths, const QString &section, const QString &key, const QString &defaultValue,
                 const QString &file)
{
    const QString path = file.isEmpty() ? paths.settingsFile() : file;
    if (!QFileInfo(path).isFile())
        return defaultValue;

    QSettings ini(path, QSettings::IniFormat);
    const QString group = findNoCase(ini.childGroups(), section);
    if (group.isEmpty())
        return defaultValue;
    ini.beginGroup(group);
    const QString name = findNoCase(ini.childKeys(), key);
    if (name.isEmpty())
        return defaultValue;

    const QVariant v = ini.value(name);
    QString text;
    if (v.typeId() == QMetaType::QStringList)
        text = v.toStringList().join(QStringLiteral(", "));
    else if (v.canConvert<QString>())
        text = v.toString();
    else
        return defaultValue;
    return text.left(kIniValueMax);
}
