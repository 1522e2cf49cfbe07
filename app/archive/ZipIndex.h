#pragma once
#include <QHash>
#include <QString>

#include <memory>

struct archive;
struct archive_entry;
class ArchiveHandle;

// Where each member of one ZIP archive starts, read once from its central
// directory. A member is then read by seeking to its local header, so reading one
// page costs the same in an archive of a hundred members and of ten thousand.
class ZipIndex
{
public:
    struct Member
    {
        qint64 offset = 0; // of the local header
        quint16 flags = 0;
        quint16 method = 0;
        bool repeated = false; // another member has the same path
        // What the directory says the member is: a link or a folder is told only
        // there, never in the local header.
        bool plainFile = true;
        // The directory's checksum and sizes: the only place they stand for data
        // whose local header leaves them to a descriptor after it.
        quint32 crc = 0, compressedSize = 0, size = 0;
    };

    // Reads the central directory of `path`. An archive it cannot make sense of
    // gives an empty index, and its members are then found the long way.
    explicit ZipIndex(const QString &path);

    QString path() const { return m_path; }
    // Still the file it was read from (same size, time and inode).
    bool current() const;
    // The member with this path ("\" and "/" alike), the first in the archive when
    // several share it; null when none.
    const Member *find(const QString &memberPath) const;
    int size() const { return int(m_members.size()); }

private:
    struct Identity
    {
        qint64 size = -1, mtimeNs = 0, inode = 0;
        bool operator==(const Identity &) const = default;
    };
    static Identity identify(const QString &path);
    bool read();

    QString m_path;
    Identity m_identity;
    QHash<QString, Member> m_members;
};

// A streaming reader standing on one member's local header. entry() is null when
// the member cannot be reached this way (the caller then walks the archive).
class ZipMemberStream
{
public:
    ZipMemberStream(const ZipIndex &index, const QString &memberPath, const QString &password);
    ~ZipMemberStream();
    ZipMemberStream(const ZipMemberStream &) = delete;
    ZipMemberStream &operator=(const ZipMemberStream &) = delete;

    archive *reader() const;
    archive_entry *entry() const { return m_entry; }
    // The path the local header gives the member.
    QString name() const { return m_name; }
    bool repeated() const { return m_repeated; }

private:
    struct Source;
    std::unique_ptr<Source> m_source;
    std::unique_ptr<ArchiveHandle> m_handle;
    archive_entry *m_entry = nullptr;
    QString m_name;
    bool m_repeated = false;
};
