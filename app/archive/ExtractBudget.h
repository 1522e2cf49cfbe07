#pragma once
#include <QString>
#include <QtGlobal>

struct ProgramPaths;

// How many bytes the pages of one volume may take in TmpZip: the setting (section
// "Limits", key "VolumeExtractMB" of the settings file, 2 GiB by default), and
// never more than the free space there less a margin, so a book cannot fill the
// disk. A RAR volume, extracted whole, stops at the budget and the reader is
// told; ZIP pages, extracted when drawn, make room by dropping the oldest pages,
// which are extracted again should they be drawn again.
namespace ExtractBudget {
inline constexpr qint64 kDefaultBytes = qint64(2) << 30;
inline constexpr qint64 kFreeSpaceMargin = qint64(256) << 20;

// The setting; the default when `paths` is null or the value is missing or bad.
qint64 settingOf(const ProgramPaths *paths);
// The budget for a volume extracted into `folder`.
qint64 forFolder(const QString &folder, qint64 setting);

// The budget for pages extracted one by one into `folder` as they are drawn. The
// setting and the free space are read once per volume (until forget) rather than
// for every page; the free space then follows the bytes written there, and is
// read again when the figure is more than a second old or the pages seem to be
// over the budget, so room is only ever made on a fresh figure.
qint64 forPages(const QString &folder, const ProgramPaths *paths);

// Deletes the oldest files of `folder` (never `keep`, never sub-folders) until the
// files there take no more than `target` bytes.
void makeRoom(const QString &folder, qint64 target, const QString &keep);
// Bytes the plain files of `folder` take: counted once, then kept as a running
// count by every member written there (noteWritten), so a page extracted costs
// no scan of the folder. A removal leaves the count high, never low; emptying the
// folder (forget) has it counted anew on next use.
qint64 usedBy(const QString &folder);
void noteWritten(const QString &folder, qint64 bytes);
// Forgets the count and the budget read for `folder` (it was emptied, or
// another volume is loaded into it).
void forget(const QString &folder);

// What reading one member into memory may cost (ArchiveReader::readMember). A page
// is a few MiB; a member larger than maxBytes, or inflating past maxRatio bytes for
// each byte of the archive read for it once past ratioFloor, is damage or a
// decompression bomb (a blank scan compresses well, hence the floor). A solid or
// compressed archive decodes every member before the one wanted: maxDecoded
// bounds the data walked past and read to reach it.
struct MemberLimits
{
    qint64 maxBytes = qint64(256) << 20;
    qint64 maxRatio = 2000;
    qint64 ratioFloor = qint64(32) << 20;
    qint64 maxDecoded = qint64(2) << 30;
};
} // namespace ExtractBudget
