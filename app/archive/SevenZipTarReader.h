#pragma once
#include "archive/OnePassReader.h"

// Reader of one 7z or one tar archive (a tar may be compressed as a whole), of
// the kind it is made for: a volume comes out in one pass, which also suits a
// solid 7z, whose block would otherwise be unpacked once per page.
class SevenZipTarReader : public OnePassReader
{
public:
    // `kind` is SevenZip or Tar.
    SevenZipTarReader(ArchiveKind kind, ListingHost *host = nullptr) : OnePassReader(host), m_kind(kind) {}

    ArchiveKind kind() const override { return m_kind; }

protected:
    ArchiveHandle::Kind handleKind() const override;
    MemberPath::Split splitName(QString name) const override;
    QString ListingTexts::*notThisFormat() const override;

private:
    ArchiveKind m_kind;
};
