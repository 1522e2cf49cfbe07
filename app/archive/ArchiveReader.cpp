#include "archive/ArchiveReader.h"
#include "archive/Cls_Rar.h"
#include "archive/MemberData.h"
#include "archive/MemberPath.h"
#include "archive/SevenZipTarReader.h"
#include "archive/cUnzip.h"
#include "listing/ListingHost.h"
#include "platform/Prompts.h"

#include <archive.h>
#include <archive_entry.h>
#include <stdexcept>

ArchiveReader::~ArchiveReader() = default;

std::unique_ptr<ArchiveReader> ArchiveReader::make(ArchiveKind kind, ListingHost *host)
{
    switch (kind) {
    case ArchiveKind::Zip:
        return std::make_unique<cUnzip>(host);
    case ArchiveKind::Rar:
        return std::make_unique<Cls_Rar>(host);
    case ArchiveKind::SevenZip:
    case ArchiveKind::Tar:
        return std::make_unique<SevenZipTarReader>(kind, host);
    case ArchiveKind::None:
        break;
    }
    return nullptr;
}

void ArchiveReader::setFile(const QString &path)
{
    m_file = path;
    m_members.clear();
}

const ArchiveReader::Member &ArchiveReader::member(int index) const
{
    if (index < 1 || index > count())
        throw std::out_of_range("archive member index");
    return m_members[std::size_t(index - 1)];
}

ArchiveReader::Member &ArchiveReader::memberAt(int index)
{
    return const_cast<Member &>(member(index));
}

void ArchiveReader::setSelected(int index, bool selected)
{
    memberAt(index).selected = selected;
}

int ArchiveReader::lastSelected() const
{
    for (int i = count(); i >= 1; --i)
        if (m_members[std::size_t(i - 1)].selected)
            return i;
    return 0;
}

void ArchiveReader::setTmpName(int index, const QString &name)
{
    memberAt(index).tmpName = name;
}

void ArchiveReader::logError(const QString &text)
{
    if (m_host)
        m_host->logError(text);
}

void ArchiveReader::showError(const QString &text)
{
    if (!m_host)
        return;
    m_host->logError(text);
    m_host->showMessage(m_host->texts().errorTitle, text, MsgIcon::Exclamation);
}

std::optional<QByteArray> ArchiveReader::readEntry(archive *a, archive_entry *e, const ExtractBudget::MemberLimits &limits,
                                                   qint64 decodedBefore, std::optional<quint32> expectedCrc)
{
    if (!MemberPath::isPlainFile(e) || archive_entry_is_data_encrypted(e))
        return std::nullopt;
    const qint64 room = qMin(limits.maxBytes, limits.maxDecoded - decodedBefore);
    if (room < 0 || (archive_entry_size_is_set(e) && archive_entry_size(e) > room))
        return std::nullopt;
    QByteArray bytes;
    // What the header claims is reserved only within the limit, so a lying header
    // costs no memory the data does not fill.
    if (archive_entry_size_is_set(e))
        bytes.reserve(qsizetype(archive_entry_size(e)));
    MemberData::Sink sink;
    sink.put = [&](const char *p, size_t n) {
        bytes.append(p, qsizetype(n));
        return true;
    };
    sink.extendTo = [&](qint64 end) {
        bytes.resize(qsizetype(end), '\0');
        return true;
    };
    const MemberData::Result r =
        MemberData::pump(a, {room, limits.maxRatio, limits.ratioFloor, nullptr}, expectedCrc.has_value(), sink);
    if (!r.why.isEmpty() || (expectedCrc && r.crc != *expectedCrc))
        return std::nullopt;
    return bytes;
}
