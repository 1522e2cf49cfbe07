#include "TestProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace TestProgramFolder {
QString populate(const QString &folder, bool withProgram)
{
    const QDir built(QStringLiteral(LEAFVIEW_BUILD_BIN));
    if (!QDir().mkpath(folder))
        return QString();
    QStringList shared = built.entryList({QStringLiteral("*.htm"), QStringLiteral("*.html")}, QDir::Files);
    shared << QStringLiteral("skin") << QStringLiteral("ocx");
    for (const QString &name : shared) {
        const QString target = folder + QLatin1Char('/') + name;
        if (!QFileInfo(target).isSymLink() && !QFile::link(built.filePath(name), target))
            return QString();
    }
    if (withProgram) {
        // The executable's folder is where the program looks for everything, and a
        // symbolic link would lead it back to bin/; a hard link or a copy does not.
        const QString source = built.filePath(QStringLiteral("leafview"));
        const QString target = folder + QStringLiteral("/leafview");
        if (!QFileInfo::exists(target) &&
            ::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) != 0 &&
            !QFile::copy(source, target))
            return QString();
    }
    return QDir::cleanPath(folder);
}
} // namespace TestProgramFolder
