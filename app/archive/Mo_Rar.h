#pragma once
#include <QString>

class PageListHost;

namespace Mo_Rar {
void SelectRarVolume(PageListHost &host, const QString &volumeName);
void ListNestedRar(PageListHost &host, const QString &archivePath);
} // namespace Mo_Rar
