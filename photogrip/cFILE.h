#pragma once
// The library's private file-information object: Load opens a file and records
// its size, whether it starts like a JPEG file, its type name, display name and
// icon, and two shortened forms of its path.
#include <QString>

class QImage;

class cFILE
{
public:
    // The widths of the two shortened paths.
    static constexpr int kFullPathChars = 254;
    static constexpr int kCompactPathChars = 19;

    bool Load(const QString &sFileName);
    QString Size() const;
    QString SizeString() const;
    QString IsJPG() const;
    QString TypeName() const;
    QString DisplayName() const;
    // Draws the file type's theme icon at (0, 0) of hdc, or nothing when the
    // theme has none.
    void Icon(QImage &hdc) const;
    QString PathCompact() const;
    QString PathFull() const;

    // The text SizeString gives for a size (low 32 bits of the byte count).
    static QString SizeText(qint32 size);
    // Shortens a path to at most maxChars characters by putting "..." in its
    // middle, keeping the file name whole where it fits.
    static QString CompactPath(const QString &path, int maxChars);

private:
    void reset();
    void fillTypeInfo() const;

    qint32 m_size = 0;
    bool m_isJpeg = false;
    QString m_path;
    QString m_pathFull;
    QString m_pathCompact;
    // The type fields cost a look-up in the MIME database; the page-drawing path
    // opens every page through Load and never reads them, so they are filled on
    // first use.
    mutable bool m_typeInfoFilled = false;
    mutable QString m_typeName;
    mutable QString m_displayName;
    mutable QString m_iconName;
};
