#pragma once
#include <QDir>
#include <QDirIterator>
#include <QStringList>

// Every path under `root`, recursively, relative to it and sorted (links not followed).
inline QStringList treeOf(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}
