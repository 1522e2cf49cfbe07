#include "archive/Cls_Rar.h"
#include "archive/RarProbe.h"
#include "listing/ListingHost.h"

QString Cls_Rar::ParseFilename(const QString &Path)
{
    for (qsizetype i = Path.size() - 1; i >= 0; --i) {
        if (Path.at(i) == u'/' || Path.at(i) == u'\\')
            return Path.mid(i + 1);
    }
    return Path;
}

QString Cls_Rar::RarFolderOf(const QString &Name)
{
    for (qsizetype i = Name.size() - 1; i >= 0; --i) {
        if (Name.at(i) == u'/' || Name.at(i) == u'\\')
            return Name.left(i).toLower();
    }
    return QString();
}

MemberPath::Split Cls_Rar::splitName(QString name) const
{
    // A RAR made on Windows parts its levels with "\"; folder texts are lower-cased.
    name.replace(u'/', u'\\');
    return {RarFolderOf(name), ParseFilename(name)};
}

QString ListingTexts::*Cls_Rar::notThisFormat() const
{
    return &ListingTexts::notRar;
}

QString Cls_Rar::refusal(const QString &path) const
{
    const RarProbe::Issue issue = RarProbe::check(path);
    if (issue == RarProbe::Issue::None)
        return QString();
    // Without a host there is nobody to tell, but the archive is still refused.
    return m_host ? RarProbe::message(issue, path, m_host->texts()) : QStringLiteral("unreadable RAR archive");
}

std::vector<RarChecksums::Member> Cls_Rar::checksums(const QString &path) const
{
    return RarChecksums::read(path);
}
