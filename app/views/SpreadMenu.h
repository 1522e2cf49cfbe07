#pragma once
#include "core/PageKeys.h"
#include "core/ReadingSession.h"

#include <QList>

struct Language;
class QAction;
class QMenu;

// The spread entries both page windows offer on a menu: a wide page alone, the
// cover alone, the shift by one and the controls that follow the reading
// direction. The options are the session's; their marks are read from it each
// time the menu opens. Their keys (A, O and S unless the settings say
// otherwise) reach the same entries.
namespace SpreadMenu {

struct Entries
{
    QAction *wideAlone = nullptr;
    QAction *coverAlone = nullptr;
    QAction *shiftByOne = nullptr;
    QAction *followDirection = nullptr;
};

// Adds the entries to `menu`; `shift` runs the shift (through the window's step
// queue).
Entries add(QMenu *menu, ReadingSession &session, const Language &texts, const std::function<void()> &shift);
// The captions in the program's language.
void setTexts(const Entries &e, const Language &texts);
// The marks and the enabled state from the session.
void sync(const Entries &e, const ReadingSession &session);
// The entry a key action stands for, or none.
QAction *forAction(const Entries &e, PageKeys::Action action);

// The spread options kept in the settings lines of imgviewer.ini: read into the
// session, and written there on every change from now on.
void restore(ReadingSession &session, const QString &file);
void keep(ReadingSession &session, const QString &file);

} // namespace SpreadMenu
