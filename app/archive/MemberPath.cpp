#include "archive/MemberPath.h"
#include "platform/LegacyCodePage.h"

#include <QCryptographicHash>
#include <QFile>
#include <archive_entry.h>
#include <climits>

namespace MemberPath {

Split SplitMemberPath(const QString &memberPath)
{
    QString name = memberPath;
    const qsizetype nul = name.indexOf(QChar(u'\0'));
    if (nul >= 0)
        name.truncate(nul);
    // A leading "/" stays a "/"; only later ones count as separators.
    qsizetype lastSep = -1;
    for (qsizetype i = 1; i < name.size(); ++i) {
        if (name.at(i) == u'/') {
            name[i] = u'\\';
            lastSep = i;
        }
    }
    if (lastSep < 0)
        return {QString(), name};
    return {name.left(lastSep), name.mid(lastSep + 1)};
}

QString decodedName(archive_entry *entry)
{
    if (const char *raw = archive_entry_pathname(entry))
        return LegacyCodePage::decodeName(QByteArray(raw));
    // The library could not give the name in the locale's form; its wide form is
    // the best there is.
    if (const wchar_t *w = archive_entry_pathname_w(entry))
        return QString::fromWCharArray(w);
    if (const char *u = archive_entry_pathname_utf8(entry))
        return QString::fromUtf8(u);
    return QString();
}

QString comparable(const QString &memberPath)
{
    QString s = memberPath;
    s.replace(u'\\', u'/');
    return s;
}

QString safeLeaf(const QString &memberPath)
{
    if (memberPath.contains(QChar(u'\0')))
        return QString();
    const qsizetype cut = std::max(memberPath.lastIndexOf(u'/'), memberPath.lastIndexOf(u'\\'));
    const QString leaf = memberPath.mid(cut + 1);
    if (leaf.isEmpty() || leaf == u"." || leaf == u"..")
        return QString();
    return diskName(leaf);
}

QString safeFlatName(const QString &name)
{
    if (name.isEmpty() || name.contains(QChar(u'\0')) || name.contains(u'/') || name == u"." || name == u"..")
        return QString();
    return diskName(name);
}

QString diskName(const QString &name)
{
    if (QFile::encodeName(name).size() <= NAME_MAX)
        return name;
    // An extension the decoders may go by is kept; a "." far from the end is no extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString ext = dot > 0 && name.size() - dot <= 16 ? name.mid(dot) : QString();
    const QString tag = QLatin1Char('~') +
                        QString::fromLatin1(QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
    qsizetype room = NAME_MAX - QFile::encodeName(tag + ext).size();
    // The start of the name, whole characters only, as many as fit.
    qsizetype end = 0;
    while (end < name.size() - ext.size()) {
        const qsizetype step = name.at(end).isHighSurrogate() && end + 1 < name.size() ? 2 : 1;
        room -= QFile::encodeName(name.mid(end, step)).size();
        if (room < 0)
            break;
        end += step;
    }
    return name.left(end) + tag + ext;
}

bool isPlainFile(archive_entry *entry)
{
    // Every form is asked: one whose name cannot be converted reads as absent.
    return archive_entry_filetype(entry) == AE_IFREG && archive_entry_hardlink(entry) == nullptr &&
           archive_entry_hardlink_w(entry) == nullptr && archive_entry_hardlink_utf8(entry) == nullptr &&
           archive_entry_symlink(entry) == nullptr && archive_entry_symlink_w(entry) == nullptr;
}

bool isHardLink(archive_entry *entry)
{
    // The file type is not asked: a tar link carries none of its own (its
    // target's bytes are all it can stand for, and only a plain file's are kept).
    return archive_entry_hardlink(entry) != nullptr && archive_entry_symlink(entry) == nullptr &&
           archive_entry_symlink_w(entry) == nullptr;
}

} // namespace MemberPath
