#include "core/ExportFolderFile.h"

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

} // namespace ExportFolderFile
