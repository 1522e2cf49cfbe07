#include "core/ExportFolderFile.h"

#include <QFile>
#include <QSaveFile>

namespace ExportFolderFile {

bool write(const QString &file, const QString &folder, QString *error)
{
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(folder.toUtf8() + "\r\n");
        if (out.commit())
            return true;
    }
    if (error)
        *error = out.errorString();
    return false;
}

QString read(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = in.readAll();
    qsizetype end = all.size();
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (all[i] == '\r' || all[i] == '\n') {
            end = i;
            break;
        }
    }
    return QString::fromUtf8(all.left(end));
}

} // namespace ExportFolderFile
