#include "core/CommandLine.h"

#include <QDir>

QString CommandLine::path() const
{
    if (Cmd_Folder.isEmpty())
        return Cmd_File;
    return Cmd_Folder + QLatin1Char('/') + Cmd_File;
}

QString CommandLine::absoluteText(const QString &text, const QString &workingFolder)
{
    QString t = text;
    t.remove(QLatin1Char('"'));
    t = t.trimmed();
    if (t.isEmpty() || QDir::isAbsolutePath(t))
        return t;
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(t));
}

CommandLine CommandLine::parse(const QString &text)
{
    CommandLine c;
    QString t = text;
    t.remove(QLatin1Char('"'));
    t = t.trimmed();
    if (t.isEmpty())
        return c;
    const int slash = t.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        c.Cmd_File = t;
    } else {
        c.Cmd_Folder = t.left(slash);
        c.Cmd_File = t.mid(slash + 1);
    }
    return c;
}
