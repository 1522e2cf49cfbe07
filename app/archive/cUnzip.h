#pragma once
#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class ListingHost;
class ZipIndex;
struct archive;
struct archive_entry;

// Reader of one ZIP archive: lists its members in central-directory order and
// extracts single members, flat, into UnzipFolder.
class cUnzip : public QObject
{
    Q_OBJECT
public:
    explicit cUnzip(ListingHost *host = nullptr, QObject *parent = nullptr);
    ~cUnzip() override;

    QString ZipFile() const { return m_zipFile; }
    void setZipFile(const QString &path); // empties the entries
    QString UnzipFolder() const { return m_unzipFolder; }
    void setUnzipFolder(const QString &folder) { m_unzipFolder = folder; }

    qint32 Directory();
    qint32 FileCount() const { return qint32(m_entries.size()); }
    // 1-based; an index outside 1..FileCount throws std::out_of_range.
    QString FileName(qint32 index) const;
    QString FileDirectory(qint32 index) const;
    // The member's place among the archive's headers (0 the first), as a reader
    // walking the archive meets it.
    int FileOrdinal(qint32 index) const;
    bool FileSelected(qint32 index) const;
    void setFileSelected(qint32 index, bool selected);
    // A member that shares its path with another gets a TmpZip name of its own.
    void setFileTmpName(qint32 index, const QString &name);

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

    struct Entry
    {
        QString fileName;
        QString folder;
        bool selected = false;
        bool encrypted = false;
        int ordinal = 0; // its place among the archive's headers
        QString tmpName;
    };

signals:
    void Cancel(const QString &message, bool &cancel);
    void OverwritePrompt(const QString &fileName, qint32 &answer);
    void PasswordRequest(QString &password, bool &cancel);
    void Progress(qint32 count, const QString &message);

private:
    friend class cUnzipAccess;
    enum class Outcome { Written, Exists, NeedsPassword, Failed };
    Outcome extractOne(const QString &zipPath, const QString &memberPath, const QString &tmpName,
                       const QString &password);
    // What one member of the wanted path comes to; nullopt when another member of
    // that path may still do (`result` then holds what this one came to).
    std::optional<Outcome> takeMember(archive *a, archive_entry *e, const QString &name, const QString &tmpName,
                                      const QString &zipPath, const QString &password, Outcome &result,
                                      bool logFailure);
    // The member positions of `zipPath`, read once while the archive stays unchanged.
    const ZipIndex &indexOf(const QString &zipPath);
    const Entry &entry(qint32 index) const;
    // The place in StrZipName of the member to be written as TmpName; nullopt when
    // no member was given that name.
    std::optional<int> renamedOrdinal(const QString &StrZipName, const QString &TmpName) const;
    // A listing that cannot start: shown titled "Error" and logged.
    void showError(const QString &text);

    ListingHost *m_host;
    bool m_passwordRefused = false;
    QString m_zipFile;
    QString m_unzipFolder;
    std::vector<Entry> m_entries;
    QString m_nestedZip;
    std::vector<Entry> m_nestedRenamed;
    std::unique_ptr<ZipIndex> m_index;
};
