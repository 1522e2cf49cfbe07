#include "platform/IniRead.h"
#include "platform/ProgramPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <algorithm>
#include <optional>

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

QString valueText(const QVariant &v)
{
    QString text;
    if (v.typeId() == QMetaType::QStringList)
        text = v.toStringList().join(QStringLiteral(", "));
    else if (v.canConvert<QString>())
        text = v.toString();
    return text.left(kIniValueMax);
}

// The keys of `section` in the INI file at `path`, in the file's order, with their values.
QList<QPair<QString, QString>> sectionOf(const QString &path, const QString &section)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QSettings ini(path, QSettings::IniFormat);
    const QString group = findNoCase(ini.childGroups(), section);
    if (group.isEmpty())
        return {};
    ini.beginGroup(group);
    QList<QPair<QString, QString>> keys;
    for (const QString &k : ini.childKeys())
        keys.append({k, valueText(ini.value(k))});
    return keys;
}

std::optional<QString> valueOf(const QString &path, const QString &section, const QString &key)
{
    for (const auto &[k, v] : sectionOf(path, section)) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    }
    return std::nullopt;
}

} // namespace

QString Ini_Read(const ProgramPaths &paths, const QString &section, const QString &key, const QString &defaultValue,
                 const QString &file)
{
    if (!file.isEmpty())
        return valueOf(file, section, key).value_or(defaultValue);
    if (std::optional<QString> mine = valueOf(paths.userSettingsFile(), section, key))
        return *mine;
    return valueOf(paths.settingsFile(), section, key).value_or(defaultValue);
}

QList<QPair<QString, QString>> Ini_ReadSection(const ProgramPaths &paths, const QString &section)
{
    QList<QPair<QString, QString>> keys = sectionOf(paths.settingsFile(), section);
    for (const QPair<QString, QString> &mine : sectionOf(paths.userSettingsFile(), section)) {
        const auto same = std::find_if(keys.begin(), keys.end(), [&mine](const QPair<QString, QString> &e) {
            return e.first.compare(mine.first, Qt::CaseInsensitive) == 0;
        });
        if (same != keys.end())
            same->second = mine.second;
        else
            keys.append(mine);
    }
    return keys;
}

bool Ini_Write(const ProgramPaths &paths, const QString &section, const QString &key, const QString &value)
{
    const QString path = paths.userSettingsFile();
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSettings ini(path, QSettings::IniFormat);
    const QString group = findNoCase(ini.childGroups(), section);
    ini.beginGroup(group.isEmpty() ? section : group);
    const QString name = findNoCase(ini.childKeys(), key);
    ini.setValue(name.isEmpty() ? key : name, value);
    ini.endGroup();
    ini.sync();
    return ini.status() == QSettings::NoError;
}
