#include "views/OptionsMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QToolButton>

namespace OptionsMenu {

namespace {
const char *const kSwitchEntry = "switchEntry";

// Three bars, the sign of a menu on this desktop: the wide bar shows the button
// by it alone, as the labelled buttons show their icons.
QIcon menuIcon()
{
    QPixmap bars(16, 16);
    bars.fill(Qt::transparent);
    QPainter p(&bars);
    for (int y : {3, 7, 11})
        p.fillRect(2, y, 12, 2, QColor(0xdf, 0xe6, 0xee));
    return QIcon(bars);
}
} // namespace

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
        a->setProperty(kSwitchEntry, true);
        a->setData(QVariant::fromValue<QObject *>(s));
        // The entry reads the switch when the menu opens: caption, mark, and
        // whether it can be used now.
        QObject::connect(menu, &QMenu::aboutToShow, a, [a, s] {
            a->setText(s->text());
            a->setChecked(s->isChecked());
            a->setEnabled(s->isEnabled());
        });
        QObject::connect(a, &QAction::triggered, s, [s] { s->click(); });
    }
    QAction *line = menu->addSeparator();
    line->setProperty(kSwitchEntry, true);
    button->setMenu(menu);
    return button;
}

void setNarrow(QToolButton *button, bool narrow, const QString &caption, const QStringList &alwaysThere)
{
    QStringList names;
    for (QAction *a : button->menu()->actions()) {
        if (!a->property(kSwitchEntry).toBool())
            continue;
        a->setVisible(narrow);
        if (auto *s = qobject_cast<QCheckBox *>(a->data().value<QObject *>()); narrow && s) {
            a->setText(s->text());
            names << s->text();
        }
    }
    button->setText(caption);
    button->setToolButtonStyle(narrow ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    if (button->icon().isNull())
        button->setIcon(menuIcon());
    button->setToolTip((names + alwaysThere).join(QStringLiteral(", ")));
}

} // namespace OptionsMenu
