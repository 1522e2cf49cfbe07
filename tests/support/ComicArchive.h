#pragma once
#include <QColor>
#include <QString>
#include <QStringList>

// A comic archive laid out as the ones people trade: five JPEG pages (114 x 160,
// one flat shade each) in a single inner folder, a metadata file beside them and
// one at the root. Stands in for the third-party comic where that is absent.
namespace ComicArchive {
inline const QString folder = QStringLiteral("Comic 001");
QStringList pageNames();   // in reading order
QColor pageShade(int page); // 0-based
// ZIP for ".cbz"/".zip", stored RAR 5 otherwise; returns `path`.
QString write(const QString &path);
} // namespace ComicArchive
