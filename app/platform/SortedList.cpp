#include "platform/SortedList.h"
#include "platform/TextOrder.h"

#include <algorithm>

int SortedList::insertPosition(const QStringList &items, const QString &text)
{
    const auto it = std::upper_bound(items.begin(), items.end(), text,
                                     [](const QString &a, const QString &b) { return TextOrder::less(a, b); });
    return int(it - items.begin());
}

void SortedList::AddItems(QStringList texts)
{
    const auto less = [](const QString &a, const QString &b) { return TextOrder::less(a, b); };
    // Stable throughout: equal entries keep the order they were added in, after
    // the equal entries already listed.
    std::stable_sort(texts.begin(), texts.end(), less);
    const qsizetype old = m_items.size();
    m_items += texts;
    std::inplace_merge(m_items.begin(), m_items.begin() + old, m_items.end(), less);
}

int SortedList::AddItem(const QString &text)
{
    const int pos = insertPosition(m_items, text);
    m_items.insert(pos, text);
    return pos;
}
