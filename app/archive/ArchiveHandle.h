#pragma once
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <archive.h>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <memory>
#include <vector>

// Owns one libarchive reader for the length of one listing or extraction.
class ArchiveHandle
{
public:
    enum class Kind { Zip, ZipStream, Rar, SevenZip, Tar };

    explicit ArchiveHandle(Kind kind)
    {
        // libarchive turns Unicode names into the locale's character set. Under a
        // non-UTF-8 locale (LC_ALL=C) that fails for every non-ASCII name, so this
        // thread reads archives in a UTF-8 locale whatever the environment says.
        if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) {
            m_utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
            if (m_utf8)
                m_previous = uselocale(m_utf8);
        }
        m_a = archive_read_new();
        if (!m_a)
            return;
        if (kind == Kind::Zip) {
            // The seekable reader walks the central directory: its order is the
            // archive's listing order, and members are found without inflating others.
            archive_read_support_format_zip_seekable(m_a);
        } else if (kind == Kind::ZipStream) {
            // Reads members from their local headers: one member found through
            // the central directory, read from where it starts.
            archive_read_support_format_zip_streamable(m_a);
        } else if (kind == Kind::Rar) {
            archive_read_support_format_rar(m_a);
            archive_read_support_format_rar5(m_a);
        } else if (kind == Kind::SevenZip) {
            archive_read_support_format_7zip(m_a);
        } else {
            archive_read_support_format_tar(m_a);
            archive_read_support_format_gnutar(m_a);
            // A .cbt is sometimes compressed as a whole. Only the decompressors
            // inside the library: the others run a program found on PATH on the
            // book's bytes.
            for (const auto &support : inLibraryFilters())
                support(m_a);
        }
    }
    ~ArchiveHandle()
    {
        if (m_a)
            archive_read_free(m_a);
        if (m_utf8) {
            uselocale(m_previous);
            freelocale(m_utf8);
        }
    }
    ArchiveHandle(const ArchiveHandle &) = delete;
    ArchiveHandle &operator=(const ArchiveHandle &) = delete;

    archive *get() const { return m_a; }
    bool allocated() const { return m_a != nullptr; }
    int open(const QString &path)
    {
        // Only regular files (or links to them): a pipe or a device named like an
        // archive would block the reader or never end.
        if (!QFileInfo(path).isFile()) {
            archive_set_error(m_a, ENOENT, "not a regular file");
            return ARCHIVE_FATAL;
        }
        return archive_read_open_filename(m_a, QFile::encodeName(path).constData(), 64 * 1024);
    }
    QString errorString() const
    {
        const char *s = m_a ? archive_error_string(m_a) : nullptr;
        return s ? QString::fromUtf8(s) : QString();
    }
    int errorNumber() const { return m_a ? archive_errno(m_a) : 0; }

private:
    using FilterSupport = int (*)(archive *);
    // The whole-file decompressors this build of the library does itself. One
    // built without a compression library would stand in for it with the
    // external program and says so by a warning; such a filter is left out.
    static const std::vector<FilterSupport> &inLibraryFilters()
    {
        static const std::vector<FilterSupport> filters = [] {
            std::vector<FilterSupport> out;
            for (FilterSupport support :
                 {&archive_read_support_filter_gzip, &archive_read_support_filter_bzip2,
                  &archive_read_support_filter_xz, &archive_read_support_filter_lzma,
                  &archive_read_support_filter_zstd, &archive_read_support_filter_lz4,
                  &archive_read_support_filter_lzip, &archive_read_support_filter_compress}) {
                archive *probe = archive_read_new();
                if (probe && support(probe) == ARCHIVE_OK)
                    out.push_back(support);
                if (probe)
                    archive_read_free(probe);
            }
            return out;
        }();
        return filters;
    }

    archive *m_a = nullptr;
    locale_t m_utf8 = locale_t(0);
    locale_t m_previous = locale_t(0);
};
