#pragma once
#include <QString>
#include <atomic>
#include <optional>

struct archive;
struct archive_entry;

// Writes the member the reader stands on into TmpZip under one plain file name.
// The data goes to a temporary name first and is renamed only once it is complete
// and its checksum held, so a damaged, truncated or oversized member leaves no
// file behind. Nothing but plain files is ever written: links are skipped.
class TmpZipWriter
{
public:
    // Largest member written. A page is a few MiB at most; a member inflating
    // past this is damage or a decompression bomb.
    static constexpr qint64 MemberCap = qint64(512) * 1024 * 1024;

    enum class Existing { Keep, Replace };
    enum class Result {
        Written,
        Exists,  // Keep: a file of that name was already there and stays
        Skipped, // not a plain file, or no usable name
        Failed,  // data error, too large, or the folder is not writable
        Cancelled // `cancel` was set while the data was read; nothing was written
    };

    // `leaf` must come from MemberPath::safeLeaf or safeFlatName. `expectedCrc`, when given, is the
    // CRC-32 the data must have (for data the library copies unchecked). `error`
    // receives the reason of a failure; `archiveBroken` tells that the reader
    // cannot go on after it. `cancel`, when given, is polled between the blocks of
    // the data (it may be set from another thread).
    static Result write(archive *reader, archive_entry *entry, const QString &folder, const QString &leaf,
                        Existing existing, QString *error = nullptr, bool *archiveBroken = nullptr,
                        std::optional<quint32> expectedCrc = std::nullopt,
                        const std::atomic<bool> *cancel = nullptr);

    // Copies a file written here before (a member the archive names twice, by a
    // hard link) to `leaf` beside it, through a temporary name like a member.
    static bool copyWritten(const QString &from, const QString &folder, const QString &leaf,
                            QString *error = nullptr);

    // Test hook: a smaller cap keeps tests of the streaming limit small. 0 restores
    // MemberCap.
    static void setCapForTesting(qint64 bytes);
    static qint64 cap();
};
