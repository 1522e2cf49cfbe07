#pragma once
#include <QString>

// Writes a small sample book into a folder, so a fresh checkout has something to
// open: two volumes of drawn pages, as sub-folders and as "Leafview sample.zip".
namespace SampleBook {
bool write(const QString &folder);
}
