#include "archive/CoverPage.h"
#include "archive/ArchiveReader.h"
#include "listing/FileKinds.h"
#include "listing/MemberTable.h"
#include "listing/VolumeNames.h"
#include "platform/SortedList.h"

#include <vector>

namespace CoverPage {

namespace {
// The book's member records as its reader lists them, each with the place of its
// header in the archive.
struct Listing
{
    MemberTable table;
    std::vector<int> ordinals;
};

Listing listed(const QString &path, ArchiveKind kind)
{
    Listing out;
    out.table.dimension(0);
    const std::unique_ptr<ArchiveReader> reader = ArchiveReader::make(kind);
    reader->setFile(path);
    reader->list();
    for (int i = 1; i <= reader->count(); ++i) {
        const ArchiveReader::Member &m = reader->member(i);
        out.table.append({m.fileName, m.folder, QString()});
        out.ordinals.push_back(m.ordinal);
    }
    return out;
}
ArchiveHandle::Kind handleKind(ArchiveKind kind)
{
    switch (kind) {
    case ArchiveKind::Rar:
        return ArchiveHandle::Kind::Rar;
    case ArchiveKind::SevenZip:
        return ArchiveHandle::Kind::SevenZip;
    case ArchiveKind::Tar:
        return ArchiveHandle::Kind::Tar;
    default:
        return ArchiveHandle::Kind::Zip;
    }
}
} // namespace

Page read(const QString &path, const MemberBytes::Limits &limits)
{
    const ArchiveKind kind = FileKinds::archiveKindOfExt(FileKinds::extensionOf(path));
    if (kind == ArchiveKind::None)
        return {QString(), QByteArray(), QStringLiteral("not a book the reader opens")};
    Listing book = listed(path, kind);
    SortedList volumes;
    volumes.AddItems(VolumeNames::deriveVolumes(book.table));
    if (volumes.isEmpty())
        return {QString(), QByteArray(), QStringLiteral("no page")};
    const QString first = volumes.List(0);
    // Its pages lie in an archive inside the book, which would have to be unpacked whole.
    if (FileKinds::isNestedArchiveVolume(first))
        return {QString(), QByteArray(), QStringLiteral("the first volume is an archive inside the book")};

    QStringList names;
    std::vector<int> records;
    for (int i = 1; i <= book.table.upper(); ++i) {
        if (book.table.at(i).volumeName == first) {
            names << book.table.at(i).fileName;
            records.push_back(i);
        }
    }
    // Named as the volume's selection names them, so the order is the page list's.
    FileKinds::makeDistinct(names);
    if (names.size() > FileKinds::MaxPages)
        return {QString(), QByteArray(), QStringLiteral("more pages than a volume may hold")};
    SortedList pages;
    pages.AddItems(names);
    const int k = int(names.indexOf(pages.List(0)));
    const int record = records[std::size_t(k)];
    const ArchiveHandle::Kind reader = handleKind(kind);
    MemberBytes::Result r = MemberBytes::read(path, reader, book.ordinals[std::size_t(record - 1)], limits);
    return {book.table.at(record).fileName, std::move(r.bytes), r.why};
}

} // namespace CoverPage
