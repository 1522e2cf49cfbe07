#pragma once
#include <QString>

// The one optional path given on the command line, split into folder and file
// name the way the initial open uses them.
struct CommandLine
{
    QString Cmd_Folder; // all but the last part, no trailing "/"; empty without "/"
    QString Cmd_File;   // the last part

    // Every double quote removed, blanks trimmed, split at the last "/".
    static CommandLine parse(const QString &text);
    // The path the two parts name; empty when none was given.
    QString path() const;
    // The command-line text unquoted and trimmed, made absolute against
    // `workingFolder` when it is relative (`leafview book.cbz` in a terminal, or
    // a second start handing its path to the running window).
    static QString absoluteText(const QString &text, const QString &workingFolder);
};
