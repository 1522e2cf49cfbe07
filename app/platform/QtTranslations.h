#pragma once

// Qt's own dialog texts (Yes, No, OK, Cancel, the file and folder choosers) in the
// program's language: Qt's Korean translations are installed while the interface
// is Korean, and removed again for the English texts.
namespace QtTranslations {
// Returns whether Qt's texts are now in the requested language (false when the
// Korean translation files are not installed: Qt's English texts stay).
bool apply(bool korean);
} // namespace QtTranslations
