#pragma once
#include <QtGlobal>

// The archive formats a book or a volume comes in, told by its name
// (FileKinds::archiveKindOfExt). The numbers are what the resume record stores;
// nothing else reads a kind as a number.
enum class ArchiveKind : qint16 {
    None = -1, // an archive of none of these formats: it opens nothing
    Zip = 0,
    Rar = 1,
    SevenZip = 2,
    Tar = 3,
};

namespace ArchiveKinds {
// A kind's pages come out a volume at a time, in one pass over the archive (RAR,
// 7z, tar); a ZIP's come out one at a time, as they are drawn.
inline bool extractsWholeVolumes(ArchiveKind kind)
{
    return kind == ArchiveKind::Rar || kind == ArchiveKind::SevenZip || kind == ArchiveKind::Tar;
}
// The number the resume record stores for a kind, and the kind of a stored number
// (None for a number no kind has).
inline qint16 toStored(ArchiveKind kind)
{
    return qint16(kind);
}
inline ArchiveKind fromStored(qint16 stored)
{
    switch (ArchiveKind(stored)) {
    case ArchiveKind::Zip:
    case ArchiveKind::Rar:
    case ArchiveKind::SevenZip:
    case ArchiveKind::Tar:
        return ArchiveKind(stored);
    case ArchiveKind::None:
        break;
    }
    return ArchiveKind::None;
}
} // namespace ArchiveKinds
