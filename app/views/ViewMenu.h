#pragma once
#include "core/PageKeys.h"
#include "core/ReadingSession.h"

struct Language;
class QAction;
class QMenu;

// The view entries both page windows offer on a menu: fit page, width or height,
// zoom in, out and back, actual size, rotation either way and the continuous
// strip. The view is the session's; the marks are read from it each time the
// menu opens. The view keys (PageKeys) reach the same operations.
namespace ViewMenu {

struct Entries
{
    QAction *fitPage = nullptr, *fitWidth = nullptr, *fitHeight = nullptr, *zoomIn = nullptr, *zoomOut = nullptr,
            *zoomReset = nullptr, *actualSize = nullptr, *rotateCw = nullptr, *rotateCcw = nullptr,
            *continuous = nullptr;
};

Entries add(QMenu *menu, ReadingSession &session, const Language &texts);
void setTexts(const Entries &e, const Language &texts);
void sync(const Entries &e, const ReadingSession &session);
// Runs a view action on the session; false for an action that is no view action.
bool run(ReadingSession &session, PageKeys::Action action);

// The view kept in the settings lines of imgviewer.ini (never in the resume
// record): read into the session, and written there on every change from now on.
void restore(ReadingSession &session, const QString &file);
void keep(ReadingSession &session, const QString &file);

} // namespace ViewMenu
