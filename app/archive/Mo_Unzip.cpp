#include "archive/Mo_Unzip.h"
#include "archive/ExtractBudget.h"
#include "archive/MemberPath.h"
#include "archive/Mo_Rar.h"
#include "archive/TmpZipFolder.h"
#include "archive/cUnzip.h"
#include "listing/MemberTable.h"
#include "listing/ListingHost.h"
#include "listing/FileKinds.h"
#include "platform/ProgramPaths.h"
#include "platform/SortedList.h"

#include <QFileInfo>

using namespace TmpZipFolder;

void Mo_Unzip::ListZip(ListingHost &host, const QString &archivePath)
{
    host.Member_Table().discard();
    cUnzip &reader = zipReader(host);
    reader.setZipFile(archivePath);
    reader.Directory();
}

void Mo_Unzip::SelectZipVolume(ListingHost &host, const QString &volumeName)
{
    const QString tmp = host.tmpZip();
    clear(host);
    if (!ensureExists(host))
        return;
    cUnzip &reader = zipReader(host);
    const int counted = selectVolumeMembers(
        host, volumeName, reader.FileCount(), [&](int i, bool on) { reader.setFileSelected(i, on); },
        [&](int i, const QString &name) { reader.setFileTmpName(i, name); });
    reader.setUnzipFolder(tmp);
    if (counted == 0 || !volumeName.contains(u'.'))
        return;
    // Pages are extracted when drawn; only a nested archive is taken out now.
    const ArchiveKind kind = FileKinds::archiveKindOfExt(FileKinds::extensionOf(volumeName));
    if (kind == ArchiveKind::Zip) {
        ExtractZipMember(host, host.openPath(), volumeName);
        ListNestedZip(host, tmp + QLatin1Char('/') + MemberPath::diskName(volumeName));
    } else if (ArchiveKinds::extractsWholeVolumes(kind)) {
        ExtractZipMember(host, host.openPath(), volumeName);
        Mo_Rar::ListNestedRar(host, tmp + QLatin1Char('/') + MemberPath::diskName(volumeName));
    }
}

void Mo_Unzip::ExtractZipMember(ListingHost &host, const QString &archivePath, const QString &memberPath,
                                const QString &tmpName)
{
    cUnzip &reader = zipReader(host);
    const QString tmp = host.tmpZip();
    // Past the volume's budget the oldest pages make room (the nested archive
    // being read stays); they come out again when drawn again.
    const qint64 budget = ExtractBudget::forPages(tmp, &host.paths());
    if (ExtractBudget::usedBy(tmp) > budget)
        ExtractBudget::makeRoom(tmp, budget / 2, archivePath);
    reader.setUnzipFolder(tmp);
    if (!reader.extractRenamed(archivePath, tmpName))
        reader.File_ExtractUnzip(archivePath, memberPath, tmpName);
}

void Mo_Unzip::ListNestedZip(ListingHost &host, const QString &archivePath)
{
    // A cleanup failure is logged by the cleanup and does not stop the listing.
    clear(host, archivePath);
    cUnzip nested(&host);
    nested.setZipFile(archivePath);
    // A big archive inside a folder book is listed while the load may be given up.
    nested.setListCancel(host.cancelFlag());
    nested.Directory();
    SortedList &list = host.List1();
    list.Clear();
    if (nested.FileCount() == 0) {
        zipReader(host).keepRenamedOf(nested);
        return;
    }
    QStringList pages, names;
    const auto found = FileKinds::nestedPages(
        nested.FileCount(), [&](int i) { return std::pair(nested.FileDirectory(i), nested.FileName(i)); });
    for (const FileKinds::NestedPage &page : found) {
        pages << page.entry;
        names << page.name;
        nested.setFileSelected(page.index, true);
        if (page.renamed)
            nested.setFileTmpName(page.index, page.entry);
    }
    zipReader(host).keepRenamedOf(nested);
    list.AddItems(pages, names);
    pagesAddressable(host, QFileInfo(archivePath).fileName());
    markEmptyVolume(host);
    if (!ensureExists(host))
        return;
    host.setNoImageVisible(true);
    if (!list.isEmpty())
        host.setNoImageVisible(false);
}
