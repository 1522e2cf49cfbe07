#pragma once
#include <QFile>
#include <QString>
#include <archive.h>
#include <memory>

// Owns one libarchive reader for the length of one listing or extraction.
class ArchiveHandle
{
public:
    enum class Kind { Zip, Rar };

    explicit ArchiveHandle(Kind kind) : m_a(archive_read_new())
    {
        if (!m_a)
            return;
        if (kind == Kind::Zip) {
            // The seekable reader walks the central directory: its order is the
            // archive's listing order, and members are found without inflating others.
            archive_read_support_format_zip_seekable(m_a);
        } else {
            archive_read_support_format_rar(m_a);
            archive_read_support_format_rar5(m_a);
        }
    }
    ~ArchiveHandle()
    {
        if (m_a)
            archive_read_free(m_a);
    }
    ArchiveHandle(const ArchiveHandle &) = delete;
    ArchiveHandle &operator=(const ArchiveHandle &) = delete;

    archive *get() const { return m_a; }
    bool allocated() const { return m_a != nullptr; }
    int open(const QString &path) { return archive_read_open_filename(m_a, QFile::encodeName(path).constData(), 64 * 1024); }
    QString errorString() const
    {
        const char *s = m_a ? archive_error_string(m_a) : nullptr;
        return s ? QString::fromUtf8(s) : QString();
    }
    int errorNumber() const { return m_a ? archive_errno(m_a) : 0; }

private:
    archive *m_a;
};
