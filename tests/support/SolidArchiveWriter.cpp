#include "SolidArchiveWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <archive.h>
#include <archive_entry.h>

bool SolidArchiveWriter::write(const QString &path, Format format,
                               const std::vector<std::pair<QString, QByteArray>> &files)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    archive *a = archive_write_new();
    format == Format::SevenZip ? archive_write_set_format_7zip(a) : archive_write_set_format_pax_restricted(a);
    bool ok = archive_write_open_filename(a, QFile::encodeName(path).constData()) == ARCHIVE_OK;
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
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}
