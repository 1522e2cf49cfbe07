#pragma once
#include "listing/FileKinds.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class ListingHost;
class cUnzip;
class ArchiveReader;
struct ExtractControl;

// What both readers share about TmpZip and the page list.
namespace TmpZipFolder {
// Shows "Extract folder does not exist" when TmpZip is missing; true when it exists.
bool ensureExists(ListingHost &host);
// Empties TmpZip, keeping `keep` (may be empty). False when the cleanup failed;
// the failure is then in ErrorLog.
bool clear(ListingHost &host, const QString &keep = QString());
// Fills List1 with the members of one volume and tells the reader, through
// setSelected(index, selected), which of its first readerCount entries those are.
// With setTmpName, a reader that writes members by index learns the TmpZip name
// of each member of the volume: its file name, or, for a later member of a name
// already taken (folders that differ only in case, or in "/" against "\"), that
// name with a short suffix, which is also its page-list text. Returns how many
// members the volume has.
int selectVolumeMembers(ListingHost &host, const QString &volumeName, int readerCount,
                        const std::function<void(int, bool)> &setSelected,
                        const std::function<void(int, const QString &)> &setTmpName = {});
using FileKinds::makeDistinct;
// False, after clearing List1 and telling the reader, when List1 holds more pages
// than a page index can address.
bool pagesAddressable(ListingHost &host, const QString &volumeName);
// Marks the selected volume entry "ⓧ " when the nested listing found no page.
void markEmptyVolume(ListingHost &host);
// The program-wide readers, made on first use: the ZIP reader, and the reader of
// a book whose volumes come out whole, made for `kind` (RAR, 7z or tar) when the
// one there reads another kind, or as a RAR reader when none is there.
cUnzip &zipReader(ListingHost &host);
ArchiveReader &rarReader(ListingHost &host, std::optional<ArchiveKind> kind = std::nullopt);
// A volume's extraction reporting to the host's wait panel.
ExtractControl progressTo(ListingHost &host);
} // namespace TmpZipFolder
