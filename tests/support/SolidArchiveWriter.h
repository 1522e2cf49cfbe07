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
} // namespace SolidArchiveWriter
