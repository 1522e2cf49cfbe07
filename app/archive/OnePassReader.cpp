#include "archive/OnePassReader.h"
#include "archive/ExtractBudget.h"
#include "archive/TmpZipWriter.h"
#include "listing/ListingHost.h"
#include "platform/ProgramPaths.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <archive_entry.h>
#include <cerrno>

namespace {
// Header names are trimmed of spaces only, as the page list expects.
QString trimSpaces(QString s)
{
    s.remove(QChar(u'\0'));
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == u' ')
        ++b;
    while (e > b && s.at(e - 1) == u' ')
        --e;
    return s.mid(b, e - b);
}
} // namespace

void OnePassReader::showError(const QString &path, QString ListingTexts::*text)
{
    if (m_host)
        showError((m_host->texts().*text).arg(path));
}

bool OnePassReader::openArchive(ArchiveHandle &h, const QString &path)
{
    if (const QString why = refusal(path); !why.isEmpty()) {
        showError(why);
        return false;
    }
    if (!h.allocated()) {
        showError(path, &ListingTexts::noMemory);
        return false;
    }
    if (h.open(path) == ARCHIVE_OK)
        return true;
    const QFileInfo info(path);
    if (h.errorNumber() == ENOMEM)
        showError(path, &ListingTexts::noMemory);
    else if (!info.isFile() || !info.isReadable())
        showError(path, &ListingTexts::cannotOpen);
    else
        showError(path, notThisFormat());
    return false;
}

bool OnePassReader::list()
{
    ArchiveHandle h(handleKind());
    if (!openArchive(h, m_file))
        return false;
    archive_entry *e = nullptr;
    int r;
    int read = 0;
    while ((r = archive_read_next_header(h.get(), &e)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        const MemberPath::Split s = splitName(MemberPath::decodedName(e));
        m_members.push_back({trimSpaces(s.folder), trimSpaces(s.fileName), false, QString(), read});
        ++read;
        // A compressed tar decodes every member to reach the next header: the
        // reader who gave up waits for no more of it.
        if (listCancelled()) {
            m_members.clear();
            return false;
        }
    }
    if (r == ARCHIVE_EOF)
        return true;
    // Every message names the archive: the one at fault may be nested in another.
    // Out of memory while reading headers is a header asking for absurd sizes.
    if (h.errorNumber() == ENOMEM)
        showError(m_file, &ListingTexts::noMemory);
    else if (read == 0)
        showError(m_file, &ListingTexts::archiveHeaderBroken);
    else
        showError(m_file, &ListingTexts::fileHeaderBroken);
    logError(m_file + QStringLiteral(": ") + h.errorString());
    m_members.clear();
    return false;
}

ExtractOutcome OnePassReader::extractVolume(const QString &DesPath, const ExtractControl &control)
{
    ArchiveHandle h(handleKind());
    if (!openArchive(h, m_file))
        return ExtractOutcome::Failed;
    const std::vector<RarChecksums::Member> sums = checksums(m_file);
    const qint64 budget =
        ExtractBudget::forFolder(DesPath, ExtractBudget::settingOf(m_host ? &m_host->paths() : nullptr));
    qint64 spent = ExtractBudget::usedBy(DesPath);
    int leftOut = 0;
    // The members written so far, by their name in the archive, for the hard links
    // that follow them.
    QHash<QByteArray, QString> writtenByName;
    archive_entry *e = nullptr;
    int r = ARCHIVE_EOF;
    bool cancelled = false;
    // Walking past the volume's last member would only decode the data of others:
    // in a solid archive, the rest of the book.
    const int last = lastSelected();
    for (int i = 1; i <= last && !cancelled; ++i) {
        if (control.progress)
            control.progress(i, last);
        if ((cancelled = control.cancelled()))
            break;
        r = archive_read_next_header(h.get(), &e);
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN)
            break;
        // Entry i is header i: the archive yields its headers in listing order.
        const Member &en = m_members[std::size_t(i - 1)];
        if (!en.selected)
            continue;
        // The file name whole: a "\" in a 7z or tar name is part of it, and the page
        // list looks for the page under all of it.
        const QString leaf = MemberPath::safeFlatName(en.tmpName.isEmpty() ? en.fileName : en.tmpName);
        if (DesPath.isEmpty() || leaf.isEmpty())
            continue;
        const QString target = DesPath + QLatin1Char('/') + leaf;
        if (MemberPath::isHardLink(e)) {
            // The same bytes as a member written before in this pass; a link to any
            // other name (a member of another volume, one missing, one outside the
            // archive, or a link itself) finds nothing here and stays out.
            const auto from = writtenByName.constFind(QByteArray(archive_entry_hardlink(e)));
            if (from == writtenByName.cend())
                continue;
            const qint64 size = QFileInfo(*from).size();
            if (size > budget - spent) {
                ++leftOut;
                continue;
            }
            if (*from == target)
                continue;
            if (QFileInfo(target).isFile() || QFileInfo(target).isSymLink())
                QFile::remove(target);
            QString why;
            if (TmpZipWriter::copyWritten(*from, DesPath, leaf, &why)) {
                spent += size;
                if (control.written)
                    control.written(i);
            } else
                logError(m_file + QStringLiteral(": ") + en.fileName + QStringLiteral(": ") + why);
            continue;
        }
        if (!MemberPath::isPlainFile(e))
            continue;
        const RarChecksums::Member *sum = sumOf(sums, i, e);
        // An encrypted member would need a password, which is never asked for.
        if (archive_entry_is_data_encrypted(e) || (sum && sum->encrypted))
            continue;
        if (archive_entry_size_is_set(e) && archive_entry_size(e) > budget - spent) {
            ++leftOut;
            continue;
        }
        if (QFileInfo(target).isFile() || QFileInfo(target).isSymLink())
            QFile::remove(target);
        std::optional<quint32> crc;
        if (sum)
            crc = sum->crc;
        QString why;
        const TmpZipWriter::Result written = TmpZipWriter::write(
            h.get(), e, DesPath, leaf, TmpZipWriter::Existing::Replace, &why, nullptr, crc, control.cancel);
        if (written == TmpZipWriter::Result::Written) {
            spent += QFileInfo(target).size();
            if (const char *name = archive_entry_pathname(e))
                writtenByName.insert(QByteArray(name), target);
            if (control.written)
                control.written(i);
        } else if (written == TmpZipWriter::Result::Failed) {
            logError(m_file + QStringLiteral(": ") + en.fileName + QStringLiteral(": ") + why);
        } else if (written == TmpZipWriter::Result::Cancelled) {
            cancelled = true;
        }
    }
    if (cancelled)
        return ExtractOutcome::Cancelled;
    if (leftOut > 0 && m_host)
        showError(m_host->texts().overBudget.arg(m_file, QString::number(leftOut), QString::number(budget >> 20)));
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN && r != ARCHIVE_EOF) {
        showError(m_file, &ListingTexts::fileHeaderBroken);
        logError(m_file + QStringLiteral(": ") + h.errorString());
        return ExtractOutcome::Failed;
    }
    return ExtractOutcome::Done;
}

const RarChecksums::Member *OnePassReader::sumOf(const std::vector<RarChecksums::Member> &sums, int i,
                                                 archive_entry *e)
{
    // The header walk is trusted only where it agrees with the library's entry.
    return std::size_t(i) <= sums.size() && sums[std::size_t(i - 1)].unpackedSize == archive_entry_size(e)
               ? &sums[std::size_t(i - 1)]
               : nullptr;
}

int OnePassReader::seek(ArchiveHandle &h, const QString &memberPath, archive_entry **e, qint64 &decoded,
                        qint64 maxDecoded)
{
    if (!h.allocated() || !refusal(m_file).isEmpty() || h.open(m_file) != ARCHIVE_OK)
        return 0;
    const QString wanted = MemberPath::comparable(memberPath);
    int r;
    for (int i = 1; (r = archive_read_next_header(h.get(), e)) == ARCHIVE_OK || r == ARCHIVE_WARN; ++i) {
        // By its path in the archive, or as the listing gives it (a RAR's folders lower-cased).
        const QString name = MemberPath::decodedName(*e);
        const MemberPath::Split s = splitName(name);
        const QString listed = s.folder.isEmpty() ? s.fileName : s.folder + QLatin1Char('\\') + s.fileName;
        if (MemberPath::comparable(name) == wanted || MemberPath::comparable(listed) == wanted)
            return i;
        // A solid or compressed archive decodes the data it walks past.
        if (archive_entry_size_is_set(*e))
            decoded += archive_entry_size(*e);
        if (decoded > maxDecoded)
            return 0;
    }
    return 0;
}

bool OnePassReader::extractMember(const QString &memberPath, const QString &folder, const QString &tmpName)
{
    ArchiveHandle h(handleKind());
    archive_entry *e = nullptr;
    qint64 decoded = 0;
    const int i = seek(h, memberPath, &e, decoded);
    const std::vector<RarChecksums::Member> sums = i > 0 ? checksums(m_file) : std::vector<RarChecksums::Member>();
    const RarChecksums::Member *sum = i > 0 ? sumOf(sums, i, e) : nullptr;
    if (i == 0 || archive_entry_is_data_encrypted(e) || (sum && sum->encrypted))
        return false;
    const QString leaf = tmpName.isEmpty() ? MemberPath::safeLeaf(memberPath) : MemberPath::safeFlatName(tmpName);
    QString why;
    const TmpZipWriter::Result r = TmpZipWriter::write(h.get(), e, folder, leaf, TmpZipWriter::Existing::Keep, &why,
                                                       nullptr, sum ? sum->crc : std::nullopt);
    if (r == TmpZipWriter::Result::Failed)
        logError(m_file + QStringLiteral(": ") + memberPath + QStringLiteral(": ") + why);
    return r == TmpZipWriter::Result::Written;
}

std::optional<QByteArray> OnePassReader::readMember(const QString &memberPath,
                                                    const ExtractBudget::MemberLimits &limits)
{
    ArchiveHandle h(handleKind());
    archive_entry *e = nullptr;
    qint64 decoded = 0;
    const int i = seek(h, memberPath, &e, decoded, limits.maxDecoded);
    const std::vector<RarChecksums::Member> sums = i > 0 ? checksums(m_file) : std::vector<RarChecksums::Member>();
    const RarChecksums::Member *sum = i > 0 ? sumOf(sums, i, e) : nullptr;
    if (i == 0 || (sum && sum->encrypted))
        return std::nullopt;
    return readEntry(h.get(), e, limits, decoded, sum ? sum->crc : std::nullopt);
}
