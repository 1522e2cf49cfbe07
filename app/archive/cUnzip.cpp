#include "archive/cUnzip.h"
#include "archive/ArchiveHandle.h"
#include "archive/MemberPath.h"
#include "archive/TmpZipWriter.h"
#include "archive/ZipIndex.h"
#include "listing/FileKinds.h"
#include "listing/ListingHost.h"
#include "platform/Prompts.h"

#include <QFileInfo>
#include <algorithm>
#include <iterator>
#include <archive_entry.h>

namespace {
// An archive holding nothing is only its end record; the seekable reader does
// not recognise that, but it is a valid, empty ZIP archive.
bool isEmptyZip(const QString &path)
{
    QFile f(path);
    if (f.size() < 22 || f.size() > 22 + 65535 || !f.open(QIODevice::ReadOnly))
        return false;
    return f.read(4) == QByteArrayLiteral("PK\x05\x06");
}
} // namespace

cUnzip::cUnzip(ListingHost *host, QObject *parent) : QObject(parent), m_host(host) {}

cUnzip::~cUnzip() = default;

void cUnzip::setZipFile(const QString &path)
{
    m_zipFile = path;
    m_entries.clear();
}

void cUnzip::showError(const QString &text)
{
    if (!m_host)
        return;
    m_host->logError(text);
    m_host->showMessage(m_host->texts().errorTitle, text, MsgIcon::Exclamation);
}

qint32 cUnzip::Directory()
{
    ArchiveHandle h(ArchiveHandle::Kind::Zip);
    if (!h.allocated()) {
        if (m_host)
            showError(m_host->texts().noMemory.arg(m_zipFile));
        return -1;
    }
    if (h.open(m_zipFile) != ARCHIVE_OK) {
        const QFileInfo info(m_zipFile);
        if (m_host && (!info.isFile() || !info.isReadable()))
            showError(m_host->texts().cannotOpen.arg(m_zipFile));
        else if (!isEmptyZip(m_zipFile) && m_host)
            showError(m_host->texts().notZip.arg(m_zipFile));
        return -1;
    }
    archive_entry *e = nullptr;
    int r;
    int locked = 0;
    int ordinal = -1;
    while ((r = archive_read_next_header(h.get(), &e)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        ++ordinal;
        const MemberPath::Split s = MemberPath::SplitMemberPath(MemberPath::decodedName(e));
        if (s.fileName.isEmpty())
            continue; // folder entry
        const bool encrypted = archive_entry_is_data_encrypted(e) != 0;
        // No password is ever asked for, so a locked page could only be drawn black:
        // it is left out and the reader is told once, below.
        const QString ext = FileKinds::extensionOf(s.fileName);
        if (encrypted && (FileKinds::Is_ImageExt(ext) || FileKinds::isArchiveExt(ext))) {
            ++locked;
            continue;
        }
        m_entries.push_back({s.fileName, s.folder, false, encrypted, ordinal, QString()});
    }
    if (locked > 0 && m_host)
        showError(m_host->texts().encrypted.arg(m_zipFile));
    if (r != ARCHIVE_EOF) {
        // What was listed before the damage stays listed, as with any damaged archive.
        if (m_host)
            m_host->logError(m_zipFile + QStringLiteral(": ") + h.errorString());
        // Broken before its first member (a directory that makes no sense, or one
        // asking for more memory than there is) it is unreadable, not an empty book.
        if (m_entries.empty() && locked == 0 && m_host)
            showError(m_host->texts().notZip.arg(m_zipFile));
        return -1;
    }
    return 0;
}

const cUnzip::Entry &cUnzip::entry(qint32 index) const
{
    if (index < 1 || index > FileCount())
        throw std::out_of_range("cUnzip entry index");
    return m_entries[std::size_t(index - 1)];
}

QString cUnzip::FileName(qint32 index) const
{
    return entry(index).fileName;
}

QString cUnzip::FileDirectory(qint32 index) const
{
    return entry(index).folder;
}

int cUnzip::FileOrdinal(qint32 index) const
{
    return entry(index).ordinal;
}

bool cUnzip::FileSelected(qint32 index) const
{
    return entry(index).selected;
}

void cUnzip::setFileSelected(qint32 index, bool selected)
{
    const_cast<Entry &>(entry(index)).selected = selected;
}

void cUnzip::setFileTmpName(qint32 index, const QString &name)
{
    const_cast<Entry &>(entry(index)).tmpName = name;
}

void cUnzip::keepRenamedOf(const cUnzip &nested)
{
    m_nestedZip = nested.m_zipFile;
    m_nestedRenamed.clear();
    std::copy_if(nested.m_entries.cbegin(), nested.m_entries.cend(), std::back_inserter(m_nestedRenamed),
                 [](const Entry &en) { return en.selected && !en.tmpName.isEmpty(); });
}

std::optional<int> cUnzip::renamedOrdinal(const QString &StrZipName, const QString &TmpName) const
{
    const auto find = [&](const std::vector<Entry> &entries) -> std::optional<int> {
        const auto it = std::find_if(entries.cbegin(), entries.cend(),
                                     [&](const Entry &en) { return en.selected && en.tmpName == TmpName; });
        return it == entries.cend() ? std::nullopt : std::optional<int>(it->ordinal);
    };
    if (TmpName.isEmpty())
        return std::nullopt;
    if (StrZipName == m_zipFile)
        if (const std::optional<int> o = find(m_entries))
            return o;
    if (StrZipName == m_nestedZip)
        return find(m_nestedRenamed);
    return std::nullopt;
}

std::optional<bool> cUnzip::extractRenamed(const QString &StrZipName, const QString &TmpName)
{
    const std::optional<int> ordinal = renamedOrdinal(StrZipName, TmpName);
    if (!ordinal)
        return std::nullopt;
    ArchiveHandle h(ArchiveHandle::Kind::Zip);
    if (!h.allocated() || h.open(StrZipName) != ARCHIVE_OK)
        return false;
    archive_entry *e = nullptr;
    int r;
    for (int i = 0; (r = archive_read_next_header(h.get(), &e)) == ARCHIVE_OK || r == ARCHIVE_WARN; ++i) {
        if (i < *ordinal)
            continue;
        Outcome result = Outcome::Failed;
        const std::optional<Outcome> o =
            takeMember(h.get(), e, MemberPath::decodedName(e), TmpName, StrZipName, QString(), result, true);
        return o && *o == Outcome::Written;
    }
    return false;
}

std::optional<bool> cUnzip::File_ExtractUnzip(const QString &StrZipName, const QString &StrFile,
                                              const QString &TmpName)
{
    if (StrZipName.isEmpty())
        return std::nullopt;
    m_passwordRefused = false;
    Outcome o = extractOne(StrZipName, StrFile, TmpName, QString());
    if (o == Outcome::NeedsPassword && !m_passwordRefused) {
        // Nothing in the program answers this: the member is then skipped silently.
        QString password;
        bool cancel = false;
        emit PasswordRequest(password, cancel);
        password = password.trimmed();
        if (password.isEmpty() || cancel)
            m_passwordRefused = true;
        else
            o = extractOne(StrZipName, StrFile, TmpName, password);
    }
    return o == Outcome::Written;
}

const ZipIndex &cUnzip::indexOf(const QString &zipPath)
{
    if (!m_index || m_index->path() != zipPath || !m_index->current())
        m_index = std::make_unique<ZipIndex>(zipPath);
    return *m_index;
}

cUnzip::Outcome cUnzip::extractOne(const QString &zipPath, const QString &memberPath, const QString &tmpName,
                                   const QString &password)
{
    Outcome result = Outcome::Failed;
    {
        const ZipMemberStream direct(indexOf(zipPath), memberPath, password);
        if (direct.entry()) {
            if (const std::optional<Outcome> o = takeMember(direct.reader(), direct.entry(), direct.name(), tmpName,
                                                            zipPath, password, result, false))
                return *o;
            if (result == Outcome::NeedsPassword && !direct.repeated())
                return result;
        }
    }
    // Not found through the directory, not readable from its local header alone, or
    // another member of the path may do: the archive is walked.
    ArchiveHandle h(ArchiveHandle::Kind::Zip);
    if (!h.allocated())
        return Outcome::Failed;
    if (!password.isEmpty())
        archive_read_add_passphrase(h.get(), password.toUtf8().constData());
    if (h.open(zipPath) != ARCHIVE_OK)
        return Outcome::Failed;

    const QString wanted = MemberPath::comparable(memberPath);
    result = Outcome::Failed;
    archive_entry *e = nullptr;
    int r;
    while ((r = archive_read_next_header(h.get(), &e)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        const QString name = MemberPath::decodedName(e);
        if (MemberPath::comparable(name) != wanted)
            continue;
        if (const std::optional<Outcome> o = takeMember(h.get(), e, name, tmpName, zipPath, password, result, true))
            return *o;
    }
    return result;
}

std::optional<cUnzip::Outcome> cUnzip::takeMember(archive *a, archive_entry *e, const QString &name,
                                                  const QString &tmpName, const QString &zipPath,
                                                  const QString &password, Outcome &result, bool logFailure)
{
    if (archive_entry_is_data_encrypted(e) && password.isEmpty()) {
        result = Outcome::NeedsPassword;
        return std::nullopt;
    }
    const qint64 size = archive_entry_size(e);
    if (size > 1 && size < 32000) {
        bool cancel = false;
        // Nothing subscribes, so the design's text never reaches the reader.
        emit Cancel(QStringLiteral("잘못된 파일형식입니다."), cancel);
        if (cancel)
            return Outcome::Failed;
    }
    QString why;
    switch (TmpZipWriter::write(a, e, m_unzipFolder,
                                tmpName.isEmpty() ? MemberPath::safeLeaf(name) : MemberPath::safeFlatName(tmpName),
                                TmpZipWriter::Existing::Keep, &why)) {
    case TmpZipWriter::Result::Written:
        return Outcome::Written;
    case TmpZipWriter::Result::Exists:
        return Outcome::Exists;
    case TmpZipWriter::Result::Skipped:
        break;
    case TmpZipWriter::Result::Failed:
        if (m_host && logFailure)
            m_host->logError(zipPath + QStringLiteral(": ") + name + QStringLiteral(": ") + why);
        break;
    }
    // Another member of the same path may still extract.
    return std::nullopt;
}
