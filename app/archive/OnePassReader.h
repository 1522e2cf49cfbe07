#pragma once
#include "archive/ArchiveHandle.h"
#include "archive/ArchiveReader.h"
#include "archive/MemberPath.h"
#include "archive/RarChecksums.h"

#include <limits>

struct ListingTexts;

// What the RAR reader and the 7z/tar reader share: every header (folders included)
// is listed in archive order, and a volume's selected members come out in one pass
// over the archive, which also suits a solid archive, whose block would otherwise
// be unpacked once per page. Each reader opens its own formats only.
class OnePassReader : public ArchiveReader
{
public:
    bool list() override;
    bool extractMember(const QString &memberPath, const QString &folder, const QString &tmpName = QString()) override;
    ExtractOutcome extractVolume(const QString &folder, const ExtractControl &control = {}) override;
    std::optional<QByteArray> readMember(const QString &memberPath,
                                         const ExtractBudget::MemberLimits &limits = {}) override;

protected:
    using ArchiveReader::ArchiveReader;
    // The libarchive formats of this reader.
    virtual ArchiveHandle::Kind handleKind() const = 0;
    // A member's path split into its folder text and file name, as the format parts them.
    virtual MemberPath::Split splitName(QString name) const = 0;
    // The message for an archive this reader cannot make out.
    virtual QString ListingTexts::*notThisFormat() const = 0;
    // Why the archive at path cannot be read though it is of this format (a kind the
    // library does not read); empty when nothing stands in the way.
    virtual QString refusal(const QString &) const { return QString(); }
    // The checksums the library does not check itself, one per header.
    virtual std::vector<RarChecksums::Member> checksums(const QString &) const { return {}; }

private:
    bool openArchive(ArchiveHandle &h, const QString &path);
    // The same with one of the readers' texts about the archive at path.
    void showError(const QString &path, QString ListingTexts::*text);
    using ArchiveReader::showError;
    // Walks to the first member of this path; its header index from 1, or 0 when the
    // archive ends, or the data walked past grows over maxDecoded, first. `decoded`
    // counts that data.
    int seek(ArchiveHandle &h, const QString &memberPath, archive_entry **e, qint64 &decoded,
             qint64 maxDecoded = std::numeric_limits<qint64>::max());
    // The checksum entry of header i when the header walk agrees with the library's entry.
    static const RarChecksums::Member *sumOf(const std::vector<RarChecksums::Member> &sums, int i, archive_entry *e);
};
