#pragma once
#include "archive/ArchiveReader.h"
#include "listing/FileKinds.h"

#include <memory>

namespace FuzzInput {
// The reader of a name's kind; a name of no kind (or a ZIP name) is read as a RAR.
inline std::unique_ptr<ArchiveReader> readerFor(const QString &name)
{
    const ArchiveKind kind = FileKinds::archiveKindOfExt(FileKinds::extensionOf(name));
    return ArchiveReader::make(ArchiveKinds::extractsWholeVolumes(kind) ? kind : ArchiveKind::Rar);
}
} // namespace FuzzInput
