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
#include <utility>
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

cUnzip::cUnzip(ListingHost *host, QObject *parent) : QObject(parent), ArchiveReader(host) {}

cUnzip::~cUnzip() = default;

qint32 cUnzip::Directory()
{
    ArchiveHandle h(ArchiveHandle::Kind::Zip);
    if (!h.allocated()) {
        if (m_host)
            showError(m_host->texts().noMemory.arg(m_file));
        return -1;
    }
    if (h.open(m_file) != ARCHIVE_OK) {
        const QFileInfo info(m_file);
        if (m_host && (!info.isFile() || !info.isReadable()))
            showError(m_host->texts().cannotOpen.arg(m_file));
        else if (!isEmptyZip(m_file) && m_host)
            showError(m_host->texts().notZip.arg(m_file));
        return -1;
    }
    archive_entry *e = nullptr;
    int r;
    int locked = 0;
    int ordinal = -1;
    while ((r = archive_read_next_header(h.get(), &e)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        ++ordinal;
        if (listCancelled()) {
            m_members.clear();
            return -1;
        }
        const MemberPath::Split s = MemberPath::SplitMemberPath(MemberPath::decodedName(e));
        if (s.fileName.isEmpty())
            continue; // folder entry
        // No password is ever asked for, so a locked page could only be drawn black:
        // it is left out and the reader is told once, below.
        const QString ext = FileKinds::extensionOf(s.fileName);
        if (archive_entry_is_data_encrypted(e) && (FileKinds::Is_ImageExt(ext) || FileKinds::isArchiveExt(ext))) {
            ++locked;
            continue;
        }
        m_members.push_back({s.folder, s.fileName, false, QString(), ordinal});
    }
    if (locked > 0 && m_host)
        showError(m_host->texts().encrypted.arg(m_file));
    if (r != ARCHIVE_EOF) {
        // What was listed before the damage stays listed, as with any damaged archive.
        if (m_host)
            m_host->logError(m_file + QStringLiteral(": ") + h.errorString());
        // Broken before its first member (a directory that makes no sense, or one
        // asking for more memory than there is) it is unreadable, not an empty book.
        if (m_members.empty() && locked == 0 && m_host)
            showError(m_host->texts().notZip.arg(m_file));
        return -1;
    }
    return 0;
}

void cUnzip::keepRenamedOf(const cUnzip &nested)
{
    m_nestedZip = nested.m_file;
    m_nestedRenamed.clear();
    std::copy_if(nested.m_members.cbegin(), nested.m_members.cend(), std::back_inserter(m_nestedRenamed),
                 [](const Member &en) { return en.selected && !en.tmpName.isEmpty(); });
}

std::optional<int> cUnzip::renamedOrdinal(const QString &StrZipName, const QString &TmpName) const
{
    const auto find = [&](const std::vector<Member> &entries) -> std::optional<int> {
        const auto it = std::find_if(entries.cbegin(), entries.cend(),
                                     [&](const Member &en) { return en.selected && en.tmpName == TmpName; });
        return it == entries.cend() ? std::nullopt : std::optional<int>(it->ordinal);
    };
    if (TmpName.isEmpty())
        return std::nullopt;
    if (StrZipName == m_file)
        if (const std::optional<int> o = find(m_members))
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
                                TmpZipWriter::Existing::Keep, &why, nullptr, std::nullopt, m_cancel)) {
    case TmpZipWriter::Result::Written:
        return Outcome::Written;
    case TmpZipWriter::Result::Exists:
        return Outcome::Exists;
    case TmpZipWriter::Result::Skipped:
        break;
    case TmpZipWriter::Result::Failed:
        if (logFailure)
            logError(zipPath + QStringLiteral(": ") + name + QStringLiteral(": ") + why);
        break;
    case TmpZipWriter::Result::Cancelled:
        return Outcome::Cancelled;
    }
    // Another member of the same path may still extract.
    return std::nullopt;
}

bool cUnzip::extractMember(const QString &memberPath, const QString &folder, const QString &tmpName)
{
    const QString was = std::exchange(m_unzipFolder, folder);
    const std::optional<bool> written = File_ExtractUnzip(m_file, memberPath, tmpName);
    m_unzipFolder = was;
    return written.value_or(false);
}

ExtractOutcome cUnzip::extractVolume(const QString &folder, const ExtractControl &control)
{
    const QString was = std::exchange(m_unzipFolder, folder);
    m_cancel = control.cancel;
    ExtractOutcome outcome = ExtractOutcome::Done;
    const int last = lastSelected();
    for (int i = 1; i <= last; ++i) {
        if (control.progress)
            control.progress(i, last);
        if (control.cancelled()) {
            outcome = ExtractOutcome::Cancelled;
            break;
        }
        const Member &m = member(i);
        if (!m.selected)
            continue;
        // A member renamed for the volume is found by its place: its path names another first.
        const bool written =
            m.tmpName.isEmpty()
                ? extractOne(m_file, m.folder.isEmpty() ? m.fileName : m.folder + QLatin1Char('\\') + m.fileName,
                             QString(), QString()) == Outcome::Written
                : extractRenamed(m_file, m.tmpName).value_or(false);
        if (written && control.written)
            control.written(i);
    }
    // A member stopped half-way has left nothing; the flag is seen here or on the next turn.
    if (control.cancelled())
        outcome = ExtractOutcome::Cancelled;
    m_cancel = nullptr;
    m_unzipFolder = was;
    return outcome;
}

std::optional<QByteArray> cUnzip::readMember(const QString &memberPath, const ExtractBudget::MemberLimits &limits)
{
    {
        const ZipMemberStream direct(indexOf(m_file), memberPath, QString());
        if (direct.entry())
            if (std::optional<QByteArray> bytes = ArchiveReader::readEntry(direct.reader(), direct.entry(), limits, 0))
                return bytes;
    }
    // Not reachable from its local header, or another member of the path may do.
    ArchiveHandle h(ArchiveHandle::Kind::Zip);
    if (!h.allocated() || h.open(m_file) != ARCHIVE_OK)
        return std::nullopt;
    const QString wanted = MemberPath::comparable(memberPath);
    archive_entry *e = nullptr;
    int r;
    while ((r = archive_read_next_header(h.get(), &e)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        if (MemberPath::comparable(MemberPath::decodedName(e)) != wanted)
            continue;
        if (std::optional<QByteArray> bytes = ArchiveReader::readEntry(h.get(), e, limits, 0))
            return bytes;
    }
    return std::nullopt;
}
