#include "archive/MemberBytes.h"
#include "archive/MemberPath.h"

#include <archive_entry.h>

namespace MemberBytes {

namespace {
Result refused(Status status, const QString &why)
{
    return {status, QByteArray(), why};
}

// Where the reader gets past a member by seeking (a ZIP through its directory, a
// tar that is not compressed), passing it costs nothing.
bool passingUnpacks(archive *a, ArchiveHandle::Kind kind)
{
    if (kind == ArchiveHandle::Kind::Zip)
        return false;
    if (kind == ArchiveHandle::Kind::Tar)
        return archive_filter_code(a, 0) != ARCHIVE_FILTER_NONE;
    return true;
}
} // namespace

Result read(const QString &path, ArchiveHandle::Kind kind, int ordinal, const Limits &limits)
{
    ArchiveHandle h(kind);
    if (!h.allocated() || h.open(path) != ARCHIVE_OK)
        return refused(Status::Failed, h.errorString());
    archive *a = h.get();
    archive_entry *e = nullptr;
    qint64 passed = 0;
    int r;
    for (int i = 0; (r = archive_read_next_header(a, &e)) == ARCHIVE_OK || r == ARCHIVE_WARN; ++i) {
        if (i < ordinal) {
            if (MemberPath::isPlainFile(e) && archive_entry_size_is_set(e) && passingUnpacks(a, kind))
                passed += archive_entry_size(e);
            if (passed > limits.passed)
                return refused(Status::TooLarge, QStringLiteral("the members before the page are too large"));
            continue;
        }
        if (!MemberPath::isPlainFile(e))
            return refused(Status::Failed, QStringLiteral("not a plain file"));
        if (archive_entry_is_data_encrypted(e))
            return refused(Status::Failed, QStringLiteral("encrypted"));
        const qint64 declared = archive_entry_size_is_set(e) ? archive_entry_size(e) : -1;
        if (declared > limits.member)
            return refused(Status::TooLarge, QStringLiteral("member larger than the limit"));
        QByteArray bytes;
        if (declared > 0)
            bytes.reserve(declared);
        // Read in pieces and counted: the size a header declares may be a lie.
        char piece[64 * 1024];
        la_ssize_t n;
        while ((n = archive_read_data(a, piece, sizeof piece)) > 0) {
            if (bytes.size() + n > limits.member)
                return refused(Status::TooLarge, QStringLiteral("member larger than the limit"));
            bytes.append(piece, n);
        }
        if (n < 0)
            return refused(Status::Failed, h.errorString());
        return {Status::Read, bytes, QString()};
    }
    return refused(r == ARCHIVE_EOF ? Status::Missing : Status::Failed, h.errorString());
}

} // namespace MemberBytes
