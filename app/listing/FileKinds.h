#pragma once
#include "listing/ArchiveKind.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

// Which files are pages, archives or junk, by their names: the rules the folder
// scan, the volume rules and the archive readers share, kept below all of them.
namespace FileKinds {

// "." + lower-cased text after the last "." of name (the whole name lower-cased
// with a "." in front when it has none).
QString extensionOf(const QString &name);
// The classic image extensions, and the WebP and TIFF pages that comic archives
// now carry (Qt's image plugins decode them).
bool Is_ImageExt(const QString &ext);
// Zip for ".zip" (and ".cbz", the comic-book name for the same format), Rar for
// ".rar" and ".cbr", SevenZip for ".7z" and ".cb7", Tar for ".tar" and ".cbt",
// None for anything else.
ArchiveKind archiveKindOfExt(const QString &ext);
bool isArchiveExt(const QString &ext);
// Whether a volume's pages lie in a ZIP archive extracted into TmpZip on demand
// (its name holds ".zip" or ".cbz").
bool isZipVolumeName(const QString &volumeName);
// Whether a volume is an archive of its own (listed from a file of that name, not
// from the member table).
bool isNestedArchiveVolume(const QString &volumeName);

// The page index is 16-bit: a volume holding more pages than it can address is
// refused whole rather than shown with a wrapping index.
inline constexpr int MaxPages = 32767;

// Resource forks and hidden files are never pages or volumes: a name starting
// with "." ("._p1.jpg", ".DS_Store", ".thumbs") or the folder "__MACOSX".
bool isJunkName(const QString &name);
// The same test on every level of a member's folder text ("\" or "/" between
// levels) and on its file name. "." and ".." levels are plain path steps.
bool isJunkMember(const QString &folder, const QString &fileName);

// Two members under one name would share one file in TmpZip, and one page would
// show in place of the other: every later one of a name gets a short suffix
// ("p.jpg", "p~2.jpg"). Tells which names were changed.
std::vector<bool> makeDistinct(QStringList &names);

// The pages of an archive read as one volume (an archive lying in an opened
// folder, or one nested in an archive). Its top-level images when it has any;
// otherwise the images in every folder inside it (the usual layout of a comic
// archive is "Book Name/001.jpg"). Each page's entry is its member path
// ("Book Name\\001.jpg"), so pages of different folders that share a file name
// stay apart and sorting keeps each folder's pages together; the reader sees
// only its name ("001.jpg"). Entries are made distinct (makeDistinct), and a
// renamed entry's name carries the same suffix.
// member(i) gives member i's folder text and file name, i from 1 to count.
struct NestedPage
{
    int index;     // 1-based member index
    QString entry; // page-list text, also its file name inside TmpZip
    QString name;  // what the page shows as
    bool renamed;  // the entry was given a suffix
};
std::vector<NestedPage> nestedPages(int count, const std::function<std::pair<QString, QString>(int)> &member);

} // namespace FileKinds
