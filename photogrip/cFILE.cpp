#include "cFILE.h"

#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QLocale>
#include <QMimeDatabase>
#include <QPainter>

namespace {

// Size of a large shell icon.
constexpr int kIconPixels = 32;

// Cuts s to n UTF-16 units without splitting a surrogate pair.
QString leftChars(const QString &s, qsizetype n)
{
    if (n <= 0)
        return {};
    if (n < s.size() && s.at(n - 1).isHighSurrogate())
        --n;
    return s.left(n);
}

} // namespace

void cFILE::reset()
{
    m_size = 0;
    m_isJpeg = false;
    m_path.clear();
    m_pathFull.clear();
    m_pathCompact.clear();
    m_typeInfoFilled = false;
    m_typeName.clear();
    m_displayName.clear();
    m_iconName.clear();
}

bool cFILE::Load(const QString &sFileName)
{
    reset();
    // No limit on the path's length: deep folders inside extracted archives are
    // common, and a page must open wherever it lies.
    // Only regular files: opening a pipe or a device would block.
    QFile file(sFileName);
    if (sFileName.isEmpty() || !QFileInfo(sFileName).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    m_size = qint32(quint32(quint64(file.size()) & 0xffffffffu));
    char head[2];
    m_isJpeg = file.read(head, 2) == 2 && uchar(head[0]) == 0xFF && uchar(head[1]) == 0xD8;
    file.close();

    m_path = sFileName;
    m_pathFull = CompactPath(sFileName, kFullPathChars);
    m_pathCompact = CompactPath(sFileName, kCompactPathChars);
    return true;
}

void cFILE::fillTypeInfo() const
{
    if (m_typeInfoFilled || m_path.isEmpty())
        return;
    m_typeInfoFilled = true;
    const QFileInfo info(m_path);
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(info);
    m_typeName = mime.comment();
    m_displayName = info.fileName();
    m_iconName = QIcon::hasThemeIcon(mime.iconName()) ? mime.iconName() : mime.genericIconName();
}

QString cFILE::Size() const
{
    return QString::number(m_size);
}

QString cFILE::SizeText(qint32 size)
{
    const QLocale locale;
    const double bytes = double(size);
    QString unit;
    float q = float(bytes / 1024 / 1024 / 1024);
    if (q >= 1) {
        unit = QStringLiteral("GB");
    } else {
        q = float(bytes / 1024 / 1024);
        if (q >= 1) {
            unit = QStringLiteral("MB");
        } else {
            q = float(bytes / 1024);
            if (q >= 1)
                unit = QStringLiteral("KB");
        }
    }
    float number;
    if (unit.isEmpty()) {
        unit = QStringLiteral("Bytes");
        number = float(size);
    } else {
        // Rounded through the locale's two-decimal text, so 1023.999 KB reads as 1024 KB.
        bool ok = false;
        number = locale.toFloat(locale.toString(double(q), 'f', 2), &ok);
        if (!ok)
            number = q;
    }
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(double(number), 'g', 7) + QLatin1Char(' ') + unit;
}

QString cFILE::SizeString() const
{
    return SizeText(m_size);
}

QString cFILE::IsJPG() const
{
    return m_isJpeg ? QStringLiteral("True") : QStringLiteral("False");
}

QString cFILE::TypeName() const
{
    fillTypeInfo();
    return m_typeName;
}

QString cFILE::DisplayName() const
{
    fillTypeInfo();
    return m_displayName;
}

void cFILE::Icon(QImage &hdc) const
{
    fillTypeInfo();
    if (m_iconName.isEmpty() || hdc.isNull())
        return;
    const QIcon icon = QIcon::fromTheme(m_iconName);
    if (icon.isNull())
        return;
    QPainter p(&hdc);
    if (p.isActive())
        icon.paint(&p, QRect(0, 0, kIconPixels, kIconPixels));
}

QString cFILE::PathCompact() const
{
    return m_pathCompact;
}

QString cFILE::PathFull() const
{
    return m_pathFull;
}

QString cFILE::CompactPath(const QString &path, int maxChars)
{
    if (path.size() <= maxChars)
        return path;
    const QString dots = QStringLiteral("...");
    if (maxChars <= dots.size())
        return leftChars(path, maxChars);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = slash >= 0 ? path.mid(slash) : path; // with its leading "/"
    if (slash >= 0 && name.size() + dots.size() <= maxChars) {
        // Keep the head of the path and the whole file name, dots between.
        return leftChars(path, maxChars - dots.size() - name.size()) + dots + name;
    }
    // The file name alone is too long: keep its beginning.
    const QString bare = slash >= 0 ? path.mid(slash + 1) : path;
    return leftChars(bare, maxChars - dots.size()) + dots;
}
