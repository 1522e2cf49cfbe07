#include "platform/TextOrder.h"

#include <QCollator>
#include <QLocale>

static const QCollator &collator()
{
    // Built once a thread: constructing a collator is far dearer than comparing
    // with it, and one collator is not to be shared by threads (books are listed
    // on a worker while the window sorts its own lists).
    thread_local const QCollator c = [] {
        // The C locale's collator compares code points and ignores every option;
        // a reader under it still expects the common, natural order.
        const QLocale system = QLocale::system();
        QCollator col(system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system);
        col.setCaseSensitivity(Qt::CaseInsensitive);
        col.setIgnorePunctuation(false);
        // Scans are numbered without leading zeros as often as with them: p2
        // must come before p10, and 제2권 before 제10권.
        col.setNumericMode(true);
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

TextOrder::Keyed TextOrder::keyed(const QString &text)
{
    return {collator().sortKey(text), text};
}

bool TextOrder::less(const Keyed &a, const Keyed &b)
{
    int r = a.key.compare(b.key);
    if (r == 0)
        r = a.text.compare(b.text, Qt::CaseInsensitive);
    return r < 0;
}
