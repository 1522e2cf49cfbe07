#pragma once
#include <QtGlobal>
#include <cstddef>

// CRC-32 (the ZIP and RAR checksum), computed by zlib.
namespace Crc32 {
// Continues `crc` (0 to start) over n bytes.
quint32 update(quint32 crc, const char *data, std::size_t n);
} // namespace Crc32
