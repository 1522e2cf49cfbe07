#pragma once
#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

// The byte pieces of both formats, for tests that build a header by hand.
namespace RarBytes {
QByteArray vint(quint64 v);           // RAR 5 variable-length integer
QByteArray le(quint64 v, int bytes);  // little-endian, `bytes` wide
quint32 crc(const QByteArray &b);     // CRC32
// A RAR 5 header: the true CRC32 over its size field (vint) and `body`, then both.
QByteArray rar5Header(const QByteArray &body);
// A RAR 4 block: HEAD_CRC (low 16 bits of the CRC32 of the rest), HEAD_TYPE, HEAD_FLAGS, HEAD_SIZE, `rest`.
QByteArray rar4Block(quint8 type, quint16 flags, const QByteArray &rest);
} // namespace RarBytes

// Writes stored (uncompressed) RAR archives for tests, in the RAR 4 block format
// (marker, archive header, file headers with CRC16 header checksums and CRC32 of
// the data, method 0x30) or the RAR 5 format (signature, main header, file headers
// of vint fields with CRC32). No RAR tool is available to make test archives.
class RarWriter
{
public:
    enum class Version { Rar4, Rar5 };

    explicit RarWriter(Version version) : m_version(version) {}

    // Text names: ASCII as is; other names RAR 4 flags as Unicode and stores as
    // UTF-8, RAR 5 always stores UTF-8.
    void addFile(const QString &name, const QByteArray &data);
    // RAR 4 only: the name's bytes as they stand, no Unicode flag (old code pages).
    void addRawName(const QByteArray &rawName, const QByteArray &data);
    void addFolder(const QString &name);
    // A member marked as encrypted (its data stands for the ciphertext).
    void addEncryptedFile(const QString &name, const QByteArray &data);

    // Archive flags: a part of a multi-volume set, a solid archive.
    void setVolume(bool on) { m_volume = on; }
    void setSolid(bool on) { m_solid = on; }
    // Headers encrypted with a password: only the marker that says so is written.
    void setHeadersEncrypted(bool on) { m_headersEncrypted = on; }

    QByteArray bytes() const;
    bool write(const QString &path) const;

private:
    struct Member
    {
        QByteArray name;
        QByteArray data;
        bool folder = false;
        bool unicode = false;
        bool encrypted = false;
    };
    QByteArray rar4() const;
    QByteArray rar5() const;

    Version m_version;
    bool m_volume = false;
    bool m_solid = false;
    bool m_headersEncrypted = false;
    std::vector<Member> m_members;
};

// A stored RAR archive of `files` at `path`; returns the path.
inline QString makeRar(const QString &path, RarWriter::Version version,
                       const std::vector<std::pair<QString, QByteArray>> &files)
{
    RarWriter w(version);
    for (const auto &[name, data] : files)
        w.addFile(name, data);
    w.write(path);
    return path;
}
