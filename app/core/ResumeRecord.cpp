#include "core/ResumeRecord.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <limits>

static void putI16(QByteArray &b, int offset, qint16 v)
{
    qToLittleEndian<qint16>(v, b.data() + offset);
}

static qint16 getI16(const QByteArray &b, int offset)
{
    return qFromLittleEndian<qint16>(b.constData() + offset);
}

QByteArray ResumeRecord::encode() const
{
    QByteArray b(kSize, '\0');
    // The path is written in the locale's encoding (UTF-8), cut to 200 bytes and
    // padded with blanks. Cutting inside a multi-byte character would leave a
    // broken tail, so the cut backs off to a character boundary.
    QByteArray p = path.toUtf8();
    if (p.size() > kPathBytes) {
        int cut = kPathBytes;
        while (cut > 0 && (uchar(p.at(cut)) & 0xC0) == 0x80)
            --cut;
        p.truncate(cut);
    }
    std::memcpy(b.data(), p.constData(), size_t(p.size()));
    std::memset(b.data() + p.size(), ' ', size_t(kPathBytes - p.size()));
    const bool wide = volumeIndex > std::numeric_limits<qint16>::max();
    putI16(b, 200, wide ? std::numeric_limits<qint16>::max() : qint16(qMax(volumeIndex, -1)));
    putI16(b, 202, isArchive ? -1 : 0);
    putI16(b, 204, viewMode);
    putI16(b, 206, pagePosition);
    putI16(b, 208, rightToLeft ? -1 : 0);
    putI16(b, 210, ArchiveKinds::toStored(archiveKind));
    putI16(b, 212, hundred);
    putI16(b, 214, effect);
    putI16(b, 216, sharpen);
    if (wide) {
        b.resize(kWideSize);
        qToLittleEndian<qint32>(volumeIndex, b.data() + kSize);
    }
    return b;
}

std::optional<ResumeRecord> ResumeRecord::decode(const QByteArray &bytes)
{
    if (bytes.size() < kSize)
        return std::nullopt;
    ResumeRecord r;
    QByteArray p = bytes.left(kPathBytes);
    p.replace('\0', QByteArray());
    r.path = QString::fromUtf8(p).trimmed();
    r.volumeIndex = getI16(bytes, 200);
    // The tail counts only beside the field that points to it, so stray bytes
    // after an ordinary record change nothing.
    if (r.volumeIndex == std::numeric_limits<qint16>::max() && bytes.size() >= kWideSize) {
        const qint32 wide = qFromLittleEndian<qint32>(bytes.constData() + kSize);
        if (wide > std::numeric_limits<qint16>::max())
            r.volumeIndex = wide;
    }
    r.isArchive = getI16(bytes, 202) != 0;
    r.viewMode = getI16(bytes, 204);
    r.pagePosition = getI16(bytes, 206);
    r.rightToLeft = getI16(bytes, 208) == -1;
    r.archiveKind = ArchiveKinds::fromStored(getI16(bytes, 210));
    r.hundred = getI16(bytes, 212);
    r.effect = getI16(bytes, 214);
    r.sharpen = getI16(bytes, 216);
    return r;
}

QString ResumeRecord::fileName()
{
    return QStringLiteral("imgviewer_info.%1_%2_%3.txt")
        .arg(LEAFVIEW_VERSION_MAJOR)
        .arg(LEAFVIEW_VERSION_MINOR)
        .arg(LEAFVIEW_VERSION_REVISION);
}

bool ResumeRecord::writeTo(const QString &file) const
{
    // Written whole through a temporary file, so a crash mid-write never leaves
    // the reader with half a record in place of the old one.
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(encode());
    return f.commit();
}

std::optional<ResumeRecord> ResumeRecord::readFrom(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decode(f.read(kWideSize));
}
