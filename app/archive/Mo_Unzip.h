#pragma once
#include <QString>

class ListingHost;

namespace Mo_Unzip {
void ListZip(ListingHost &host, const QString &archivePath);
void SelectZipVolume(ListingHost &host, const QString &volumeName);
// The member is written into TmpZip as `tmpName` (its page-list text) when given,
// else under its file name.
void ExtractZipMember(ListingHost &host, const QString &archivePath, const QString &memberPath,
                      const QString &tmpName = QString());
void ListNestedZip(ListingHost &host, const QString &archivePath);

// Empties `folder`: every file except `keepFile` (exact path) is deleted, read-only
// ones included, and every sub-folder is emptied and removed. The folder itself is
// removed too unless it is `tmpZip` (the program's temporary folder is emptied,
// never removed). Symbolic links are removed, never followed. A failure stops the
// work and appends CR LF and its description to errorLog; returns false then.
bool ClearFolder(const QString &folder, const QString &keepFile, const QString &tmpZip, QString &errorLog);
} // namespace Mo_Unzip
