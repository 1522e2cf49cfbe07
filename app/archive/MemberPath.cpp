#include "archive/MemberPath.h"
#include "platform/LegacyCodePage.h"

#include <archive_entry.h>

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
    return leaf;
}

QString safeFlatName(const QString &name)
{
    if (name.isEmpty() || name.contains(QChar(u'\0')) || name.contains(u'/') || name == u"." || name == u"..")
        return QString();
    return name;
}

bool isPlainFile(archive_entry *entry)
{
    // Every form is asked: one whose name cannot be converted reads as absent.
    return archive_entry_filetype(entry) == AE_IFREG && archive_entry_hardlink(entry) == nullptr &&
           archive_entry_hardlink_w(entry) == nullptr && archive_entry_hardlink_utf8(entry) == nullptr &&
           archive_entry_symlink(entry) == nullptr && archive_entry_symlink_w(entry) == nullptr;
}

} // namespace MemberPath
