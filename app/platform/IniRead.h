#pragma once
#include <QList>
#include <QPair>
#include <QString>

struct ProgramPaths;

// Longest value handed back: setting values are cut at 2048 characters.
inline constexpr int kIniValueMax = 2048;

// Reads one value of an INI file; the settings of `paths` when `file` is empty:
// the per-user settings file's value when it has the key, else the program
// folder's. Returns `defaultValue` when no file has the section and key.
// Section and key match regardless of case, as INI readers traditionally do. A
// value that the INI syntax splits at commas comes back joined with ", "; quote
// such a value in the file to keep it exact.
QString Ini_Read(const ProgramPaths &paths, const QString &section, const QString &key, const QString &defaultValue,
                 const QString &file = QString());

// Every key of `section` in the settings of `paths` with its value, read as
// Ini_Read reads them: the program folder's keys in their order, each overridden
// by the per-user file's, then the keys only the per-user file has.
QList<QPair<QString, QString>> Ini_ReadSection(const ProgramPaths &paths, const QString &section);

// Writes one value into the per-user settings file (made with its folder when
// missing), over the key in whatever case the file spells it. The program
// folder's file is never written. Returns false when there is no per-user file
// or it cannot be written.
bool Ini_Write(const ProgramPaths &paths, const QString &section, const QString &key, const QString &value);
