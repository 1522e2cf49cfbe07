#include "archive/ZipIndex.h"
#include "archive/ArchiveHandle.h"
#include "archive/MemberPath.h"
#include "platform/LegacyCodePage.h"

#include <QFile>
#include <archive_entry.h>
#include <sys/stat.h>

#include <algorithm>
#include <utility>

namespace {

constexpr quint32 kCentralHeader = 0x02014b50;
constexpr quint32 kEnd = 0x06054b50;
constexpr quint32 kEnd64Locator = 0x07064b50;
constexpr quint32 kEnd64 = 0x06064b50;
constexpr int kEndSize = 22;
constexpr int kCentralSize = 46;
// A directory larger than this is not a book's; such an archive is walked.
constexpr qint64 kMaxDirectory = qint64(64) << 20;
// Data descriptor after the data (the sizes are not in the local header).
constexpr quint16 kLengthAtEnd = 0x0008;
constexpr quint16 kUtf8Name = 0x0800;
constexpr quint16 kEncrypted = 0x0001;
constexpr quint16 kStored = 0;
constexpr quint32 kLocalHeader = 0x04034b50;
constexpr int kLocalSize = 30;

quint16 u16(const char *p)
{
    const auto *b = reinterpret_cast<const uchar *>(p);
    return quint16(b[0] | b[1] << 8);
}

quint32 u32(const char *p)
{
    return quint32(u16(p)) | quint32(u16(p + 2)) << 16;
}

quint64 u64(const char *p)
{
    return quint64(u32(p)) | quint64(u32(p + 4)) << 32;
}

// The zip64 field that stands for the central header's 32-bit offset; -1 when absent.
qint64 zip64Offset(const char *extra, int len, quint32 usize, quint32 csize)
{
    for (int i = 0; i + 4 <= len;) {
        const quint16 id = u16(extra + i), n = u16(extra + i + 2);
        const int body = i + 4;
        if (body + n > len)
            break;
        if (id == 0x0001) {
            int at = body;
            if (usize == 0xFFFFFFFFu)
                at += 8;
            if (csize == 0xFFFFFFFFu)
                at += 8;
            if (at + 8 <= body + n)
                return qint64(u64(extra + at));
            return -1;
        }
        i = body + n;
    }
    return -1;
}

// The name the Info-ZIP Unicode path field gives, as the library reads it; empty when none.
QByteArray unicodePath(const char *extra, int len)
{
    for (int i = 0; i + 4 <= len;) {
        const quint16 id = u16(extra + i), n = u16(extra + i + 2);
        const int body = i + 4;
        if (body + n > len)
            break;
        if (id == 0x7075 && n > 5 && extra[body] == 1)
            return QByteArray(extra + body + 5, n - 5);
        i = body + n;
    }
    return {};
}

} // namespace

ZipIndex::ZipIndex(const QString &path) : m_path(path), m_identity(identify(path))
{
    if (!read())
        m_members.clear();
}

ZipIndex::Identity ZipIndex::identify(const QString &path)
{
    struct stat st;
    // Only a regular file is read: a pipe named like an archive would never end.
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, qint64(st.st_ino)};
}

bool ZipIndex::current() const
{
    return m_identity.size >= 0 && identify(m_path) == m_identity;
}

const ZipIndex::Member *ZipIndex::find(const QString &memberPath) const
{
    const auto it = m_members.constFind(MemberPath::comparable(memberPath));
    return it == m_members.constEnd() ? nullptr : &it.value();
}

bool ZipIndex::read()
{
    QFile f(m_path);
    const qint64 fileSize = m_identity.size;
    if (fileSize < kEndSize || !f.open(QIODevice::ReadOnly))
        return false;
    // The end record lies within the last 64 KiB and its own 22 bytes.
    const qint64 tailStart = qMax<qint64>(0, fileSize - (kEndSize + 65535));
    if (!f.seek(tailStart))
        return false;
    const QByteArray tail = f.read(fileSize - tailStart);
    qsizetype at = tail.size() - kEndSize;
    while (at >= 0 && u32(tail.constData() + at) != kEnd)
        --at;
    if (at < 0)
        return false;
    const char *end = tail.constData() + at;
    const qint64 endPos = tailStart + at;
    quint64 count = u16(end + 10);
    quint64 dirSize = u32(end + 12);
    quint64 dirOffset = u32(end + 16);
    qint64 dirEnd = endPos; // where the directory ends in the file
    if (count == 0xFFFF || dirSize == 0xFFFFFFFFu || dirOffset == 0xFFFFFFFFu) {
        if (at < 20 || u32(end - 20) != kEnd64Locator)
            return false;
        const quint64 end64Pos = u64(end - 20 + 8);
        if (end64Pos >= quint64(endPos) || !f.seek(qint64(end64Pos)))
            return false;
        const QByteArray e64 = f.read(56);
        if (e64.size() < 56 || u32(e64.constData()) != kEnd64)
            return false;
        count = u64(e64.constData() + 32);
        dirSize = u64(e64.constData() + 40);
        dirOffset = u64(e64.constData() + 48);
        dirEnd = qint64(end64Pos);
    }
    if (dirSize > quint64(dirEnd) || qint64(dirSize) > kMaxDirectory || count > dirSize / kCentralSize)
        return false;
    // Data put before the archive (a self-extracting stub) moves every offset alike.
    const qint64 shift = dirEnd - qint64(dirSize) - qint64(qMin<quint64>(dirOffset, quint64(dirEnd)));
    if (!f.seek(dirEnd - qint64(dirSize)))
        return false;
    const QByteArray dir = f.read(qint64(dirSize));
    if (dir.size() != qsizetype(dirSize))
        return false;
    m_members.reserve(qsizetype(count));
    qsizetype p = 0;
    for (quint64 i = 0; i < count; ++i) {
        if (p + kCentralSize > dir.size() || u32(dir.constData() + p) != kCentralHeader)
            return false;
        const char *h = dir.constData() + p;
        const quint16 flags = u16(h + 8), method = u16(h + 10);
        const quint32 crc = u32(h + 16), csize = u32(h + 20), usize = u32(h + 24);
        const int nameLen = u16(h + 28), extraLen = u16(h + 30), commentLen = u16(h + 32);
        quint32 offset32 = u32(h + 42);
        if (p + kCentralSize + nameLen + extraLen + commentLen > dir.size())
            return false;
        const char *extra = h + kCentralSize + nameLen;
        qint64 offset = offset32;
        if (offset32 == 0xFFFFFFFFu && (offset = zip64Offset(extra, extraLen, usize, csize)) < 0)
            return false;
        offset += shift;
        // Unix modes in the upper half of the external attributes, else the DOS
        // folder bit: what the library makes of the member's kind.
        const quint8 system = quint8(h[5]);
        const quint32 external = u32(h + 38);
        const quint32 mode = external >> 16;
        const bool unixMode = (system == 3 || system == 19) && mode != 0;
        const bool plainFile = !(nameLen > 0 && h[kCentralSize + nameLen - 1] == '/') &&
                               (unixMode ? (mode & S_IFMT) == S_IFREG || (mode & S_IFMT) == 0 : !(external & 0x10));
        if (offset < 0 || offset >= fileSize)
            return false;
        QByteArray raw = unicodePath(extra, extraLen);
        const bool utf8 = !raw.isEmpty() || (flags & kUtf8Name);
        if (raw.isEmpty())
            raw = QByteArray(h + kCentralSize, nameLen);
        const QString key = MemberPath::comparable(LegacyCodePage::decodeName(raw, utf8));
        auto it = m_members.find(key);
        if (it == m_members.end())
            m_members.insert(key, {offset, flags, method, false, plainFile, crc, csize, usize});
        else if (offset < it->offset)
            *it = {offset, flags, method, true, plainFile, crc, csize, usize};
        else
            it->repeated = true;
        p += kCentralSize + nameLen + extraLen + commentLen;
    }
    return true;
}

// ---------------------------------------------------------------- one member

struct ZipMemberStream::Source
{
    QFile file;
    QByteArray buffer = QByteArray(64 * 1024, Qt::Uninitialized);
    // Served before the file: a local header with its sizes filled in.
    QByteArray header;
    // What is left of the file to serve after the header; -1 for all of it.
    qint64 remaining = -1;

    static la_ssize_t read(archive *, void *self, const void **data)
    {
        auto *s = static_cast<Source *>(self);
        if (!s->header.isEmpty()) {
            s->buffer = std::exchange(s->header, QByteArray());
            *data = s->buffer.constData();
            return la_ssize_t(s->buffer.size());
        }
        if (s->buffer.size() < 64 * 1024)
            s->buffer = QByteArray(64 * 1024, Qt::Uninitialized);
        const qint64 want = s->remaining < 0 ? s->buffer.size() : std::min<qint64>(s->buffer.size(), s->remaining);
        const qint64 n = want > 0 ? s->file.read(s->buffer.data(), want) : 0;
        if (n > 0 && s->remaining > 0)
            s->remaining -= n;
        *data = s->buffer.constData();
        return n < 0 ? -1 : la_ssize_t(n);
    }

    // Stored data whose sizes follow it: the directory's sizes and checksum are
    // written into its local header, and the data ends where the directory says,
    // so the reader takes exactly that member and still checks its checksum.
    bool fillInSizes(const ZipIndex::Member &m)
    {
        QByteArray local = file.read(kLocalSize);
        if (local.size() != kLocalSize || u32(local.constData()) != kLocalHeader)
            return false;
        const int more = u16(local.constData() + 26) + u16(local.constData() + 28);
        const QByteArray nameAndExtra = file.read(more);
        if (nameAndExtra.size() != more)
            return false;
        auto put32 = [&](int at, quint32 v) {
            for (int i = 0; i < 4; ++i)
                local[at + i] = char((v >> (8 * i)) & 0xFF);
        };
        const quint16 flags = u16(local.constData() + 6) & ~kLengthAtEnd;
        local[6] = char(flags & 0xFF);
        local[7] = char(flags >> 8);
        put32(14, m.crc);
        put32(18, m.compressedSize);
        put32(22, m.size);
        header = local + nameAndExtra;
        remaining = m.compressedSize;
        return true;
    }
};

ZipMemberStream::ZipMemberStream(const ZipIndex &index, const QString &memberPath, const QString &password)
{
    const ZipIndex::Member *m = index.find(memberPath);
    // A link or folder looks like a file from its local header alone: those are
    // walked to. So is stored data whose length comes only after it when the
    // directory cannot stand in for its sizes (zip64, or encrypted data, whose
    // check byte depends on where the sizes are).
    if (!m || !m->plainFile)
        return;
    const bool sizesAfter = (m->flags & kLengthAtEnd) && m->method == kStored;
    if (sizesAfter && ((m->flags & kEncrypted) || m->compressedSize != m->size || m->size == 0xFFFFFFFFu))
        return;
    m_repeated = m->repeated;
    m_source = std::make_unique<Source>();
    m_source->file.setFileName(index.path());
    if (!m_source->file.open(QIODevice::ReadOnly) || !m_source->file.seek(m->offset))
        return;
    if (sizesAfter && !m_source->fillInSizes(*m))
        return;
    m_handle = std::make_unique<ArchiveHandle>(ArchiveHandle::Kind::ZipStream);
    if (!m_handle->allocated())
        return;
    if (!password.isEmpty())
        archive_read_add_passphrase(m_handle->get(), password.toUtf8().constData());
    if (archive_read_open(m_handle->get(), m_source.get(), nullptr, &Source::read, nullptr) != ARCHIVE_OK)
        return;
    archive_entry *e = nullptr;
    const int r = archive_read_next_header(m_handle->get(), &e);
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN)
        return;
    // The local header must name the member the directory promised.
    m_name = MemberPath::decodedName(e);
    if (MemberPath::comparable(m_name) == MemberPath::comparable(memberPath))
        m_entry = e;
}

ZipMemberStream::~ZipMemberStream()
{
    // The reader goes before the file it reads.
    m_handle.reset();
}

archive *ZipMemberStream::reader() const
{
    return m_handle ? m_handle->get() : nullptr;
}
