#pragma once
#include <QString>
#include <functional>

class Program;
class ReadingSession;
struct ResumeRecord;

// How a reading session begins and ends with the program: the initial open (the
// named path, or the kept place after asking), a path handed over by a later
// start, and what is kept or forgotten when the program ends. Widget-free; the
// window shows the outcome.
namespace SessionLifecycle {

// The code page of archive names that are not UTF-8, from the settings file
// (Korean unless it says otherwise); an unknown name is logged.
void applyCodePageSetting(Program &app);
// The interface texts in the language of --lang, else of the settings, else of
// the desktop (Korean unless one of them says English).
void loadLanguage(Program &app);
// The code page, then both archive readers, reporting to `session`.
void createReaders(ReadingSession &session);

// The initial open: Cmd_Folder/Cmd_File when given, else the book of the resume
// file after the question whether to read on. A record whose book is gone is
// removed without asking (a Yes would show nothing). Throws std::runtime_error for a record damaged between the two readings.
// `beforeOpen` runs once the kept book is going to be opened.
void openAtStart(ReadingSession &session, const QString &resumeFile, const std::function<void()> &beforeOpen = {});

// Restores the place and options of `rec` (its book exists) and opens its book
// at the step holding the record's page.
void resume(ReadingSession &session, const ResumeRecord &rec, const std::function<void()> &beforeOpen = {});

// A path handed over by a later start opens as the command line's path does: a
// new book from its first volume and page (an image path at that image), with
// the same messages. When it shows nothing, the book that was open stays.
void openHandedOver(ReadingSession &session, const QString &path);

// After an open that listed nothing (a damaged or empty book, a file of no
// archive kind), the book of `before`, the place in view when the open began,
// is opened again at its volume and page: the failed open has replaced the
// lists and readers and may have emptied TmpZip. Returns true when it was.
bool returnToPlace(ReadingSession &session, const ResumeRecord &before);

// ---- recent books: every book opened is kept with its place, so a book opened
// again by any route (the command line, a later start, the chooser, a drop, the
// recent books) resumes where it was left, unless it was read to the end.

// The book the open source names (OpenPath/IsArchive/ArchiveKind) opens, at its
// kept place; the book of `before` (the place in view when the choice began) is
// kept first. When the new book shows nothing, the book of `before` is opened
// again as returnToPlace does. A book loading in the background is kept, or
// given up for the book before it, once its load ends.
void openChosen(ReadingSession &session, const ResumeRecord &before);

// The open book and its place into the recent books (at a book switch, at the end).
void keepPlace(ReadingSession &session);

// At the end of the program: the place goes into the recent books; a finished
// book forgets its resume record (the legacy one too); else the place is written (also for a volume without pages)
// with the error log. Returns true for a finished book.
bool keepOnExit(ReadingSession &session, const QString &resumeFile);
// Then the member table and both archive readers go, and TmpZip is emptied.
void releaseReaders(ReadingSession &session);

} // namespace SessionLifecycle
