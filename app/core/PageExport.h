#pragma once
#include <QString>

// The exported page's file name and its copy. Exported pages are numbered per
// extension in the export folder: "Ox" + at least four digits + the page's own
// extension, the smallest free number first, so gaps left by deleted files fill up.
namespace PageExport {

// The counter is 16-bit signed: past this every name of an extension is taken.
inline constexpr int kMaxExportNumber = 32767;

// 1 when something of that name exists (a file, a folder, even a dangling link:
// none of them may be replaced), otherwise 0.
int ExportFileExists(const QString &path);

// The first free `folder`/Ox000n`extension`; `extension` carries its leading "."
// (or is empty for a page without one). Empty when all numbers are taken.
QString MakeExportName(const QString &folder, const QString &extension);

// The destination for the page file `pageFile`: its extension exactly as
// written (case kept). Empty when all numbers of that extension are taken.
QString exportNameFor(const QString &folder, const QString &pageFile);

enum class CopyResult { Copied, DestinationExists, SourceMissing, Failed };
struct CopyOutcome
{
    CopyResult result = CopyResult::Failed;
    QString error; // the system's reason when the copy failed
};

// Copies `source` to `destination`, which must not exist yet. The copy is
// written under a temporary name and renamed once whole, so a full disk leaves
// no half-written page behind.
CopyOutcome CopyPageFile(const QString &source, const QString &destination);

} // namespace PageExport
