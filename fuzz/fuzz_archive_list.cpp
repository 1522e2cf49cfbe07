// Listing: the input as a ZIP and as a RAR archive (RAR 4 and 5 alike), through
// the reader classes, the RAR probe and checksum walk, and the volume rules.
#include "FuzzInput.h"
#include "archive/Cls_Rar.h"
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
    Cls_Rar rar;
    rar.setRarFile(path);
    rar.Rar_Directory();
    for (qint32 i = 1; i <= rar.Get_FileCount(); ++i)
        table.append({rar.RarFileName(i), rar.RarFolderName(i), {}});

    VolumeRules::deriveVolumes(table);
    return 0;
}
