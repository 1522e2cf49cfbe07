#include "archive/MemberData.h"
#include "archive/Crc32.h"

#include <archive.h>
#include <vector>

MemberData::Result MemberData::pump(archive *reader, const Limits &limits, bool crc, Sink &sink)
{
    Result out;
    // The bytes of the archive file read so far: their growth is what the member's
    // data cost, for the ratio.
    const la_int64_t rawStart = archive_filter_bytes(reader, -1);
    const auto tooLarge = [&] {
        out.why = QStringLiteral("member larger than the extraction limit");
        return false;
    };
    const auto withinRatio = [&] {
        if (limits.maxRatio <= 0 || out.size <= limits.ratioFloor)
            return true;
        const qint64 raw = qMax<qint64>(archive_filter_bytes(reader, -1) - rawStart, 1);
        if (out.size / raw <= limits.maxRatio)
            return true;
        out.why = QStringLiteral("member inflates past the compression ratio limit");
        return false;
    };
    const auto put = [&](const char *p, size_t n) {
        out.size += qint64(n);
        if (out.size > limits.maxBytes)
            return tooLarge();
        if (crc)
            out.crc = Crc32::update(out.crc, p, n);
        if (!sink.put(p, n)) {
            out.why = sink.why;
            return false;
        }
        return withinRatio();
    };
    const auto hole = [&](qint64 end) {
        if (end > limits.maxBytes)
            return tooLarge();
        if (crc) {
            static const std::vector<char> zeros(64 * 1024, '\0');
            for (qint64 at = out.size; at < end; at += qint64(zeros.size()))
                out.crc = Crc32::update(out.crc, zeros.data(), size_t(std::min<qint64>(end - at, qint64(zeros.size()))));
        }
        out.size = end;
        if (!sink.extendTo(end)) {
            out.why = sink.why;
            return false;
        }
        return withinRatio();
    };
    for (;;) {
        if (limits.cancel && limits.cancel->load(std::memory_order_relaxed)) {
            out.cancelled = true;
            out.why = QStringLiteral("cancelled");
            break;
        }
        const void *block = nullptr;
        size_t n = 0;
        la_int64_t offset = 0;
        const int r = archive_read_data_block(reader, &block, &n, &offset);
        if (r == ARCHIVE_EOF) {
            // A member ending in a hole ends past its last block; the reader gives
            // the member's end with its end of data.
            if (offset > out.size)
                hole(offset);
            break;
        }
        if (r < ARCHIVE_OK) {
            out.why = QString::fromUtf8(archive_error_string(reader));
            out.broken = r == ARCHIVE_FATAL;
            break;
        }
        bool ok = offset >= out.size;
        if (ok && offset > out.size)
            ok = hole(offset);
        if (ok && n > 0)
            ok = put(static_cast<const char *>(block), n);
        if (!ok) {
            if (out.why.isEmpty())
                out.why = QStringLiteral("data out of order");
            break;
        }
    }
    return out;
}
