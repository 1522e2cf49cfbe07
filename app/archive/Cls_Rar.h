#pragma once
#include "archive/OnePassReader.h"

#include <QString>

// Reader of one RAR archive (RAR 4 and RAR 5): lists every header, folders
// included, in archive order and extracts the selected entries of a volume in one
// pass. It reads RAR archives only, whatever the file is called.
class Cls_Rar : public OnePassReader
{
public:
    explicit Cls_Rar(ListingHost *host = nullptr) : OnePassReader(host) {}

    ArchiveKind kind() const override { return ArchiveKind::Rar; }

    static QString ParseFilename(const QString &Path);
    static QString RarFolderOf(const QString &Name);

protected:
    ArchiveHandle::Kind handleKind() const override { return ArchiveHandle::Kind::Rar; }
    MemberPath::Split splitName(QString name) const override;
    QString ListingTexts::*notThisFormat() const override;
    QString refusal(const QString &path) const override;
    std::vector<RarChecksums::Member> checksums(const QString &path) const override;
};
