#pragma once
#include <QString>

// The export-folder file imgviewer.ini: its first line is the folder's path in
// UTF-8, ended by CR LF, as the design keeps it. The view settings that outlive a
// book (how spreads are grouped) follow on lines of their own, "Key=Value";
// a reader of the first line alone sees the file as it always was.
namespace ExportFolderFile {

// Rewrites the first line, keeping the settings after it. The file goes to a
// temporary file that replaces the old one only when complete, so a crash
// mid-write leaves the previous folder, never an empty file. Returns false (with
// the reason in `error`) when it cannot.
bool write(const QString &file, const QString &folder, QString *error = nullptr);
// The folder the file names (its first line); empty when there is no file.
QString read(const QString &file);

// The value of setting `key` (empty when the file or the key is missing).
QString setting(const QString &file, const QString &key);
// Sets `key` to `value`, keeping the folder line and the other settings.
bool setSetting(const QString &file, const QString &key, const QString &value);

} // namespace ExportFolderFile
