#pragma once
#include "listing/MemberTable.h"

#include <QStringList>

// How the member records of a source fall into volumes: the rule the reading
// session builds its volume list with, and the thumbnailer finds the first page by.
namespace VolumeNames {
// Volume_Build steps 3 and 4: derives every record's volume name and returns the
// distinct non-empty names in order of first appearance.
QStringList deriveVolumes(MemberTable &table);
} // namespace VolumeNames
