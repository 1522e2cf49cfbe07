#include "archive/SevenZipTarReader.h"
#include "listing/ListingHost.h"

ArchiveHandle::Kind SevenZipTarReader::handleKind() const
{
    return m_kind == ArchiveKind::SevenZip ? ArchiveHandle::Kind::SevenZip : ArchiveHandle::Kind::Tar;
}

MemberPath::Split SevenZipTarReader::splitName(QString name) const
{
    // Only "/" parts levels: a "\" is a character of the name. The folder text
    // keeps the "\" form between levels, like every archive folder text.
    const qsizetype cut = name.lastIndexOf(u'/');
    return {name.left(qMax(cut, qsizetype(0))).replace(u'/', u'\\'), name.mid(cut + 1)};
}

QString ListingTexts::*SevenZipTarReader::notThisFormat() const
{
    return &ListingTexts::notArchive;
}
