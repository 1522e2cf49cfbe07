#pragma once
#include <QString>

// A program folder of the test's own: the build's installation files (skin/, ocx/,
// the shipped pages) linked in from the build's bin/ folder, and nothing else, so a
// settings file or resume record a user left there never reaches a test.
namespace TestProgramFolder {
// Makes `folder` such a program folder (idempotent) and returns it; empty on failure.
// With `withProgram` the executable is placed there too (a hard link, else a copy),
// so a child process started from it takes that folder as its own.
QString populate(const QString &folder, bool withProgram = false);
} // namespace TestProgramFolder
