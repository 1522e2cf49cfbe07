#pragma once
#include <QList>
#include <QString>

class QCheckBox;
class QToolButton;
class QWidget;

// The main window's menu button. Its menu holds the recent books and the
// settings (added by the window); on a bar too narrow for the option switches it
// stands in for them too: an entry per switch, checked as the switch is, and
// choosing an entry clicks the switch, so the option changes exactly as from the bar.
namespace OptionsMenu {
QToolButton *build(QWidget *parent, const QList<QCheckBox *> &switches);
// Shows the switches' entries (the narrowest bar) or not, with the button's
// caption for either; its tooltip names what its menu holds.
void setNarrow(QToolButton *button, bool narrow, const QString &caption, const QStringList &alwaysThere);
}
