#include "core/ExportFolderFile.h"

#include <QFile>
#include <QSaveFile>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace ExportFolderFile {

namespace {

QByteArray contents(const QString &file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// The first line, and the setting lines after it.
std::pair<QString, QStringList> parts(const QString &file)
{
    const QByteArray all = contents(file);
    qsizetype end = all.size();
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (all[i] == '\r' || all[i] == '\n') {
            end = i;
            break;
        }
    }
    QStringList settings;
    for (const QString &line : QString::fromUtf8(all.mid(end)).split(QRegularExpression(QStringLiteral("[\r\n]+")))) {
        if (line.contains(QLatin1Char('=')))
            settings << line;
    }
    return {QString::fromUtf8(all.left(end)), settings};
}

bool save(const QString &file, const QString &folder, const QStringList &settings, QString *error)
{
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(folder.toUtf8() + "\r\n");
        for (const QString &line : settings)
            out.write(line.toUtf8() + "\r\n");
        if (out.commit())
            return true;
    }
    if (error)
        *error = out.errorString();
    return false;
}

} // namespace

bool write(const QString &file, const QString &folder, QString *error)
{
    return save(file, folder, parts(file).second, error);
}

QString read(const QString &file)
{
    return parts(file).first;
}

QString setting(const QString &file, const QString &key)
{
    const QString prefix = key + QLatin1Char('=');
    for (const QString &line : parts(file).second) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return QString();
}

bool setSetting(const QString &file, const QString &key, const QString &value)
{
    auto [folder, settings] = parts(file);
    const QString prefix = key + QLatin1Char('=');
    settings.erase(std::remove_if(settings.begin(), settings.end(),
                                  [&](const QString &line) { return line.startsWith(prefix); }),
                   settings.end());
    settings << prefix + value;
    return save(file, folder, settings, nullptr);
}

} // namespace ExportFolderFile
