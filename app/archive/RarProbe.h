#pragma once
#include <QString>

struct ListingTexts;

// Looks at the main header of a RAR archive for the kinds the reader cannot
// read, so they get a clear message instead of an empty or partial book.
namespace RarProbe {
enum class Issue { None, MultiVolume, SolidRar4, EncryptedHeaders };
Issue check(const QString &path);
// The message for an issue in the program's language, or empty text for None.
QString message(Issue issue, const QString &path, const ListingTexts &texts);
} // namespace RarProbe
