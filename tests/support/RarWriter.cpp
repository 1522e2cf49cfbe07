#include "RarWriter.h"
#include "archive/Crc32.h"

#include <QFile>

namespace {
quint32 crc32Of(const QByteArray &b)
{
    return Crc32::update(0, b.constData(), std::size_t(b.size()));
}

void le16(QByteArray &b, quint32 v)
{
    b.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}

void le32(QByteArray &b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}

void vint(QByteArray &b, quint64 v)
{
    do {
        quint8 byte = v & 0x7f;
        v >>= 7;
        if (v)
            byte |= 0x80;
        b.append(char(byte));
    } while (v);
}

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

// RAR 4: every block starts with HEAD_CRC (low 16 bits of the CRC32 of the rest of
// the header), HEAD_TYPE, HEAD_FLAGS and HEAD_SIZE.
QByteArray RarWriter::rar4() const
{
    auto block = [](quint8 type, quint16 flags, const QByteArray &rest) {
        QByteArray h;
        h.append(char(type));
        le16(h, flags);
        le16(h, quint32(7 + rest.size()));
        h += rest;
        QByteArray out;
        le16(out, crc32Of(h) & 0xffff);
        return out + h;
    };
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
        QByteArray h;
        le32(h, quint32(m.data.size())); // PACK_SIZE
        le32(h, quint32(m.data.size())); // UNP_SIZE
        h.append(char(3));               // HOST_OS: Unix
        le32(h, crc32Of(m.data));        // FILE_CRC
        le32(h, DosTime);
        h.append(char(20));   // UNP_VER 2.0
        h.append(char(0x30)); // METHOD: stored
        le16(h, quint32(m.name.size()));
        le32(h, m.folder ? FolderMode : FileMode);
        h += m.name;
        out += block(0x74, flags, h);
        out += m.data;
    }
    out += block(0x7b, 0x4000, QByteArray());
    return out;
}

// RAR 5: every header is CRC32, header size (vint), then the header itself, whose
// CRC covers the size field and the header.
QByteArray RarWriter::rar5() const
{
    auto header = [](const QByteArray &body) {
        QByteArray sized;
        vint(sized, quint64(body.size()));
        sized += body;
        QByteArray out;
        le32(out, crc32Of(sized));
        return out + sized;
    };
    QByteArray out("Rar!\x1a\x07\x01\x00", 8);
    if (m_headersEncrypted) {
        QByteArray crypt;
        vint(crypt, 4); // archive encryption header
        vint(crypt, 0);
        vint(crypt, 0); // encryption version
        vint(crypt, 0); // flags: no password check value
        crypt.append(char(15)).append(QByteArray(16, '\x33')); // KDF count, salt
        return out + header(crypt) + QByteArray(64, '\x5a');
    }
    QByteArray main;
    vint(main, 1); // main archive header
    vint(main, 0); // header flags
    quint64 archiveFlags = 0;
    if (m_volume)
        archiveFlags |= 0x0001;
    if (m_solid)
        archiveFlags |= 0x0004;
    vint(main, archiveFlags);
    out += header(main);
    bool first = true;
    for (const Member &m : m_members) {
        // An encrypted member carries an encryption record (AES-256, no check value) in its extra area.
        QByteArray extra;
        if (m.encrypted) {
            QByteArray record;
            vint(record, 1); // file encryption
            vint(record, 0); // version
            vint(record, 0); // flags
            record.append(char(15)).append(QByteArray(32, '\x44')); // KDF count, salt, IV
            vint(extra, quint64(record.size()));
            extra += record;
        }
        QByteArray h;
        vint(h, 2);                         // file header
        vint(h, extra.isEmpty() ? 0x2 : 0x3); // header flags: data area present (empty for a folder), extra area
        if (!extra.isEmpty())
            vint(h, quint64(extra.size()));
        vint(h, quint64(m.data.size()));
        vint(h, m.folder ? 0x1 : 0x4); // file flags: directory, or data CRC32 present
        vint(h, quint64(m.data.size()));
        vint(h, m.folder ? FolderMode : FileMode);
        if (!m.folder)
            le32(h, crc32Of(m.data));
        // Compression: version 0, stored; later members of a solid archive carry the solid bit.
        vint(h, m_solid && !first ? 0x40 : 0);
        first = false;
        vint(h, 1);                  // host OS: Unix
        vint(h, quint64(m.name.size()));
        h += m.name;
        h += extra;
        out += header(h);
        out += m.data;
    }
    QByteArray end;
    vint(end, 5); // end of archive
    vint(end, 0);
    vint(end, 0);
    out += header(end);
    return out;
}
