#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

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

    // What the program's arguments ask for. Options are read only where they mean
    // something; anything else starting with "-" is a mistake, unless it names an
    // existing file, and "--" ends the options.
    struct Invocation
    {
        enum Mode { Window, Help, Version, List, Render, MakeSample, Error };
        Mode mode = Window;
        QString path;                  // Window: all paths joined by blanks; else the one PATH or FOLDER
        QHash<QString, QString> values; // --render: "--out" etc. to their values
        QSet<QString> flags;           // --render: "--two-page" etc.
        QString lang;                  // --lang: "ko" or "en" for this run; empty: not given
        QString error;                 // Error: what is wrong, for standard error
    };
    static Invocation parseArguments(const QStringList &args,
                                     const std::function<bool(const QString &)> &exists);
    // Every mode and option, as --help prints it.
    static QString usage();
};
