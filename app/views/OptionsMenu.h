#pragma once
#include <QList>
#include <QString>

class QCheckBox;
class QToolButton;
class QWidget;

// On a bar too narrow for the option switches, one button stands in for them: its
// menu has an entry per switch, checked as the switch is, and choosing an entry
// clicks the switch, so the option changes exactly as from the bar.
namespace OptionsMenu {
QToolButton *build(QWidget *parent, const QList<QCheckBox *> &switches);
// The button's caption in the program's language; its tooltip names the switches
// it stands for.
void setLanguage(QToolButton *button, const QString &caption, const QList<QCheckBox *> &switches);
}
