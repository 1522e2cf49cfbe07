#pragma once
#include <QString>

// The one-line export-folder file: the folder's path in UTF-8, ended by CR LF.
namespace ExportFolderFile {

// Rewrites `file` whole. The line goes to a temporary file that replaces the old
// one only when complete, so a crash mid-write leaves the previous folder, never
// an empty file. Returns false (with the reason in `error`) when it cannot.
bool write(const QString &file, const QString &folder, QString *error = nullptr);
// The folder the file names (its first line); empty when there is no file.
QString read(const QString &file);

} // namespace ExportFolderFile
