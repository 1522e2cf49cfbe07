#include "core/CommandLine.h"

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
