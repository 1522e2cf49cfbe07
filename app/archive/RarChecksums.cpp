#include "archive/RarChecksums.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

namespace RarChecksums {
namespace {
quint64 le(const QByteArray &b, qsizetype pos, int bytes)
{
    quint64 v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= quint64(quint8(b[pos + i])) << (8 * i);
    return v;
}

bool vint(const QByteArray &b, qsizetype &pos, quint64 &value, qsizetype end)
{
    value = 0;
    for (int shift = 0; shift < 64 && pos < end; shift += 7) {
        const quint8 byte = quint8(b[pos++]);
        value |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

constexpr int MaxHeaders = 100000;

// Every size the archive declares is unsigned and must fit in what is left of the
// file; anything else ends the walk with what was read so far.
bool fits(quint64 size, qint64 from, qint64 fileSize)
{
    return from <= fileSize && size <= quint64(fileSize - from);
}

std::vector<Member> readRar4(QFile &f)
{
    std::vector<Member> out;
    const qint64 fileSize = f.size();
    qint64 pos = 7;
    for (int guard = 0; guard < MaxHeaders; ++guard) {
        if (!f.seek(pos))
            return out;
        const QByteArray head = f.read(7);
        if (head.size() < 7)
            return out;
        const quint8 type = quint8(head[2]);
        const quint16 flags = quint16(le(head, 3, 2));
        const quint16 size = quint16(le(head, 5, 2));
        if (size < 7 || type == 0x7b)
            return out;
        quint64 dataSize = 0;
        if (type == 0x74) {
            if (!f.seek(pos))
                return {};
            const QByteArray h = f.read(size);
            if (h.size() < 32)
                return {};
            dataSize = le(h, 7, 4);
            quint64 unpacked = le(h, 11, 4);
            if ((flags & 0x0100) && h.size() >= 40) {
                dataSize |= le(h, 32, 4) << 32;
                unpacked |= le(h, 36, 4) << 32;
            }
            Member m;
            m.unpackedSize = unpacked > quint64(std::numeric_limits<qint64>::max()) ? -1 : qint64(unpacked);
            const bool stored = quint8(h[25]) == 0x30;
            const bool encrypted = flags & 0x0004;
            m.encrypted = encrypted;
            const bool split = flags & 0x0003;
            const bool folder = (flags & 0x00e0) == 0x00e0;
            if (stored && !encrypted && !split && !folder)
                m.crc = quint32(le(h, 16, 4));
            out.push_back(m);
        } else if (flags & 0x8000) {
            if (!f.seek(pos + 7))
                return {};
            const QByteArray add = f.read(4);
            if (add.size() < 4)
                return {};
            dataSize = le(add, 0, 4);
        }
        if (!fits(dataSize, pos + size, fileSize))
            return out;
        pos += size + qint64(dataSize);
    }
    return {};
}

std::vector<Member> readRar5(QFile &f)
{
    std::vector<Member> out;
    const qint64 fileSize = f.size();
    qint64 pos = 8;
    for (int guard = 0; guard < MaxHeaders; ++guard) {
        if (!f.seek(pos))
            return out;
        QByteArray start = f.read(4 + 3);
        if (start.size() < 5)
            return out;
        qsizetype p = 4;
        quint64 size;
        if (!vint(start, p, size, start.size()) || size == 0 || size > 2 * 1024 * 1024)
            return {};
        const qint64 headerStart = pos + p;
        if (!f.seek(headerStart))
            return {};
        const QByteArray h = f.read(qint64(size));
        if (h.size() != qsizetype(size))
            return {};
        qsizetype q = 0;
        const qsizetype end = h.size();
        quint64 type, flags, extraSize = 0, dataSize = 0;
        if (!vint(h, q, type, end) || !vint(h, q, flags, end))
            return {};
        if ((flags & 1) && !vint(h, q, extraSize, end))
            return {};
        if ((flags & 2) && !vint(h, q, dataSize, end))
            return {};
        if (type == 5)
            return out;
        if (type == 2) {
            quint64 fileFlags, unpacked, attributes, compression;
            if (!vint(h, q, fileFlags, end) || !vint(h, q, unpacked, end) || !vint(h, q, attributes, end))
                return {};
            if (fileFlags & 2)
                q += 4; // modification time
            std::optional<quint32> crc;
            if (fileFlags & 4) {
                if (q + 4 > end)
                    return {};
                crc = quint32(le(h, q, 4));
                q += 4;
            }
            if (!vint(h, q, compression, end))
                return {};
            // An encryption record in the extra area means the data is not the member.
            bool encrypted = false;
            if (extraSize > 0 && extraSize <= quint64(end)) {
                qsizetype r = end - qsizetype(extraSize);
                while (r < end) {
                    quint64 recSize, recType;
                    const qsizetype recStart = r;
                    if (!vint(h, r, recSize, end))
                        break;
                    const qsizetype body = r;
                    if (!vint(h, r, recType, end) || recSize > quint64(end - body))
                        break;
                    if (recType == 1)
                        encrypted = true;
                    r = body + qsizetype(recSize);
                    if (r <= recStart)
                        break;
                }
            }
            Member m;
            m.unpackedSize = unpacked > quint64(std::numeric_limits<qint64>::max()) ? -1 : qint64(unpacked);
            m.encrypted = encrypted;
            const bool stored = ((compression >> 7) & 7) == 0;
            const bool split = flags & 0x18;
            if (stored && !encrypted && !split && !(fileFlags & 1))
                m.crc = crc;
            out.push_back(m);
        }
        if (!fits(dataSize, headerStart + qint64(size), fileSize))
            return out;
        pos = headerStart + qint64(size) + qint64(dataSize);
    }
    return {};
}
} // namespace

std::vector<Member> read(const QString &path)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray sig = f.read(8);
    if (sig.startsWith(QByteArray("Rar!\x1a\x07\x01\x00", 8)))
        return readRar5(f);
    if (sig.startsWith(QByteArray("Rar!\x1a\x07\x00", 7)))
        return readRar4(f);
    return {};
}
} // namespace RarChecksums
