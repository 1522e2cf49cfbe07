#include "SolidArchiveWriter.h"
#include "RarWriter.h"
#include "ZipWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <archive.h>
#include <archive_entry.h>

namespace {
archive *openWriter(const QString &path, bool sevenZip)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    archive *a = archive_write_new();
    sevenZip ? archive_write_set_format_7zip(a) : archive_write_set_format_pax_restricted(a);
    if (archive_write_open_filename(a, QFile::encodeName(path).constData()) != ARCHIVE_OK) {
        archive_write_free(a);
        return nullptr;
    }
    return a;
}

bool close(archive *a, bool ok)
{
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}
} // namespace

bool SolidArchiveWriter::write(const QString &path, Format format,
                               const std::vector<std::pair<QString, QByteArray>> &files)
{
    archive *a = openWriter(path, format == Format::SevenZip);
    bool ok = a != nullptr;
    for (const auto &[name, data] : files) {
        if (!ok)
            break;
        archive_entry *e = archive_entry_new();
        archive_entry_set_pathname_utf8(e, name.toUtf8().constData());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, data.size());
        ok = archive_write_header(a, e) == ARCHIVE_OK &&
             archive_write_data(a, data.constData(), size_t(data.size())) == data.size();
        archive_entry_free(e);
    }
    return a && close(a, ok);
}

QByteArray SolidArchiveWriter::TarMember::bytes() const
{
    if (runs.empty())
        return data;
    QByteArray b(size, '\0');
    for (const auto &[offset, length] : runs)
        b.replace(offset, length, QByteArray(length, fill));
    return b;
}

bool SolidArchiveWriter::writeTar(const QString &path, const std::vector<TarMember> &members)
{
    archive *a = openWriter(path, false);
    bool ok = a != nullptr;
    for (const TarMember &m : members) {
        if (!ok)
            break;
        archive_entry *e = archive_entry_new();
        archive_entry_set_pathname_utf8(e, m.name.toUtf8().constData());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        if (!m.hardlink.isEmpty())
            archive_entry_set_hardlink_utf8(e, m.hardlink.toUtf8().constData());
        // The writer takes a sparse file's every byte and stores only its runs,
        // which must lie within the size.
        const QByteArray b = m.hardlink.isEmpty() ? m.bytes() : QByteArray();
        archive_entry_set_size(e, b.size());
        for (const auto &[offset, length] : m.runs)
            archive_entry_sparse_add_entry(e, offset, length);
        ok = archive_write_header(a, e) == ARCHIVE_OK &&
             (b.isEmpty() || archive_write_data(a, b.constData(), size_t(b.size())) == b.size());
        archive_entry_free(e);
    }
    return a && close(a, ok);
}

QString writeArchive(const QString &path, const std::vector<std::pair<QString, QByteArray>> &files)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString ext = QFileInfo(path).suffix().toLower();
    bool ok = true;
    if (ext == "cbz" || ext == "zip") {
        ZipWriter z(path);
        for (const auto &[name, data] : files)
            ok = z.addFile(name, data) && ok;
        ok = z.close() && ok;
    } else if (ext == "cbr" || ext == "rar") {
        RarWriter w(RarWriter::Version::Rar5);
        for (const auto &[name, data] : files)
            w.addFile(name, data);
        ok = w.write(path);
    } else {
        using F = SolidArchiveWriter::Format;
        ok = SolidArchiveWriter::write(path, ext == "cb7" || ext == "7z" ? F::SevenZip : F::Tar, files);
    }
    return ok ? path : QString();
}
