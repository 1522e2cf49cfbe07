#pragma once
#include <QString>

class PageListHost;
class cUnzip;
class Cls_Rar;

// What both readers share about TmpZip and the page list.
namespace TmpZipFolder {
// The image-extension test of the page list, on "." + lower-cased extension.
bool isImageExt(const QString &ext);
// "." + the lower-cased text after the last "." of name ("" when there is none).
QString dotExtension(const QString &name);
// Shows "Extract folder does not exist" when TmpZip is missing; true when it exists.
bool ensureExists(PageListHost &host);
// Empties TmpZip, keeping `keep` (may be empty). False when the cleanup failed;
// the failure is then in ErrorLog.
bool clear(PageListHost &host, const QString &keep = QString());
// Marks the selected volume entry "ⓧ " when the nested listing found no page.
void markEmptyVolume(PageListHost &host);
// The program-wide readers, made on first use.
cUnzip &zipReader(PageListHost &host);
Cls_Rar &rarReader(PageListHost &host);
} // namespace TmpZipFolder
