#include "platform/TextOrder.h"

#include <QCollator>
#include <QLocale>

static const QCollator &collator()
{
    // Built once: constructing a collator is far dearer than comparing with it.
    static const QCollator c = [] {
        QCollator col(QLocale::system());
        col.setCaseSensitivity(Qt::CaseInsensitive);
        col.setIgnorePunctuation(false);
        return col;
    }();
    return c;
}

int TextOrder::compare(const QString &a, const QString &b)
{
    int r = collator().compare(a, b);
    if (r == 0)
        r = a.compare(b, Qt::CaseInsensitive);
    return r;
}

bool TextOrder::less(const QString &a, const QString &b)
{
    return compare(a, b) < 0;
}
