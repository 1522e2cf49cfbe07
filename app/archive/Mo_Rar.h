#pragma once
#include <QString>

class ListingHost;

namespace Mo_Rar {
void SelectRarVolume(ListingHost &host, const QString &volumeName);
void ListNestedRar(ListingHost &host, const QString &archivePath);
} // namespace Mo_Rar
