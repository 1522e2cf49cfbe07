#include "archive/Mo_Rar.h"
#include "archive/Cls_Rar.h"
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
    Cls_Rar &reader = rarReader(host);
    const int counted = selectVolumeMembers(
        host, volumeName, reader.Get_FileCount(), [&](int i, bool on) { reader.setRarSelected(i, on); },
        [&](int i, const QString &name) { reader.setRarTmpName(i, name); });
    // A RAR volume comes out whole, in one pass over the archive.
    reader.UnCompressRAR(0, reader.RarFile(), tmp, QString(), false);
    if (counted == 0 || !volumeName.contains(u'.'))
        return;
    const int kind = FileKinds::archiveKindOfExt(FileKinds::extensionOf(volumeName));
    if (kind >= 1)
        ListNestedRar(host, tmp + QLatin1Char('/') + MemberPath::diskName(volumeName));
    else if (kind == 0)
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
        Cls_Rar nested(&host);
        nested.setRarFile(archivePath);
        nested.Rar_Directory();
        list.Clear();
        const qint32 n = nested.Get_FileCount();
        if (n == 0)
            return;
        QStringList pages, names;
        const auto found = FileKinds::nestedPages(
            n, [&](int i) { return std::pair(nested.RarFolderName(i), nested.RarFileName(i)); });
        for (const FileKinds::NestedPage &page : found) {
            nested.setRarSelected(page.index, true);
            nested.setRarTmpName(page.index, page.entry);
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
            if (!host.listingOnly())
                nested.UnCompressRAR(0, archivePath, tmp, QString(), false);
        }
    }
    // A nested archive was extracted into TmpZip and is spent now; an archive found
    // in an opened folder is the user's file and stays.
    if (host.isArchive() && info.isFile() && QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(QFileInfo(tmp).absoluteFilePath()))
        QFile::remove(archivePath);
}
