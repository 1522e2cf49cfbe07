#pragma once
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// The data checksums of a RAR archive's stored members. libarchive checks what it
// decompresses but copies stored members without checking them, and comic
// archives are mostly stored (JPEG pages do not compress), so the reader checks
// those itself.
namespace RarChecksums {
struct Member
{
    qint64 unpackedSize = -1;
    std::optional<quint32> crc; // set only for a stored, unencrypted member with a checksum
    bool encrypted = false;     // libarchive does not flag every encrypted RAR 5 member
};

// One entry per file header, in archive order (the order libarchive yields the
// entries in). Empty when the archive does not start with a RAR signature or its
// layout is not understood.
std::vector<Member> read(const QString &path);
} // namespace RarChecksums
