#include "archive/TmpZipWriter.h"
#include "archive/ExtractBudget.h"
#include "archive/MemberData.h"
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

bool TmpZipWriter::copyWritten(const QString &from, const QString &folder, const QString &leaf, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QByteArray dir = QFile::encodeName(folder);
    const QByteArray part = partName(dir);
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    const int out = ::open(part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (out < 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        ::close(in);
        return fail(why);
    }
    std::vector<char> buffer(64 * 1024);
    qint64 total = 0;
    ssize_t n = 0;
    bool ok = true;
    while (ok && (n = ::read(in, buffer.data(), buffer.size())) != 0) {
        if (n < 0) {
            ok = errno == EINTR;
            continue;
        }
        ok = writeAll(out, buffer.data(), size_t(n));
        total += n;
    }
    QString why = ok ? QString() : QString::fromLocal8Bit(std::strerror(errno));
    ::close(in);
    if (::close(out) != 0 && why.isEmpty())
        why = QString::fromLocal8Bit(std::strerror(errno));
    if (why.isEmpty() && ::rename(part.constData(), (dir + '/' + QFile::encodeName(leaf)).constData()) != 0)
        why = QString::fromLocal8Bit(std::strerror(errno));
    if (!why.isEmpty()) {
        ::unlink(part.constData());
        return fail(why);
    }
    ExtractBudget::noteWritten(folder, total);
    return true;
}

TmpZipWriter::Result TmpZipWriter::write(archive *reader, archive_entry *entry, const QString &folder,
                                         const QString &leaf, Existing existing, QString *error,
                                         bool *archiveBroken, std::optional<quint32> expectedCrc,
                                         const std::atomic<bool> *cancel)
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

    MemberData::Sink sink;
    sink.put = [&](const char *p, size_t n) {
        if (writeAll(fd, p, n))
            return true;
        sink.why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    };
    // A hole is left a hole: the file is extended over it, which writes nothing.
    sink.extendTo = [&](qint64 end) {
        if (::ftruncate(fd, off_t(end)) == 0 && ::lseek(fd, off_t(end), SEEK_SET) >= 0)
            return true;
        sink.why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    };
    const MemberData::Result data = MemberData::pump(reader, {limit, 0, 0, cancel}, expectedCrc.has_value(), sink);
    const qint64 total = data.size;
    // The folder's running count learns of every page, so the budget needs no scan.
    const auto written = [&] {
        ExtractBudget::noteWritten(folder, total);
        return Result::Written;
    };
    QString why = data.why;
    const bool broken = data.broken;
    if (why.isEmpty() && expectedCrc && data.crc != *expectedCrc)
        why = QStringLiteral("CRC error");
    const bool closed = ::close(fd) == 0;
    if (why.isEmpty() && !closed)
        why = QString::fromLocal8Bit(std::strerror(errno));
    if (!why.isEmpty()) {
        ::unlink(part.constData());
        if (data.cancelled)
            return Result::Cancelled;
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
