#pragma once
#include <QString>
#include <vector>

class ListingHost;
struct ListingTexts;
class ArchiveHandle;

// Reader of one RAR archive: lists every header (folders included) in archive
// order and extracts the selected entries of a volume in one pass. 7z and tar
// archives are read the same way (their kind follows the file's extension): one
// pass also suits a solid 7z, whose block would otherwise be unpacked per page.
class Cls_Rar
{
public:
    explicit Cls_Rar(ListingHost *host = nullptr);
    ~Cls_Rar();

    QString RarFile() const { return m_rarFile; }
    void setRarFile(const QString &NewFile); // empties both lists; sets the kind
    QString RarFolderName(qint32 Index) const;
    QString RarFileName(qint32 Index) const;
    bool RarSelected(qint32 Index) const;
    void setRarSelected(qint32 Index, bool IsSelect);
    qint32 Get_FileCount() const { return qint32(m_entries.size()); }
    // The flat file name the entry is extracted under in TmpZip; its file name
    // unless set (the page-list text of a page in a folder of a nested archive).
    void setRarTmpName(qint32 Index, const QString &name);

    void Rar_Directory();
    void UnRar_Exe(qint32 Op_Flag, const QString &ExtractFile, const QString &TrgPath);
    void UnCompressRAR(qint32 Mode, const QString &RarFile, const QString &DesPath, const QString &Password,
                       bool IsSubRar);

    static QString ParseFilename(const QString &Path);
    static QString RarFolderOf(const QString &Name);

    struct Entry
    {
        QString folder;
        QString fileName;
        bool selected = false;
        QString tmpName;
    };

private:
    const Entry &entry(qint32 Index) const;
    // Mode 2 lists every header; any other mode only walks them.
    void WalkRarHeaders(qint32 mode, const QString &path);
    bool openArchive(ArchiveHandle &h, const QString &path);
    // Shows the message under the error title and abandons the archive.
    void ShowRarError(const QString &message);
    // The same with one of the readers' texts about the archive at path.
    void ShowRarError(const QString &path, QString ListingTexts::*text);

    ListingHost *m_host;
    int m_kind = 1; // archive kind of the name rules: 1 RAR, 2 7z, 3 tar
    QString m_rarFile;
    std::vector<Entry> m_entries;
};
