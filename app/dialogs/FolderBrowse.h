#pragma once
#include <QString>

class Program;
class QWidget;

// The start folder when the settings file has no "Last Path": the settings were
// written for a drive root ("c:\"); on Linux the user's home folder plays that part.
QString DefaultLastPath();

// The folder browser: starts at program.LastFolder once a folder has been chosen
// in this run, otherwise at startFolder. Returns the chosen folder, or empty text
// when the user cancels or picks something that is not an existing folder.
QString BrowseFolderDialog(Program &program, QWidget *owner, const QString &title, const QString &startFolder);

// Reads the "Last Path" setting (section "Main") and, unless skipDialog, lets the
// user browse from there. Returns the folder, or empty text.
QString BrowseLastFolder(Program &program, QWidget *owner, bool skipDialog);
