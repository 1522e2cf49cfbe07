#include "RarWriter.h"
#include "archive/Crc32.h"

#include <QFile>

namespace RarBytes {
QByteArray vint(quint64 v)
{
    QByteArray b;
    do {
        const quint8 byte = v & 0x7f;
        v >>= 7;
        b.append(char(v ? byte | 0x80 : byte));
    } while (v);
    return b;
}

QByteArray le(quint64 v, int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
    return b;
}

quint32 crc(const QByteArray &b)
{
    return Crc32::update(0, b.constData(), std::size_t(b.size()));
}

QByteArray rar5Header(const QByteArray &body)
{
    const QByteArray sized = vint(quint64(body.size())) + body;
    return le(crc(sized), 4) + sized;
}

QByteArray rar4Block(quint8 type, quint16 flags, const QByteArray &rest)
{
    const QByteArray h = le(type, 1) + le(flags, 2) + le(7 + rest.size(), 2) + rest;
    return le(crc(h) & 0xffff, 2) + h;
}
} // namespace RarBytes

using namespace RarBytes;

namespace {
bool isAscii(const QByteArray &b)
{
    for (char c : b)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

constexpr quint32 DosTime = (quint32(2020 - 1980) << 25) | (1u << 21) | (1u << 16);
constexpr quint32 FileMode = 0100644;
constexpr quint32 FolderMode = 040755;
} // namespace

void RarWriter::addFile(const QString &name, const QByteArray &data)
{
    const QByteArray utf8 = name.toUtf8();
    m_members.push_back({utf8, data, false, !isAscii(utf8)});
}

void RarWriter::addRawName(const QByteArray &rawName, const QByteArray &data)
{
    m_members.push_back({rawName, data, false, false});
}

void RarWriter::addEncryptedFile(const QString &name, const QByteArray &data)
{
    const QByteArray utf8 = name.toUtf8();
    m_members.push_back({utf8, data, false, !isAscii(utf8), true});
}

void RarWriter::addFolder(const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    m_members.push_back({utf8, {}, true, !isAscii(utf8)});
}

QByteArray RarWriter::bytes() const
{
    return m_version == Version::Rar4 ? rar4() : rar5();
}

bool RarWriter::write(const QString &path) const
{
    QFile f(path);
    const QByteArray b = bytes();
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

QByteArray RarWriter::rar4() const
{
    const auto block = rar4Block;
    QByteArray out("Rar!\x1a\x07\x00", 7);
    quint16 mainFlags = 0;
    if (m_volume)
        mainFlags |= 0x0001;
    if (m_solid)
        mainFlags |= 0x0008;
    if (m_headersEncrypted)
        mainFlags |= 0x0080;
    out += block(0x73, mainFlags, QByteArray(6, '\0'));
    if (m_headersEncrypted)
        return out + QByteArray(64, '\x5a');
    bool first = true;
    for (const Member &m : m_members) {
        quint16 flags = 0x8000; // LONG_BLOCK: PACK_SIZE follows
        if (m.folder)
            flags |= 0x00e0;
        if (m.unicode)
            flags |= 0x0200;
        if (m.encrypted)
            flags |= 0x0004;
        if (m_solid && !first)
            flags |= 0x0010;
        first = false;
        // PACK_SIZE, UNP_SIZE, HOST_OS Unix, FILE_CRC, time, UNP_VER 2.0, METHOD stored, NAME_SIZE, ATTR
        const QByteArray h = le(m.data.size(), 4) + le(m.data.size(), 4) + le(3, 1) + le(crc(m.data), 4) +
                             le(DosTime, 4) + le(20, 1) + le(0x30, 1) + le(m.name.size(), 2) +
                             le(m.folder ? FolderMode : FileMode, 4) + m.name;
        out += block(0x74, flags, h) + m.data;
    }
    return out + block(0x7b, 0x4000, QByteArray());
}

// RAR 5: every header is CRC32, header size (vint), then the header itself, whose
// CRC covers the size field and the header.
QByteArray RarWriter::rar5() const
{
    QByteArray out("Rar!\x1a\x07\x01\x00", 8);
    if (m_headersEncrypted) {
        // Archive encryption header: version 0, no password check value, KDF count, salt.
        const QByteArray crypt = vint(4) + vint(0) + vint(0) + vint(0) + le(15, 1) + QByteArray(16, '\x33');
        return out + rar5Header(crypt) + QByteArray(64, '\x5a');
    }
    quint64 archiveFlags = 0;
    if (m_volume)
        archiveFlags |= 0x0001;
    if (m_solid)
        archiveFlags |= 0x0004;
    out += rar5Header(vint(1) + vint(0) + vint(archiveFlags)); // main archive header
    bool first = true;
    for (const Member &m : m_members) {
        // An encrypted member carries an encryption record (AES-256, no check value) in its extra area.
        QByteArray extra;
        if (m.encrypted) {
            const QByteArray record = vint(1) + vint(0) + vint(0) + le(15, 1) + QByteArray(32, '\x44');
            extra = vint(quint64(record.size())) + record;
        }
        // File header; flags: data area present (empty for a folder), extra area.
        QByteArray h = vint(2) + vint(extra.isEmpty() ? 0x2 : 0x3);
        if (!extra.isEmpty())
            h += vint(quint64(extra.size()));
        h += vint(quint64(m.data.size()));
        h += vint(m.folder ? 0x1 : 0x4); // file flags: directory, or data CRC32 present
        h += vint(quint64(m.data.size())) + vint(m.folder ? FolderMode : FileMode);
        if (!m.folder)
            h += le(crc(m.data), 4);
        // Compression: version 0, stored; later members of a solid archive carry the solid bit.
        h += vint(m_solid && !first ? 0x40 : 0);
        first = false;
        h += vint(1) + vint(quint64(m.name.size())) + m.name + extra; // host OS Unix, name
        out += rar5Header(h) + m.data;
    }
    return out + rar5Header(vint(5) + vint(0) + vint(0)); // end of archive
}
