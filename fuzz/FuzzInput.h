#pragma once
// What every fuzz target needs: an application object for Qt's plugins and a
// private scratch folder into which each input is written as a file, since the
// readers and the decoder all take paths.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace FuzzInput {

inline QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

inline void start(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    qputenv("QT_LOGGING_RULES", "*=false");
    (void)scratch();
}

// Writes the input under `name` in the scratch folder and returns its path.
inline QString write(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = scratch().path() + QLatin1Char('/') + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}

// The input under the names of the one-pass reader's kinds (RAR, 7z, tar), whose
// kind follows the file's extension: `path` itself is read as RAR.
inline QStringList oneReaderKinds(const QString &path, const uint8_t *data, size_t size)
{
    return {path, write(QStringLiteral("book.cb7"), data, size), write(QStringLiteral("book.cbt"), data, size)};
}

} // namespace FuzzInput
