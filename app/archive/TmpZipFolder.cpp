#include "archive/TmpZipFolder.h"
#include "archive/Cls_Rar.h"
#include "archive/Mo_Unzip.h"
#include "archive/cUnzip.h"
#include "core/MemberTable.h"
#include "core/PageListHost.h"
#include "core/Program.h"
#include "core/VolumeRules.h"
#include "platform/Prompts.h"
#include "platform/SortedList.h"

#include <QFileInfo>

namespace TmpZipFolder {

int selectVolumeMembers(PageListHost &host, const QString &volumeName, int readerCount,
                        const std::function<void(int, bool)> &setSelected)
{
    SortedList &list = host.List1();
    MemberTable &members = host.Member_Table();
    list.Clear();
    QStringList pages;
    int counted = 0;
    for (int i = 1; i <= members.upper(); ++i) {
        const MemberRecord &rec = members.at(i);
        const bool mine = rec.volumeName == volumeName;
        if (i <= readerCount)
            setSelected(i, mine);
        if (mine) {
            pages << rec.fileName;
            ++counted;
        }
    }
    list.AddItems(pages);
    if (!pagesAddressable(host, volumeName)) {
        // Nothing of a refused volume is extracted.
        for (int i = 1; i <= std::min(members.upper(), readerCount); ++i)
            setSelected(i, false);
        return 0;
    }
    return counted;
}

bool pagesAddressable(PageListHost &host, const QString &volumeName)
{
    SortedList &list = host.List1();
    if (list.ListCount() <= VolumeRules::MaxPages)
        return true;
    Program &p = host.program();
    const QString text = QStringLiteral("%1: %2쪽은 너무 많아 이 권을 열 수 없습니다 (한 권에 %3쪽까지).")
                             .arg(volumeName)
                             .arg(list.ListCount())
                             .arg(VolumeRules::MaxPages);
    list.Clear();
    p.logError(text);
    if (p.prompts)
        p.prompts->messageBox(host.dialogOwner(), p.lang.Title_Text, text, MsgIcon::Exclamation, MsgButtons::Ok);
    return false;
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
