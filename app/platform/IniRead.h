#pragma once
#include <QString>

struct ProgramPaths;

// Longest value handed back: setting values are cut at 2048 characters.
inline constexpr int kIniValueMax = 2048;

// Reads one value of an INI file; the settings file of `paths` when `file` is
// empty. Returns `defaultValue` when the file, the section or the key is missing.
// Section and key match regardless of case, as INI readers traditionally do. A
// value that the INI syntax splits at commas comes back joined with ", "; quote
// such a value in the file to keep it exact.
QString Ini_Read(const ProgramPaths &paths, const QString &section, const QString &key, const QString &defaultValue,
                 const QString &file = QString());
