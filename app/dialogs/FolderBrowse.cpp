#include "dialogs/FolderBrowse.h"
#include "platform/IniRead.h"
#include "core/Program.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFileInfo>

QString DefaultLastPath()
{
    return QDir::homePath();
}

QString BrowseFolderDialog(Program &program, QWidget *owner, const QString &title, const QString &startFolder)
{
    if (!program.prompts)
        return {};
    QString start = program.LastFolder.isEmpty() ? startFolder : program.LastFolder;
    // The page list also records an opened archive here; browse from the folder it lies in.
    const QFileInfo startInfo(start);
    if (!start.isEmpty() && startInfo.isFile())
        start = startInfo.absolutePath();

    const QString chosen = program.prompts->browseFolder(owner, title, start);
    if (chosen.isEmpty() || !QFileInfo(chosen).isDir())
        return {};
    return chosen;
}

QString BrowseLastFolder(Program &program, QWidget *owner, bool skipDialog)
{
    QString path = Ini_Read(program.paths, QStringLiteral("Main"), QStringLiteral("Last Path"), DefaultLastPath());
    if (!skipDialog)
        path = BrowseFolderDialog(program, owner, program.lang.Open_BrowseTitle, path);
    return path;
}
