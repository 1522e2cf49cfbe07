#include "BenchArchives.h"

#include <QFile>
#include <archive.h>
#include <archive_entry.h>

void bareExtract(const QString &zipPath, const QByteArray &member, const QString &to)
{
    archive *a = archive_read_new();
    archive_read_support_format_zip(a);
    archive_entry *e = nullptr;
    if (archive_read_open_filename(a, QFile::encodeName(zipPath).constData(), 1 << 16) == ARCHIVE_OK) {
        while (archive_read_next_header(a, &e) == ARCHIVE_OK) {
            if (!member.isEmpty() && member != archive_entry_pathname(e))
                continue;
            QFile out(to);
            if (out.open(QIODevice::WriteOnly)) {
                const void *buf;
                size_t len;
                la_int64_t off;
                while (archive_read_data_block(a, &buf, &len, &off) == ARCHIVE_OK)
                    out.write(static_cast<const char *>(buf), qint64(len));
            }
            break;
        }
    }
    archive_read_free(a);
}
