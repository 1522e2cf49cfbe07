#pragma once
#include <functional>

class QAction;
class QMenu;
class QObject;

// Adds an entry to a page window's menu: named (the settings and the tests find
// it by that name), checkable or not, running `run` with its new mark when chosen
// for as long as `context` lives. The caption comes later, with the language.
QAction *addMenuEntry(QMenu *menu, const char *name, bool checkable, const QObject *context,
                      std::function<void(bool)> run);
