#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class Program;
class QMenu;
class QWidget;

// The menus of the recent books and of the per-user settings, shared by the main
// window's menu button and the full-screen pop-up menu. Widgets only: what is
// kept and read lives in RecentBooks and the settings files.
namespace SettingsMenu {

// The last books read (RecentBooks::kShown), latest first, filled each time the
// menu opens; a book that no longer exists is marked, and choosing it offers to
// remove it. The last entry clears the list. `open` opens a book by its path.
QMenu *recentBooks(QWidget *parent, Program &app, const std::function<void(const QString &)> &open);

// The interface language and the code page of archive names, as submenus of
// `menu`; both are written into the per-user settings file. `applyLanguage` runs
// with the Lang_Mode chosen.
void addSettings(QMenu *menu, Program &app, const std::function<void(qint16)> &applyLanguage);

// The legacy code pages offered for archive names (the setting takes any name the
// system's converter knows).
QStringList codePages();

} // namespace SettingsMenu
