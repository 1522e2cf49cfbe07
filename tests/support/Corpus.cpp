#include "Corpus.h"

#include <QDir>
#include <QFileInfo>

namespace Corpus {
QString folder()
{
    const QString fromEnvironment = qEnvironmentVariable("LEAFVIEW_FIXTURES");
    return fromEnvironment.isEmpty() ? QStringLiteral(LEAFVIEW_FIXTURES) : fromEnvironment;
}

QString path(const QString &relative)
{
    return folder() + QLatin1Char('/') + relative;
}

QString absentReason()
{
    const QString f = folder();
    if (!f.isEmpty() && QFileInfo(f).isDir())
        return QString();
    const QString where = f.isEmpty() ? QStringLiteral("no folder configured") : QStringLiteral("no folder ") + f;
    return QStringLiteral("third-party test archives absent (") + where +
           QStringLiteral("); set LEAFVIEW_FIXTURES, or configure with -DLEAFVIEW_FIXTURES=FOLDER");
}
} // namespace Corpus
