#include "archive/Crc32.h"

#include <array>
#include <cstring>

namespace Crc32 {
namespace {
using Tables = std::array<std::array<quint32, 256>, 8>;

Tables makeTables()
{
    Tables t{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (quint32 i = 0; i < 256; ++i)
        for (int s = 1; s < 8; ++s)
            t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xff];
    return t;
}
} // namespace

quint32 update(quint32 crc, const char *data, std::size_t n)
{
    static const Tables t = makeTables();
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    quint32 c = ~crc;
    while (n >= 8) {
        quint32 lo, hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + 4, 4);
#if Q_BYTE_ORDER == Q_BIG_ENDIAN
        lo = qbswap(lo);
        hi = qbswap(hi);
#endif
        lo ^= c;
        c = t[7][lo & 0xff] ^ t[6][(lo >> 8) & 0xff] ^ t[5][(lo >> 16) & 0xff] ^ t[4][lo >> 24] ^
            t[3][hi & 0xff] ^ t[2][(hi >> 8) & 0xff] ^ t[1][(hi >> 16) & 0xff] ^ t[0][hi >> 24];
        p += 8;
        n -= 8;
    }
    while (n--)
        c = t[0][(c ^ *p++) & 0xff] ^ (c >> 8);
    return ~c;
}
} // namespace Crc32
