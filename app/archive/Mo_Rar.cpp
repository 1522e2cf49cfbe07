#include "archive/Mo_Rar.h"
#include "archive/ArchiveReader.h"
#include "archive/MemberPath.h"
#include "archive/Mo_Unzip.h"
#include "archive/TmpZipFolder.h"
#include "listing/MemberTable.h"
#include "listing/ListingHost.h"
#include "listing/FileKinds.h"
#include "platform/ProgramPaths.h"
#include "platform/SortedList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace TmpZipFolder;

void Mo_Rar::SelectRarVolume(ListingHost &host, const QString &volumeName)
{
    const QString tmp = host.tmpZip();
    clear(host);
    if (!ensureExists(host))
        return;
    ArchiveReader &reader = rarReader(host);
    const int counted = selectVolumeMembers(
        host, volumeName, reader.count(), [&](int i, bool on) { reader.setSelected(i, on); },
        [&](int i, const QString &name) { reader.setTmpName(i, name); });
    const ArchiveKind kind = FileKinds::archiveKindOfExt(FileKinds::extensionOf(volumeName));
    const bool nested = counted > 0 && volumeName.contains(u'.') && kind != ArchiveKind::None;
    // The pages of a nested archive are known only once it is out and listed.
    if (!nested)
        host.pagesListed();
    // A RAR volume comes out whole, in one pass over the archive.
    if (reader.extractVolume(tmp, progressTo(host)) == ExtractOutcome::Cancelled || !nested)
        return;
    if (ArchiveKinds::extractsWholeVolumes(kind))
        ListNestedRar(host, tmp + QLatin1Char('/') + MemberPath::diskName(volumeName));
    else if (kind == ArchiveKind::Zip)
        Mo_Unzip::ListNestedZip(host, tmp + QLatin1Char('/') + MemberPath::diskName(volumeName));
}

void Mo_Rar::ListNestedRar(ListingHost &host, const QString &archivePath)
{
    const QString tmp = host.tmpZip();
    // A cleanup failure is logged by the cleanup and does not stop the listing.
    clear(host, archivePath);
    SortedList &list = host.List1();
    const QFileInfo info(archivePath);
    {
        // Read by the reader of its name's kind; a name of no such kind, as a RAR.
        const ArchiveKind kind = FileKinds::archiveKindOfExt(FileKinds::extensionOf(archivePath));
        const std::unique_ptr<ArchiveReader> reader =
            ArchiveReader::make(ArchiveKinds::extractsWholeVolumes(kind) ? kind : ArchiveKind::Rar, &host);
        ArchiveReader &nested = *reader;
        nested.setFile(archivePath);
        // A big archive inside a folder book is listed while the load may be given up.
        nested.setListCancel(host.cancelFlag());
        nested.list();
        list.Clear();
        const int n = nested.count();
        if (n == 0)
            return;
        QStringList pages, names;
        const auto found = FileKinds::nestedPages(
            n, [&](int i) { return std::pair(nested.member(i).folder, nested.member(i).fileName); });
        for (const FileKinds::NestedPage &page : found) {
            nested.setSelected(page.index, true);
            nested.setTmpName(page.index, page.entry);
            pages << (host.isArchive() ? page.entry : tmp + QLatin1Char('/') + MemberPath::diskName(page.entry));
            names << page.name;
        }
        list.AddItems(pages, names);
        pagesAddressable(host, info.fileName());
        markEmptyVolume(host);
        if (!ensureExists(host))
            return;
        host.setNoImageVisible(true);
        if (!list.isEmpty()) {
            host.setNoImageVisible(false);
            if (!host.listingOnly()) {
                host.pagesListed();
                nested.extractVolume(tmp, progressTo(host));
            }
        }
    }
    // A nested archive was extracted into TmpZip and is spent now; an archive found
    // in an opened folder is the user's file and stays.
    if (host.isArchive() && info.isFile() && QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(QFileInfo(tmp).absoluteFilePath()))
        QFile::remove(archivePath);
}
