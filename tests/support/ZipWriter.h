#pragma once
#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

struct archive;

// Writes ZIP archives for tests through libarchive's writer. Names given as text
// are written as UTF-8 (flagged when not ASCII); raw names are written byte for
// byte without the UTF-8 flag, as old Korean and Japanese tools did.
class ZipWriter
{
public:
    struct Settings
    {
        QByteArray encryption; // "", "zipcrypt", "aes128", "aes256"
        QByteArray password;
    };

    explicit ZipWriter(const QString &path, const Settings &settings = {});
    ~ZipWriter(); // closes when close() was not called
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    bool ok() const { return m_ok; }
    bool addFile(const QString &name, const QByteArray &data, bool store = false);
    bool addRawName(const QByteArray &rawName, const QByteArray &data, bool store = false);
    bool addFolder(const QString &name); // name ends in "/"
    bool addSymlink(const QString &name, const QString &target);
    // `lead` and then `size` zero bytes, deflated as they are produced (the zeros
    // never held in memory).
    bool addZeros(const QString &name, qint64 size, const QByteArray &lead = {});
    // Writes the central directory and puts the raw names in place.
    bool close();

private:
    // A regular member's data is `data` followed by `zeros` zero bytes.
    bool addEntry(const QByteArray &nameUtf8, const QByteArray &data, bool store, int type,
                  const QByteArray &symlink = {}, qint64 zeros = 0);
    bool patchRawNames();

    QString m_path;
    archive *m_a = nullptr;
    bool m_ok = false;
    bool m_closed = false;
    std::vector<std::pair<QByteArray, QByteArray>> m_rawNames; // placeholder, raw
};

using Files = std::vector<std::pair<QString, QByteArray>>;

// A ZIP archive of `files` (deflated) at `path`; returns the path.
inline QString makeZip(const QString &path, const Files &files)
{
    ZipWriter z(path);
    for (const auto &[name, data] : files)
        z.addFile(name, data);
    z.close();
    return path;
}
