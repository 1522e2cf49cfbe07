#include "archive/TmpZipWriter.h"
#include "archive/ExtractBudget.h"
#include "archive/Crc32.h"
#include "archive/MemberPath.h"

#include <QFile>
#include <archive.h>
#include <archive_entry.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
qint64 g_capOverride = 0;

bool writeAll(int fd, const char *p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        n -= size_t(w);
    }
    return true;
}

QByteArray partName(const QByteArray &folder)
{
    static std::atomic<unsigned> counter{0};
    return folder + "/.leafview-part-" + QByteArray::number(qint64(::getpid())) + '-' +
           QByteArray::number(counter.fetch_add(1));
}
} // namespace

void TmpZipWriter::setCapForTesting(qint64 bytes)
{
    g_capOverride = bytes;
}

qint64 TmpZipWriter::cap()
{
    return g_capOverride > 0 ? g_capOverride : MemberCap;
}

TmpZipWriter::Result TmpZipWriter::write(archive *reader, archive_entry *entry, const QString &folder,
                                         const QString &leaf, Existing existing, QString *error,
                                         bool *archiveBroken, std::optional<quint32> expectedCrc)
{
    auto fail = [&](const QString &why, bool broken = false) {
        if (error)
            *error = why;
        if (archiveBroken)
            *archiveBroken = broken;
        return Result::Failed;
    };
    if (archiveBroken)
        *archiveBroken = false;
    if (leaf.isEmpty() || !MemberPath::isPlainFile(entry))
        return Result::Skipped;
    const qint64 limit = cap();
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > limit)
        return fail(QStringLiteral("member larger than the extraction limit"));

    const QByteArray dir = QFile::encodeName(folder);
    const QByteArray target = dir + '/' + QFile::encodeName(leaf);
    struct stat st;
    if (existing == Existing::Keep && ::lstat(target.constData(), &st) == 0)
        return Result::Exists;

    const QByteArray part = partName(dir);
    const int fd = ::open(part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)) + QStringLiteral(": ") + folder);

    qint64 total = 0;
    // The folder's running count learns of every page, so the budget needs no scan.
    const auto written = [&] {
        ExtractBudget::noteWritten(folder, total);
        return Result::Written;
    };
    quint32 crc = 0;
    QString why;
    bool broken = false;
    static const std::vector<char> zeros(64 * 1024, '\0');
    // Blocks straight from the reader: no copy of the data on its way to the file.
    auto put = [&](const char *p, size_t n) {
        total += qint64(n);
        if (total > limit) {
            why = QStringLiteral("member larger than the extraction limit");
            return false;
        }
        if (expectedCrc)
            crc = Crc32::update(crc, p, n);
        if (!writeAll(fd, p, n)) {
            why = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        return true;
    };
    for (;;) {
        const void *block = nullptr;
        size_t n = 0;
        la_int64_t offset = 0;
        const int r = archive_read_data_block(reader, &block, &n, &offset);
        if (r == ARCHIVE_EOF)
            break;
        if (r < ARCHIVE_OK) {
            why = QString::fromUtf8(archive_error_string(reader));
            broken = r == ARCHIVE_FATAL;
            break;
        }
        // A gap before the block is a run of zeros (sparse data).
        bool ok = offset >= total;
        while (ok && offset > total)
            ok = put(zeros.data(), size_t(std::min<qint64>(offset - total, qint64(zeros.size()))));
        if (ok && n > 0)
            ok = put(static_cast<const char *>(block), n);
        if (!ok) {
            if (why.isEmpty())
                why = QStringLiteral("data out of order");
            break;
        }
    }
    if (why.isEmpty() && expectedCrc && crc != *expectedCrc)
        why = QStringLiteral("CRC error");
    const bool closed = ::close(fd) == 0;
    if (why.isEmpty() && !closed)
        why = QString::fromLocal8Bit(std::strerror(errno));
    if (!why.isEmpty()) {
        ::unlink(part.constData());
        return fail(why, broken);
    }

    if (existing == Existing::Replace) {
        if (::rename(part.constData(), target.constData()) != 0) {
            why = QString::fromLocal8Bit(std::strerror(errno));
            ::unlink(part.constData());
            return fail(why);
        }
        return written();
    }
    // link() refuses an existing name atomically: a file that appeared meanwhile stays.
    if (::link(part.constData(), target.constData()) == 0) {
        ::unlink(part.constData());
        return written();
    }
    const int linkErr = errno;
    if (linkErr == EEXIST) {
        ::unlink(part.constData());
        return Result::Exists;
    }
    // File systems without hard links: check, then rename.
    if (::lstat(target.constData(), &st) == 0) {
        ::unlink(part.constData());
        return Result::Exists;
    }
    if (::rename(part.constData(), target.constData()) != 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        ::unlink(part.constData());
        return fail(why);
    }
    return written();
}
