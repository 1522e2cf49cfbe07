#include "views/OptionsMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QStringList>
#include <QToolButton>

namespace OptionsMenu {

QToolButton *build(QWidget *parent, const QList<QCheckBox *> &switches)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("cmdOptions"));
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto *menu = new QMenu(button);
    for (QCheckBox *s : switches) {
        QAction *a = menu->addAction(s->text());
        a->setCheckable(true);
        // The entry reads the switch when the menu opens: caption, mark, and
        // whether it can be used now.
        QObject::connect(menu, &QMenu::aboutToShow, a, [a, s] {
            a->setText(s->text());
            a->setChecked(s->isChecked());
            a->setEnabled(s->isEnabled());
        });
        QObject::connect(a, &QAction::triggered, s, [s] { s->click(); });
    }
    button->setMenu(menu);
    button->hide();
    return button;
}

void setLanguage(QToolButton *button, const QString &caption, const QList<QCheckBox *> &switches)
{
    button->setText(caption);
    QStringList captions;
    for (QCheckBox *s : switches)
        captions << s->text();
    button->setToolTip(captions.join(QStringLiteral(", ")));
}

} // namespace OptionsMenu
