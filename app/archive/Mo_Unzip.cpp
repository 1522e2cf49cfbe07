// Placeholder until the ZIP reader lands; replaced whole by it.
#include "archive/Mo_Unzip.h"
#include "core/PageListHost.h"

void Mo_Unzip::ListZip(PageListHost &, const QString &) {}
void Mo_Unzip::SelectZipVolume(PageListHost &, const QString &) {}
void Mo_Unzip::ExtractZipMember(PageListHost &, const QString &, const QString &) {}
void Mo_Unzip::ListNestedZip(PageListHost &, const QString &) {}
