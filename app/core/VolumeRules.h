#pragma once
#include "listing/FileKinds.h"
#include "listing/MemberTable.h"
#include "listing/VolumeNames.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// The rules that turn a source into member records and volume names, kept apart
// from the window so they can be checked on their own.
namespace VolumeRules {

// The name rules, under the names the volume rules have always used.
using FileKinds::extensionOf;
using FileKinds::Is_ImageExt;
using FileKinds::archiveKindOfExt;
using FileKinds::isArchiveExt;
using FileKinds::isZipVolumeName;
using FileKinds::MaxPages;
using FileKinds::isJunkName;
using FileKinds::isJunkMember;

// The folder root as the page list writes it: "//" collapsed, one trailing "/".
QString folderRoot(const QString &openPath);

// Folder_Scan's listing: one level of sub-folders (only while no command-line file
// is pending), images at the top and in sub-folders, archives at the top.
// Returns false when the folder has no entry at all (the table is then untouched).
bool scanFolder(const QString &openPath, bool commandFilePending, MemberTable &table);

using FileKinds::isNestedArchiveVolume;

// For every volume that is not a nested archive, the entries its page list holds
// (member names in an archive, made distinct as its selection makes them; full
// paths in a folder), unsorted, gathered in one pass over the table.
QHash<QString, QStringList> pageEntriesByVolume(const MemberTable &table, bool isArchive, const QString &openPath);

using VolumeNames::deriveVolumes;

using FileKinds::makeDistinct;

// The text the volume list shows for `volume`: its name, except that the one
// volume of a book whose pages lie at its top ("/", or "." for members stored as
// "./name") is named after the book (the last part of `openPath`).
QString shownName(const QString &volume, int volumeCount, const QString &openPath);

using FileKinds::NestedPage;
using FileKinds::nestedPages;

} // namespace VolumeRules
