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

void SortedList::AddItems(QStringList texts, QStringList shown)
{
    shown.resize(texts.size());
    // Stable throughout: equal entries keep the order they were added in, after
    // the equal entries already listed.
    std::vector<std::pair<TextOrder::Keyed, QString>> added;
    added.reserve(std::size_t(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i)
        // Each text is collated once into a key; the sort then compares bytes.
        added.emplace_back(TextOrder::keyed(texts[i]), std::move(shown[i]));
    if (added.size() > 1)
        std::stable_sort(added.begin(), added.end(),
                         [](const auto &a, const auto &b) { return TextOrder::less(a.first, b.first); });
    QStringList items, names;
    items.reserve(m_items.size() + texts.size());
    names.reserve(m_items.size() + texts.size());
    qsizetype i = 0;
    std::size_t j = 0;
    while (i < m_items.size() || j < added.size()) {
        if (j == added.size() || (i < m_items.size() && !TextOrder::less(added[j].first.text, m_items[i]))) {
            items << std::move(m_items[i]);
            names << std::move(m_shown[i]);
            ++i;
        } else {
            items << std::move(added[j].first.text);
            names << std::move(added[j].second);
            ++j;
        }
    }
    m_items = std::move(items);
    m_shown = std::move(names);
}

QString SortedList::Shown(int index) const
{
    const QString &shown = m_shown.at(index);
    if (!shown.isNull())
        return shown;
    const QString &text = m_items.at(index);
    return text.mid(text.lastIndexOf(QLatin1Char('/')) + 1);
}

int SortedList::AddItem(const QString &text)
{
    const int pos = insertPosition(m_items, text);
    m_items.insert(pos, text);
    m_shown.insert(pos, QString());
    return pos;
}
