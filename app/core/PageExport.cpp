#include "core/PageExport.h"

#include <QFile>
#include <QFileInfo>

namespace PageExport {

int ExportFileExists(const QString &path)
{
    const QFileInfo f(path);
    return f.exists() || f.isSymLink() ? 1 : 0;
}

QString MakeExportName(const QString &folder, const QString &extension)
{
    for (int n = 1; n <= kMaxExportNumber; ++n) {
        const QString name = folder + QStringLiteral("/Ox") + QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0')) +
                             extension;
        if (!ExportFileExists(name))
            return name;
    }
    return QString();
}

QString exportNameFor(const QString &folder, const QString &pageFile)
{
    const QString name = pageFile.mid(pageFile.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    // A page without an extension is numbered too: taking its bare name would
    // write beside whatever the working folder happens to be.
    return MakeExportName(folder, dot < 0 ? QString() : name.mid(dot));
}

CopyOutcome CopyPageFile(const QString &source, const QString &destination)
{
    if (ExportFileExists(destination))
        return {CopyResult::DestinationExists, QString()};
    if (!QFileInfo(source).isFile())
        return {CopyResult::SourceMissing, QString()};
    // QFile::copy writes a temporary file beside the destination and renames it,
    // and never replaces an existing file.
    QFile in(source);
    if (!in.copy(destination))
        return {CopyResult::Failed, in.errorString()};
    return {CopyResult::Copied, QString()};
}

} // namespace PageExport
