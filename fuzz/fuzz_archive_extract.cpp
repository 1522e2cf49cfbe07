// Extraction: every member of the input, as a ZIP, RAR, 7z and tar archive, into a
// scratch TmpZip that is emptied after each input. Anything that appears beside
// TmpZip is a write outside it and stops the run.
#include "FuzzInput.h"
#include "FuzzReader.h"
#include "archive/ArchiveReader.h"
#include "archive/Mo_Unzip.h"
#include "archive/TmpZipWriter.h"
#include "archive/cUnzip.h"

#include <cstdio>
#include <cstdlib>

namespace {
QString tmpZip()
{
    return FuzzInput::scratch().path() + QStringLiteral("/app/TmpZip");
}

QStringList besideTmpZip()
{
    return QDir(FuzzInput::scratch().path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot) +
           QDir(FuzzInput::scratch().path() + QStringLiteral("/app"))
               .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzInput::start(argc, argv);
    QDir().mkpath(tmpZip());
    // Pages are small; a small cap keeps each input fast without changing what is checked.
    TmpZipWriter::setCapForTesting(4 * 1024 * 1024);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = FuzzInput::write(QStringLiteral("book"), data, size);
    const QStringList kinds = FuzzInput::oneReaderKinds(path, data, size);
    const QStringList before = besideTmpZip();

    cUnzip zip;
    zip.setZipFile(path);
    zip.Directory();
    zip.setUnzipFolder(tmpZip());
    for (qint32 i = 1; i <= zip.FileCount() && i <= 64; ++i) {
        const QString folder = zip.FileDirectory(i);
        zip.File_ExtractUnzip(path, (folder.isEmpty() ? QString() : folder + QLatin1Char('\\')) + zip.FileName(i));
    }

    for (const QString &name : kinds) {
        const std::unique_ptr<ArchiveReader> reader = FuzzInput::readerFor(name);
        reader->setFile(name);
        reader->list();
        for (int i = 1; i <= reader->count(); ++i)
            reader->setSelected(i, true);
        reader->extractVolume(tmpZip());
        // One member into memory, within the limits.
        if (reader->count() > 0)
            reader->readMember(reader->member(1).folder + QLatin1Char('\\') + reader->member(1).fileName);
    }

    if (besideTmpZip() != before) {
        std::fprintf(stderr, "a member was written outside TmpZip\n");
        std::abort();
    }
    QString log;
    Mo_Unzip::ClearFolder(tmpZip(), QString(), tmpZip(), log);
    return 0;
}
