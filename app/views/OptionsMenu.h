#pragma once
#include <QList>

class QCheckBox;
class QToolButton;
class QWidget;

// On a bar too narrow for the option switches, one button stands in for them: its
// menu has an entry per switch, checked as the switch is, and choosing an entry
// clicks the switch, so the option changes exactly as from the bar.
namespace OptionsMenu {
QToolButton *build(QWidget *parent, const QList<QCheckBox *> &switches);
// The button's caption in the program's language (Lang_Mode 1: English); its
// tooltip names the switches it stands for.
void setLanguage(QToolButton *button, int langMode, const QList<QCheckBox *> &switches);
}
