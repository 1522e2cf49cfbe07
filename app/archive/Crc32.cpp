#include "archive/Crc32.h"

#include <zlib.h>

quint32 Crc32::update(quint32 crc, const char *data, std::size_t n)
{
    return quint32(crc32_z(crc, reinterpret_cast<const Bytef *>(data), n));
}
