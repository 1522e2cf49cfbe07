#pragma once
#include "listing/ArchiveKind.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The resume file: one 218-byte little-endian record, no header. It lives across
// runs, one file per program version, so its layout must never change. A volume
// index past 16 bits alone adds a 4-byte tail holding it whole, with the 16-bit
// field at its largest value; every other record stays 218 bytes.
struct ResumeRecord
{
    static constexpr int kSize = 218;
    static constexpr int kWideSize = kSize + 4;
    static constexpr int kPathBytes = 200;

    QString path;            // OpenPath
    qint32 volumeIndex = -1; // cb_list's selected index
    bool isArchive = false;  // stored as -1 / 0
    qint16 viewMode = 1;
    qint16 pagePosition = 0; // page index, or spread index in two-page mode
    bool rightToLeft = false; // stored as -1 / 0
    ArchiveKind archiveKind = ArchiveKind::Zip; // stored as its number (ArchiveKinds::toStored)
    qint16 hundred = 0;  // check-box values 0 / 1
    qint16 effect = 0;
    qint16 sharpen = 0;

    QByteArray encode() const;
    // nullopt when the data is shorter than a record.
    static std::optional<ResumeRecord> decode(const QByteArray &bytes);

    // "imgviewer_info.1_7_0.txt"
    static QString fileName();
    bool writeTo(const QString &file) const;
    static std::optional<ResumeRecord> readFrom(const QString &file);
};
