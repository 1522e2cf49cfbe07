#include "platform/SortedList.h"
#include "platform/TextOrder.h"

#include <algorithm>

int SortedList::insertPosition(const QStringList &items, const QString &text)
{
    const auto it = std::upper_bound(items.begin(), items.end(), text,
                                     [](const QString &a, const QString &b) { return TextOrder::less(a, b); });
    return int(it - items.begin());
}

int SortedList::AddItem(const QString &text)
{
    const int pos = insertPosition(m_items, text);
    m_items.insert(pos, text);
    return pos;
}
