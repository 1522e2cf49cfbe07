#include "archive/TmpZipFolder.h"
#include "archive/Cls_Rar.h"
#include "archive/Mo_Unzip.h"
#include "archive/cUnzip.h"
#include "core/PageListHost.h"
#include "core/Program.h"
#include "platform/Prompts.h"
#include "platform/SortedList.h"

#include <QFileInfo>

namespace TmpZipFolder {

bool isImageExt(const QString &ext)
{
    static const QStringList exts = {QStringLiteral(".jpeg"), QStringLiteral(".jpg"), QStringLiteral(".ani"),
                                     QStringLiteral(".bmp"),  QStringLiteral(".png"), QStringLiteral(".gif"),
                                     QStringLiteral(".img")};
    return exts.contains(ext);
}

QString dotExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return QString();
    return QLatin1Char('.') + name.mid(dot + 1).toLower();
}

bool ensureExists(PageListHost &host)
{
    Program &p = host.program();
    const QString tmp = p.paths.tmpZip();
    if (QFileInfo(tmp).isDir())
        return true;
    if (p.prompts)
        p.prompts->messageBox(host.dialogOwner(), QStringLiteral("Extract folder does not exist"),
                              tmp + QStringLiteral(" does not exist!"), MsgIcon::Critical, MsgButtons::Ok);
    return false;
}

bool clear(PageListHost &host, const QString &keep)
{
    Program &p = host.program();
    return Mo_Unzip::ClearFolder(p.paths.tmpZip(), keep, p.paths.tmpZip(), p.ErrorLog);
}

void markEmptyVolume(PageListHost &host)
{
    if (host.cbListCount() >= 1 && host.List1().isEmpty())
        host.setCbListText(QStringLiteral("ⓧ ") + host.cbListText());
}

cUnzip &zipReader(PageListHost &host)
{
    auto &r = host.program().ZipReader;
    if (!r)
        r = std::make_unique<cUnzip>(&host);
    return *r;
}

Cls_Rar &rarReader(PageListHost &host)
{
    auto &r = host.program().RarReader;
    if (!r)
        r = std::make_unique<Cls_Rar>(&host);
    return *r;
}

} // namespace TmpZipFolder
