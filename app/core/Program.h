#pragma once
#include "core/Language.h"
#include "listing/ArchiveKind.h"
#include "core/PageKeys.h"
#include "core/RecentBooks.h"
#include "platform/ProgramPaths.h"

#include <QString>
#include <memory>

class Prompts;
class cUnzip;
class ArchiveReader;
class ControlHost;
class CDIB;

// Program-wide state: one instance per run (tests make their own). Every window
// reads it; the open chooser, the initial open and the page list set the open source.
class Program
{
public:
    Program(ProgramPaths paths, Prompts *prompts);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    ProgramPaths paths;
    Prompts *prompts;            // lent
    ControlHost *controls = nullptr; // lent; null when controls are not available
    Language lang;
    // The language asked for on the command line for this run ("ko", "en", or
    // empty), and the desktop's locale name; the program's start fills both, so
    // a test that leaves them empty reads the settings alone and falls back to Korean.
    QString langOption;
    QString systemLocale;

    // The books read lately, each with its place (in the data folder).
    RecentBooks recent;

    // What the settings' [Keys] section holds that could not be taken, for the one
    // report at start; then the keys of the reading windows (made from that section).
    QStringList keyProblems;
    PageKeys::KeyMap keys;

    // The open source.
    QString OpenPath;
    bool IsArchive = false;
    ::ArchiveKind ArchiveKind = ::ArchiveKind::Zip;
    QString LastFolder;
    bool OpenConfirmed = false;

    QString ExportFolder;
    QString ErrorLog; // every entry is CR LF followed by its text

    bool IsFullScreen = false;
    bool IsIndexShow = false;

    std::unique_ptr<cUnzip> ZipReader;
    // The reader of a book whose volumes come out whole: RAR, 7z or tar.
    std::unique_ptr<ArchiveReader> RarReader;
    // The program-wide DIB surface that serves the sharpen option.
    std::unique_ptr<CDIB> ProgramDib;

    void logError(const QString &text) { ErrorLog += QStringLiteral("\r\n") + text; }
};
