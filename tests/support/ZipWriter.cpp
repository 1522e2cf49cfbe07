#include "ZipWriter.h"

#include <QFile>
#include <QtEndian>
#include <archive.h>
#include <archive_entry.h>

ZipWriter::ZipWriter(const QString &path, const Settings &settings) : m_path(path), m_a(archive_write_new())
{
    archive_write_set_format_zip(m_a);
    // Options only take before opening. Level 1 keeps large test members quick.
    archive_write_set_options(m_a, "zip:compression-level=1");
    if (!settings.encryption.isEmpty()) {
        archive_write_set_options(m_a, ("zip:encryption=" + settings.encryption).constData());
        archive_write_set_passphrase(m_a, settings.password.constData());
    }
    m_ok = archive_write_open_filename(m_a, QFile::encodeName(path).constData()) == ARCHIVE_OK;
}

ZipWriter::~ZipWriter()
{
    if (!m_closed)
        close();
}

bool ZipWriter::addEntry(const QByteArray &nameUtf8, const QByteArray &data, bool store, int type,
                         const QByteArray &symlink, qint64 zeros)
{
    if (!m_ok)
        return false;
    if (store)
        archive_write_zip_set_compression_store(m_a);
    else
        archive_write_zip_set_compression_deflate(m_a);
    archive_entry *e = archive_entry_new();
    archive_entry_set_pathname_utf8(e, nameUtf8.constData());
    archive_entry_set_filetype(e, unsigned(type));
    archive_entry_set_perm(e, type == AE_IFDIR ? 0755 : 0644);
    archive_entry_set_mtime(e, 1600000000, 0);
    if (type == AE_IFLNK)
        archive_entry_set_symlink_utf8(e, symlink.constData());
    archive_entry_set_size(e, type == AE_IFREG ? data.size() + zeros : 0);
    bool good = archive_write_header(m_a, e) == ARCHIVE_OK;
    if (good && type == AE_IFREG && !data.isEmpty())
        good = archive_write_data(m_a, data.constData(), size_t(data.size())) == data.size();
    // Zeros are written a chunk at a time, never held whole.
    const QByteArray chunk(zeros > 0 ? 4 * 1024 * 1024 : 0, '\0');
    for (qint64 left = zeros; good && left > 0;) {
        const qint64 n = std::min<qint64>(left, chunk.size());
        good = archive_write_data(m_a, chunk.constData(), size_t(n)) == n;
        left -= n;
    }
    archive_entry_free(e);
    return good;
}

bool ZipWriter::addFile(const QString &name, const QByteArray &data, bool store)
{
    return addEntry(name.toUtf8(), data, store, AE_IFREG);
}

bool ZipWriter::addRawName(const QByteArray &rawName, const QByteArray &data, bool store)
{
    // An ASCII stand-in of the same length, replaced by the raw bytes once written.
    QByteArray placeholder = QByteArray::number(qulonglong(m_rawNames.size()), 36);
    if (rawName.size() < placeholder.size())
        return false;
    placeholder = QByteArray(rawName.size() - placeholder.size(), '_') + placeholder;
    m_rawNames.emplace_back(placeholder, rawName);
    return addEntry(placeholder, data, store, AE_IFREG);
}

bool ZipWriter::addFolder(const QString &name)
{
    return addEntry(name.toUtf8(), {}, true, AE_IFDIR);
}

bool ZipWriter::addSymlink(const QString &name, const QString &target)
{
    return addEntry(name.toUtf8(), {}, true, AE_IFLNK, target.toUtf8());
}

bool ZipWriter::addZeros(const QString &name, qint64 size, const QByteArray &lead)
{
    return addEntry(name.toUtf8(), lead, false, AE_IFREG, {}, size);
}

bool ZipWriter::close()
{
    if (m_closed)
        return m_ok;
    m_closed = true;
    const bool closed = archive_write_close(m_a) == ARCHIVE_OK;
    archive_write_free(m_a);
    m_a = nullptr;
    m_ok = m_ok && closed && patchRawNames();
    return m_ok;
}

namespace {
// Calls f(nameOffset, nameLength, centralOffset, localOffset) for every member.
template<typename F>
bool forEachMember(QByteArray &z, F f)
{
    const qsizetype eocd = z.lastIndexOf(QByteArrayLiteral("PK\x05\x06"));
    if (eocd < 0 || eocd + 22 > z.size())
        return false;
    const uchar *p = reinterpret_cast<const uchar *>(z.constData());
    const quint16 count = qFromLittleEndian<quint16>(p + eocd + 10);
    qsizetype pos = qFromLittleEndian<quint32>(p + eocd + 16);
    for (int i = 0; i < count; ++i) {
        if (pos + 46 > z.size() || z.mid(pos, 4) != QByteArrayLiteral("PK\x01\x02"))
            return false;
        const quint16 nameLen = qFromLittleEndian<quint16>(p + pos + 28);
        const quint16 extraLen = qFromLittleEndian<quint16>(p + pos + 30);
        const quint16 commentLen = qFromLittleEndian<quint16>(p + pos + 32);
        const qsizetype local = qFromLittleEndian<quint32>(p + pos + 42);
        f(pos, nameLen, local);
        pos += 46 + nameLen + extraLen + commentLen;
    }
    return true;
}
} // namespace

bool ZipWriter::patchRawNames()
{
    if (m_rawNames.empty())
        return true;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray z = file.readAll();
    const bool parsed = forEachMember(z, [&](qsizetype central, quint16 nameLen, qsizetype local) {
        const QByteArray name = z.mid(central + 46, nameLen);
        for (const auto &[placeholder, raw] : m_rawNames) {
            if (name == placeholder) {
                z.replace(central + 46, nameLen, raw);
                z.replace(local + 30, nameLen, raw);
            }
        }
    });
    file.seek(0);
    return parsed && file.write(z) == z.size();
}
