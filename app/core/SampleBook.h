#pragma once
#include <QString>

// Writes a small sample book (two volumes of drawn pages) into a folder, so a
// fresh checkout has something to open.
namespace SampleBook {
bool write(const QString &folder);
}
