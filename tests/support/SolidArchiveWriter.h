#pragma once
#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

// Writes 7z (solid, as libarchive writes it by default) and tar archives for tests.
namespace SolidArchiveWriter {
enum class Format { SevenZip, Tar };
// Parent folders are made; false when the archive could not be written whole.
bool write(const QString &path, Format format, const std::vector<std::pair<QString, QByteArray>> &files);

// A tar member beyond plain bytes: a hard link to another member's name, or a
// sparse file of `size` bytes whose `runs` (offset, length) hold data, filled
// with `fill`; the rest are holes and reads as zeros.
struct TarMember
{
    QString name;
    QByteArray data;
    QString hardlink;
    qint64 size = 0;
    std::vector<std::pair<qint64, qint64>> runs;
    char fill = 'x';
    // The member's bytes as a reader sees them.
    QByteArray bytes() const;
};
bool writeTar(const QString &path, const std::vector<TarMember> &members);
} // namespace SolidArchiveWriter

// An archive of `files` of the kind its name gives: ZIP (.cbz, .zip), stored RAR 5
// (.cbr, .rar), 7z (.cb7, .7z), else tar; parent folders are made. Returns `path`,
// or empty text when it could not be written whole.
QString writeArchive(const QString &path, const std::vector<std::pair<QString, QByteArray>> &files);
