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
};
