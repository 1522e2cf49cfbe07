#include "archive/RarProbe.h"
#include "archive/Crc32.h"
#include "listing/ListingHost.h"

#include <QFile>
#include <QFileInfo>

namespace RarProbe {
namespace {
quint32 crc32Of(const char *p, qsizetype n)
{
    return Crc32::update(0, p, std::size_t(n));
}

quint32 le(const QByteArray &b, int pos, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= quint32(quint8(b[pos + i])) << (8 * i);
    return v;
}

bool readVint(const QByteArray &b, int &pos, quint64 &value)
{
    value = 0;
    for (int shift = 0; shift < 64 && pos < b.size(); shift += 7) {
        const quint8 byte = quint8(b[pos++]);
        value |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}
} // namespace

Issue check(const QString &path)
{
    // Only a regular file is opened: a pipe would block here.
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return Issue::None;
    // Flags are trusted only from a header whose checksum holds.
    const QByteArray b = f.read(256);
    static const QByteArray rar4("Rar!\x1a\x07\x00", 7);
    static const QByteArray rar5("Rar!\x1a\x07\x01\x00", 8);
    if (b.startsWith(rar5)) {
        int pos = 8 + 4; // header CRC32
        quint64 size, type, flags, skip, archiveFlags;
        // The size is compared unsigned with what was read: a huge one never wraps.
        if (b.size() < pos || !readVint(b, pos, size) || size == 0 || size > quint64(b.size() - pos) ||
            crc32Of(b.constData() + 12, pos - 12 + qsizetype(size)) != le(b, 8, 4))
            return Issue::None;
        if (!readVint(b, pos, type))
            return Issue::None;
        if (type == 4)
            return Issue::EncryptedHeaders;
        if (type != 1 || !readVint(b, pos, flags))
            return Issue::None;
        if ((flags & 1) && !readVint(b, pos, skip))
            return Issue::None;
        if ((flags & 2) && !readVint(b, pos, skip))
            return Issue::None;
        if (readVint(b, pos, archiveFlags) && (archiveFlags & 1))
            return Issue::MultiVolume;
        return Issue::None;
    }
    if (b.startsWith(rar4) && b.size() >= 20 && quint8(b[9]) == 0x73 && le(b, 12, 2) >= 7 &&
        7 + int(le(b, 12, 2)) <= b.size() && (crc32Of(b.constData() + 9, le(b, 12, 2) - 2) & 0xffff) == le(b, 7, 2)) {
        const quint16 flags = quint16(quint8(b[10]) | (quint8(b[11]) << 8));
        if (flags & 0x0080)
            return Issue::EncryptedHeaders;
        if (flags & 0x0001)
            return Issue::MultiVolume;
        if (flags & 0x0008)
            return Issue::SolidRar4;
    }
    return Issue::None;
}

QString message(Issue issue, const QString &path, const ListingTexts &texts)
{
    switch (issue) {
    case Issue::None:
        break;
    case Issue::MultiVolume:
        return texts.multiVolume.arg(path);
    case Issue::SolidRar4:
        return texts.solidRar4.arg(path);
    case Issue::EncryptedHeaders:
        return texts.encryptedHeaders.arg(path);
    }
    return QString();
}
} // namespace RarProbe
