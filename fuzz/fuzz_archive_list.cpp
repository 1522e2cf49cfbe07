// Listing: the input as a ZIP, a RAR (4 and 5 alike), a 7z and a tar archive,
// through the reader classes, the RAR probe and checksum walk, and the volume rules.
#include "FuzzInput.h"
#include "FuzzReader.h"
#include "archive/ArchiveReader.h"
#include "archive/RarChecksums.h"
#include "archive/RarProbe.h"
#include "archive/cUnzip.h"
#include "listing/MemberTable.h"
#include "core/VolumeRules.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzInput::start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = FuzzInput::write(QStringLiteral("book"), data, size);
    MemberTable table;
    table.dimension(0);

    cUnzip zip;
    zip.setZipFile(path);
    zip.Directory();
    for (qint32 i = 1; i <= zip.FileCount(); ++i)
        table.append({zip.FileName(i), zip.FileDirectory(i), {}});

    RarProbe::check(path);
    RarChecksums::read(path);
    // The reader's kind follows the name: no extension reads as RAR.
    for (const QString &name : FuzzInput::oneReaderKinds(path, data, size)) {
        const std::unique_ptr<ArchiveReader> reader = FuzzInput::readerFor(name);
        reader->setFile(name);
        reader->list();
        for (int i = 1; i <= reader->count(); ++i)
            table.append({reader->member(i).fileName, reader->member(i).folder, {}});
    }

    VolumeRules::deriveVolumes(table);
    return 0;
}
