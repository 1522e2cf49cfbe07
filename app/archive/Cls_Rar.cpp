#include "archive/Cls_Rar.h"
#include "archive/ArchiveHandle.h"
#include "archive/ExtractBudget.h"
#include "archive/MemberPath.h"
#include "archive/RarChecksums.h"
#include "archive/RarProbe.h"
#include "archive/TmpZipWriter.h"
#include "listing/FileKinds.h"
#include "listing/ListingHost.h"
#include "platform/ProgramPaths.h"
#include "platform/Prompts.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <archive_entry.h>
#include <cerrno>
#include <stdexcept>

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

Cls_Rar::Cls_Rar(ListingHost *host) : m_host(host) {}

Cls_Rar::~Cls_Rar()
{
    m_entries.clear();
}

void Cls_Rar::setRarFile(const QString &NewFile)
{
    m_rarFile = NewFile;
    const int kind = FileKinds::archiveKindOfExt(FileKinds::extensionOf(NewFile));
    m_kind = kind >= 2 ? kind : 1;
    m_entries.clear();
}

const Cls_Rar::Entry &Cls_Rar::entry(qint32 Index) const
{
    if (Index < 1 || Index > Get_FileCount())
        throw std::out_of_range("Cls_Rar entry index");
    return m_entries[std::size_t(Index - 1)];
}

QString Cls_Rar::RarFolderName(qint32 Index) const
{
    return entry(Index).folder;
}

QString Cls_Rar::RarFileName(qint32 Index) const
{
    return entry(Index).fileName;
}

bool Cls_Rar::RarSelected(qint32 Index) const
{
    return entry(Index).selected;
}

void Cls_Rar::setRarSelected(qint32 Index, bool IsSelect)
{
    const_cast<Entry &>(entry(Index)).selected = IsSelect;
}

void Cls_Rar::Rar_Directory()
{
    UnRar_Exe(2, m_rarFile, QString());
}

void Cls_Rar::UnRar_Exe(qint32 Op_Flag, const QString &ExtractFile, const QString &)
{
    WalkRarHeaders(Op_Flag, ExtractFile);
}

void Cls_Rar::setRarTmpName(qint32 Index, const QString &name)
{
    const_cast<Entry &>(entry(Index)).tmpName = name;
}

QString Cls_Rar::ParseFilename(const QString &Path)
{
    for (qsizetype i = Path.size() - 1; i >= 0; --i) {
        if (Path.at(i) == u'/' || Path.at(i) == u'\\')
            return Path.mid(i + 1);
    }
    return Path;
}

QString Cls_Rar::RarFolderOf(const QString &Name)
{
    for (qsizetype i = Name.size() - 1; i >= 0; --i) {
        if (Name.at(i) == u'/' || Name.at(i) == u'\\')
            return Name.left(i).toLower();
    }
    return QString();
}

void Cls_Rar::ShowRarError(const QString &message)
{
    // The archive is abandoned; the program goes on.
    if (!m_host)
        return;
    m_host->logError(message);
    m_host->showMessage(m_host->texts().errorTitle, message, MsgIcon::Exclamation);
}

void Cls_Rar::ShowRarError(const QString &path, QString ListingTexts::*text)
{
    if (m_host)
        ShowRarError((m_host->texts().*text).arg(path));
}

bool Cls_Rar::openArchive(ArchiveHandle &h, const QString &path)
{
    const RarProbe::Issue issue = m_kind == 1 ? RarProbe::check(path) : RarProbe::Issue::None;
    if (issue != RarProbe::Issue::None) {
        if (m_host)
            ShowRarError(RarProbe::message(issue, path, m_host->texts()));
        return false;
    }
    if (!h.allocated()) {
        ShowRarError(path, &ListingTexts::noMemory);
        return false;
    }
    if (h.open(path) == ARCHIVE_OK)
        return true;
    const QFileInfo info(path);
    if (h.errorNumber() == ENOMEM)
        ShowRarError(path, &ListingTexts::noMemory);
    else if (!info.isFile() || !info.isReadable())
        ShowRarError(path, &ListingTexts::cannotOpen);
    else
        ShowRarError(path, m_kind == 1 ? &ListingTexts::notRar : &ListingTexts::notArchive);
    return false;
}

void Cls_Rar::WalkRarHeaders(qint32 mode, const QString &path)
{
    ArchiveHandle h(ArchiveHandle::ofArchiveKind(m_kind));
    if (!openArchive(h, path))
        return;
    archive_entry *e = nullptr;
    int r;
    int read = 0;
    while ((r = archive_read_next_header(h.get(), &e)) == ARCHIVE_OK || r == ARCHIVE_WARN) {
        ++read;
        if (mode != 2)
            continue;
        // The folder text keeps the "\" form between levels, like every archive folder text.
        QString name = MemberPath::decodedName(e), folder, fileName;
        if (m_kind == 1) {
            // A RAR made on Windows parts its levels with "\"; folder texts are lower-cased.
            name.replace(u'/', u'\\');
            folder = RarFolderOf(name);
            fileName = ParseFilename(name);
        } else {
            // In 7z and tar only "/" parts levels: a "\" is a character of the name.
            const qsizetype cut = name.lastIndexOf(u'/');
            folder = name.left(qMax(cut, qsizetype(0))).replace(u'/', u'\\');
            fileName = name.mid(cut + 1);
        }
        m_entries.push_back({trimSpaces(folder), trimSpaces(fileName), false, QString()});
    }
    if (r == ARCHIVE_EOF)
        return;
    // Every message names the archive: the one at fault may be nested in another.
    // Out of memory while reading headers is a header asking for absurd sizes.
    if (h.errorNumber() == ENOMEM)
        ShowRarError(path, &ListingTexts::noMemory);
    else if (read == 0)
        ShowRarError(path, &ListingTexts::archiveHeaderBroken);
    else
        ShowRarError(path, &ListingTexts::fileHeaderBroken);
    if (m_host)
        m_host->logError(path + QStringLiteral(": ") + h.errorString());
    m_entries.clear();
}

void Cls_Rar::UnCompressRAR(qint32, const QString &RarFile, const QString &DesPath, const QString &, bool)
{
    ArchiveHandle h(ArchiveHandle::ofArchiveKind(m_kind));
    if (!openArchive(h, RarFile))
        return;
    const qint32 n = Get_FileCount();
    const std::vector<RarChecksums::Member> sums =
        m_kind == 1 ? RarChecksums::read(RarFile) : std::vector<RarChecksums::Member>();
    const qint64 budget =
        ExtractBudget::forFolder(DesPath, ExtractBudget::settingOf(m_host ? &m_host->paths() : nullptr));
    qint64 spent = ExtractBudget::usedBy(DesPath);
    int leftOut = 0;
    // The members written so far, by their name in the archive, for the hard links
    // that follow them.
    QHash<QByteArray, QString> writtenByName;
    archive_entry *e = nullptr;
    int r = ARCHIVE_EOF;
    for (qint32 i = 1; i <= n; ++i) {
        if (m_host)
            m_host->ZipFile_Progress(i, n, m_host->loadingMessage());
        r = archive_read_next_header(h.get(), &e);
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN)
            break;
        // Entry i is header i: the archive yields its headers in listing order.
        const Entry &en = m_entries[std::size_t(i - 1)];
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
            if (TmpZipWriter::copyWritten(*from, DesPath, leaf, &why))
                spent += size;
            else if (m_host)
                m_host->logError(RarFile + QStringLiteral(": ") + en.fileName + QStringLiteral(": ") + why);
            continue;
        }
        if (!MemberPath::isPlainFile(e))
            continue;
        // The header walk is trusted only where it agrees with the library's entry.
        const RarChecksums::Member *sum = std::size_t(i) <= sums.size() &&
                                                  sums[std::size_t(i - 1)].unpackedSize == archive_entry_size(e)
                                              ? &sums[std::size_t(i - 1)]
                                              : nullptr;
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
        const TmpZipWriter::Result written =
            TmpZipWriter::write(h.get(), e, DesPath, leaf, TmpZipWriter::Existing::Replace, &why, nullptr, crc);
        if (written == TmpZipWriter::Result::Written) {
            spent += QFileInfo(target).size();
            if (const char *name = archive_entry_pathname(e))
                writtenByName.insert(QByteArray(name), target);
        } else if (written == TmpZipWriter::Result::Failed && m_host)
            m_host->logError(RarFile + QStringLiteral(": ") + en.fileName + QStringLiteral(": ") + why);
    }
    if (leftOut > 0 && m_host)
        ShowRarError(
            m_host->texts().overBudget.arg(RarFile, QString::number(leftOut), QString::number(budget >> 20)));
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN && r != ARCHIVE_EOF) {
        ShowRarError(RarFile, &ListingTexts::fileHeaderBroken);
        if (m_host)
            m_host->logError(RarFile + QStringLiteral(": ") + h.errorString());
    }
}
