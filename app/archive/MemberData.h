#pragma once
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <functional>
#include <optional>

struct archive;

// Reads the data of the member a libarchive reader stands on, in order, counted
// against limits, for whatever keeps it (a file in TmpZip, or memory). Sparse data
// comes as blocks with holes between them: a hole is handed over as a new end, the
// bytes in it being zeros.
namespace MemberData {
struct Limits
{
    qint64 maxBytes = 0; // the member may not grow past this
    // Past `ratioFloor` bytes, the member may not hold more than `maxRatio` bytes for
    // each byte read from the archive file for it (0: no such limit).
    qint64 maxRatio = 0;
    qint64 ratioFloor = 0;
    const std::atomic<bool> *cancel = nullptr; // polled between blocks
};

struct Sink
{
    std::function<bool(const char *data, size_t size)> put; // false: stop, `why` set
    std::function<bool(qint64 end)> extendTo;              // zeros up to `end`
    QString why;
};

struct Result
{
    qint64 size = 0;
    quint32 crc = 0;         // of all the data, zeros of holes included
    QString why;             // empty when the data came whole
    bool broken = false;     // the reader cannot go on past this member
    bool cancelled = false;
};

// `crc`: compute the data's CRC-32 (it costs a pass over the data).
Result pump(archive *reader, const Limits &limits, bool crc, Sink &sink);
} // namespace MemberData
