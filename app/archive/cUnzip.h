#pragma once
#include "archive/ArchiveReader.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class ZipIndex;
struct archive;
struct archive_entry;

// Reader of one ZIP archive: lists its members in central-directory order and
// extracts single members, flat, into UnzipFolder. It reads ZIP archives only.
class cUnzip : public QObject, public ArchiveReader
{
    Q_OBJECT
public:
    explicit cUnzip(ListingHost *host = nullptr, QObject *parent = nullptr);
    ~cUnzip() override;

    ArchiveKind kind() const override { return ArchiveKind::Zip; }
    bool list() override { return Directory() == 0; }
    bool extractMember(const QString &memberPath, const QString &folder, const QString &tmpName = QString()) override;
    // Member by member, each found through the central directory; a file already
    // there (a page drawn before) stays.
    ExtractOutcome extractVolume(const QString &folder, const ExtractControl &control = {}) override;
    std::optional<QByteArray> readMember(const QString &memberPath,
                                         const ExtractBudget::MemberLimits &limits = {}) override;

    QString ZipFile() const { return file(); }
    void setZipFile(const QString &path) { setFile(path); } // empties the entries
    QString UnzipFolder() const { return m_unzipFolder; }
    void setUnzipFolder(const QString &folder) { m_unzipFolder = folder; }

    qint32 Directory();
    qint32 FileCount() const { return count(); }
    // 1-based; an index outside 1..FileCount throws std::out_of_range.
    QString FileName(qint32 index) const { return member(index).fileName; }
    QString FileDirectory(qint32 index) const { return member(index).folder; }
    // The member's place among the archive's headers (0 the first), as a reader
    // walking the archive meets it.
    int FileOrdinal(qint32 index) const { return member(index).ordinal; }
    bool FileSelected(qint32 index) const { return member(index).selected; }
    void setFileSelected(qint32 index, bool selected) { setSelected(index, selected); }
    // A member that shares its path with another gets a TmpZip name of its own.
    void setFileTmpName(qint32 index, const QString &name) { setTmpName(index, name); }

    // nullopt for an empty StrZipName; otherwise whether the member was written.
    // The member is matched by its full path ("\" and "/" alike); it goes into
    // UnzipFolder under its file name (or under TmpName, one flat file name, when
    // given) and never replaces a file already there.
    std::optional<bool> File_ExtractUnzip(const QString &StrZipName, const QString &StrFile,
                                          const QString &TmpName = QString());
    // The member of the selected volume given TmpName of its own (setFileTmpName),
    // found by its place in the archive since its path names another member first.
    // nullopt when no such member has that name.
    std::optional<bool> extractRenamed(const QString &StrZipName, const QString &TmpName);
    // The reader that lists a ZIP nested in the book is gone when its pages are
    // drawn: the places of its members given TmpZip names of their own (selected,
    // with setFileTmpName) are kept here, for extractRenamed, until the next one.
    void keepRenamedOf(const cUnzip &nested);

signals:
    void Cancel(const QString &message, bool &cancel);
    void OverwritePrompt(const QString &fileName, qint32 &answer);
    void PasswordRequest(QString &password, bool &cancel);
    void Progress(qint32 count, const QString &message);

private:
    friend class cUnzipAccess;
    enum class Outcome { Written, Exists, NeedsPassword, Failed, Cancelled };
    Outcome extractOne(const QString &zipPath, const QString &memberPath, const QString &tmpName,
                       const QString &password);
    // What one member of the wanted path comes to; nullopt when another member of
    // that path may still do (`result` then holds what this one came to).
    std::optional<Outcome> takeMember(archive *a, archive_entry *e, const QString &name, const QString &tmpName,
                                      const QString &zipPath, const QString &password, Outcome &result,
                                      bool logFailure);
    // The member positions of `zipPath`, read once while the archive stays unchanged.
    const ZipIndex &indexOf(const QString &zipPath);
    // The place in StrZipName of the member to be written as TmpName; nullopt when
    // no member was given that name.
    std::optional<int> renamedOrdinal(const QString &StrZipName, const QString &TmpName) const;

    bool m_passwordRefused = false;
    QString m_unzipFolder;
    // Polled while a member is written; set only while a volume is extracted.
    const std::atomic<bool> *m_cancel = nullptr;
    QString m_nestedZip;
    std::vector<Member> m_nestedRenamed;
    std::unique_ptr<ZipIndex> m_index;
};
