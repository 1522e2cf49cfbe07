#pragma once
#include "core/MemberTable.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// The rules that turn a source into member records and volume names, kept apart
// from the window so they can be checked on their own.
namespace VolumeRules {

// "." + lower-cased text after the last "." of name (the whole name lower-cased
// with a "." in front when it has none).
QString extensionOf(const QString &name);
// The design's image extensions, and the WebP and TIFF pages that comic archives
// now carry (Qt's image plugins decode them).
bool Is_ImageExt(const QString &ext);
// 0 for a ZIP archive (".zip", and ".cbz", the comic-book name for the same
// format), 1 for a RAR archive (".rar", ".cbr"), 2 for 7z (".7z", ".cb7"), 3 for
// tar (".tar", ".cbt"), -1 for anything else. RAR, 7z and tar are read alike: a
// whole volume comes out in one pass.
int archiveKindOfExt(const QString &ext);
bool isArchiveExt(const QString &ext);
// Whether a volume's pages lie in a ZIP archive extracted into TmpZip on demand
// (its name holds ".zip" or ".cbz").
bool isZipVolumeName(const QString &volumeName);

// The page index is 16-bit: a volume holding more pages than it can address is
// refused whole rather than shown with a wrapping index.
inline constexpr int MaxPages = 32767;

// Resource forks and hidden files are never pages or volumes: a name starting
// with "." ("._p1.jpg", ".DS_Store", ".thumbs") or the folder "__MACOSX".
bool isJunkName(const QString &name);
// The same test on every level of a member's folder text ("\" or "/" between
// levels) and on its file name. "." and ".." levels are plain path steps.
bool isJunkMember(const QString &folder, const QString &fileName);

// The folder root as the page list writes it: "//" collapsed, one trailing "/".
QString folderRoot(const QString &openPath);

// Folder_Scan's listing: one level of sub-folders (only while no command-line file
// is pending), images at the top and in sub-folders, archives at the top.
// Returns false when the folder has no entry at all (the table is then untouched).
bool scanFolder(const QString &openPath, bool commandFilePending, MemberTable &table);

// Whether a volume is an archive of its own (listed from a file of that name, not
// from the member table).
bool isNestedArchiveVolume(const QString &volumeName);

// For every volume that is not a nested archive, the entries its page list holds
// (member names in an archive, full paths in a folder), unsorted, gathered in
// one pass over the table.
QHash<QString, QStringList> pageEntriesByVolume(const MemberTable &table, bool isArchive, const QString &openPath);

// Volume_Build steps 3 and 4: derives every record's volume name and returns the
// distinct non-empty names in order of first appearance.
QStringList deriveVolumes(MemberTable &table);

// The pages of an archive read as one volume (an archive lying in an opened
// folder, or one nested in an archive). Its top-level images when it has any;
// otherwise the images in every folder inside it (the usual layout of a comic
// archive is "Book Name/001.jpg"), each named by its member path
// ("Book Name\\001.jpg") so pages of different folders that share a file name
// stay apart, and sorting the names keeps each folder's pages together.
// member(i) gives member i's folder text and file name, i from 1 to count.
struct NestedPage
{
    int index;     // 1-based member index
    QString entry; // page-list text, also its file name inside TmpZip
};
std::vector<NestedPage> nestedPages(int count, const std::function<std::pair<QString, QString>(int)> &member);

} // namespace VolumeRules
