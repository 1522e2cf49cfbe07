#pragma once
#include <QByteArray>
#include <QString>

struct archive_entry;

// How archive member names become the texts the page list works with, and the
// one file name a member may get inside TmpZip.
namespace MemberPath {

struct Split
{
    QString folder;   // "\" between levels, no trailing separator; empty at the root
    QString fileName; // empty for a folder entry
};

// SplitMemberPath: every "/" becomes "\" except one in the first position; the
// last replaced separator divides folder from file name.
Split SplitMemberPath(const QString &memberPath);

// The member's name as text: UTF-8 when it is UTF-8, else the legacy code page.
QString decodedName(archive_entry *entry);

// Member path compared in "/" form, so "dir\p.jpg" and "dir/p.jpg" are one path.
QString comparable(const QString &memberPath);

// The file name a member may be written under inside TmpZip: the text after the
// last "/" or "\" (its diskName). Empty when the result could name anything but a plain file
// inside that folder ("", ".", "..", or a NUL in the name).
QString safeLeaf(const QString &memberPath);

// A page-list text used whole as a file name inside TmpZip ("Book\\001.jpg" for a
// page in a folder of a nested archive; its diskName). Empty when it could name anything but a
// plain file directly inside that folder.
QString safeFlatName(const QString &name);

// The name a member's file gets inside TmpZip: `name` itself when the file
// system takes a name that long (NAME_MAX bytes in its encoding); else a shorter
// one made from it, its start, a hash of the whole and its extension, so two
// long names stay two files. The page list keeps showing the member's name.
QString diskName(const QString &name);

// Regular file that is not a hard link: the only kind ever written to disk.
bool isPlainFile(archive_entry *entry);

// A hard link to another member by its name in the archive
// (archive_entry_hardlink): its bytes are that member's, if the archive holds it.
bool isHardLink(archive_entry *entry);

} // namespace MemberPath
