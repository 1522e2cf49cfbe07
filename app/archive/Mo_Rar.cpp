// Placeholder until the RAR reader lands; replaced whole by it.
#include "archive/Mo_Rar.h"
#include "core/PageListHost.h"

void Mo_Rar::SelectRarVolume(PageListHost &, const QString &) {}
void Mo_Rar::ListNestedRar(PageListHost &, const QString &) {}
