#include "platform/SortedList.h"
#include "platform/TextOrder.h"

#include <algorithm>
#include <vector>

int SortedList::insertPosition(const QStringList &items, const QString &text)
{
    const auto it = std::upper_bound(items.begin(), items.end(), text,
                                     [](const QString &a, const QString &b) { return TextOrder::less(a, b); });
    return int(it - items.begin());
}

void SortedList::AddItems(QStringList texts)
{
    // Stable throughout: equal entries keep the order they were added in, after
    // the equal entries already listed.
    if (texts.size() > 1) {
        // Each text is collated once into a key; the sort then compares bytes.
        std::vector<TextOrder::Keyed> keyed;
        keyed.reserve(std::size_t(texts.size()));
        for (const QString &t : std::as_const(texts))
            keyed.push_back(TextOrder::keyed(t));
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const TextOrder::Keyed &a, const TextOrder::Keyed &b) { return TextOrder::less(a, b); });
        for (qsizetype i = 0; i < texts.size(); ++i)
            texts[i] = std::move(keyed[std::size_t(i)].text);
    }
    const qsizetype old = m_items.size();
    m_items += texts;
    std::inplace_merge(m_items.begin(), m_items.begin() + old, m_items.end(),
                       [](const QString &a, const QString &b) { return TextOrder::less(a, b); });
}

int SortedList::AddItem(const QString &text)
{
    const int pos = insertPosition(m_items, text);
    m_items.insert(pos, text);
    return pos;
}
