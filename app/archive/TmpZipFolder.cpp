#include "archive/TmpZipFolder.h"
#include "archive/ArchiveReader.h"
#include "archive/Mo_Unzip.h"
#include "archive/cUnzip.h"
#include "listing/MemberTable.h"
#include "listing/ListingHost.h"
#include "platform/ProgramPaths.h"
#include "listing/FileKinds.h"
#include "platform/Prompts.h"
#include "platform/SortedList.h"

#include <QFileInfo>
#include <vector>

namespace TmpZipFolder {

int selectVolumeMembers(ListingHost &host, const QString &volumeName, int readerCount,
                        const std::function<void(int, bool)> &setSelected,
                        const std::function<void(int, const QString &)> &setTmpName)
{
    SortedList &list = host.List1();
    MemberTable &members = host.Member_Table();
    list.Clear();
    QStringList pages;
    std::vector<int> indices;
    for (int i = 1; i <= members.upper(); ++i) {
        const MemberRecord &rec = members.at(i);
        const bool mine = rec.volumeName == volumeName;
        if (i <= readerCount)
            setSelected(i, mine);
        if (mine) {
            pages << rec.fileName;
            indices.push_back(i);
        }
    }
    const int counted = int(indices.size());
    if (setTmpName) {
        const std::vector<bool> renamed = makeDistinct(pages);
        for (int k = 0; k < counted; ++k) {
            if (indices[std::size_t(k)] <= readerCount)
                setTmpName(indices[std::size_t(k)], renamed[std::size_t(k)] ? pages[k] : QString());
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

bool pagesAddressable(ListingHost &host, const QString &volumeName)
{
    SortedList &list = host.List1();
    if (list.ListCount() <= FileKinds::MaxPages)
        return true;
    const QString text = host.texts().tooManyPages.arg(volumeName, QString::number(list.ListCount()),
                                                       QString::number(FileKinds::MaxPages));
    list.Clear();
    host.logError(text);
    host.showMessage(host.titleText(), text, MsgIcon::Exclamation);
    return false;
}

bool ensureExists(ListingHost &host)
{
    const QString tmp = host.tmpZip();
    if (QFileInfo(tmp).isDir())
        return true;
    host.showMessage(host.texts().tmpMissingTitle, host.texts().tmpMissing.arg(tmp), MsgIcon::Critical);
    return false;
}

bool clear(ListingHost &host, const QString &keep)
{
    return Mo_Unzip::ClearFolder(host.tmpZip(), keep, host.tmpZip(), host.errorLog());
}

void markEmptyVolume(ListingHost &host)
{
    if (host.cbListCount() >= 1 && host.List1().isEmpty())
        host.setCbListText(QStringLiteral("ⓧ ") + host.cbListText());
}

cUnzip &zipReader(ListingHost &host)
{
    auto &r = host.zipReaderSlot();
    if (!r)
        r = std::make_unique<cUnzip>(&host);
    return *r;
}

ArchiveReader &rarReader(ListingHost &host, std::optional<ArchiveKind> kind)
{
    auto &r = host.rarReaderSlot();
    if (!r || (kind && r->kind() != *kind))
        r = ArchiveReader::make(kind.value_or(ArchiveKind::Rar), &host);
    return *r;
}

ExtractControl progressTo(ListingHost &host)
{
    ExtractControl control;
    control.progress = [&host](int member, int members) {
        host.ZipFile_Progress(member, members, host.loadingMessage());
    };
    control.cancel = host.cancelFlag();
    control.written = [&host](int) { host.memberWritten(); };
    return control;
}

} // namespace TmpZipFolder
