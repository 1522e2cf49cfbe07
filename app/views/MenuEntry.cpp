#include "views/MenuEntry.h"

#include <QAction>
#include <QMenu>

QAction *addMenuEntry(QMenu *menu, const char *name, bool checkable, const QObject *context,
                      std::function<void(bool)> run)
{
    QAction *a = menu->addAction(QString());
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(checkable);
    QObject::connect(a, &QAction::triggered, context, std::move(run));
    return a;
}
