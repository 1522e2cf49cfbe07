#pragma once
#include <QStringList>

// A list that keeps its entries in TextOrder: each entry is placed at its sorted
// position when added (after equal entries), as a sorted list box does. Stands in
// for the hidden page list List1.
class SortedList
{
public:
    // Returns the index at which the text was placed.
    int AddItem(const QString &text);
    // Adds many at once, in the same places one AddItem each would give them, in
    // O(n log n) rather than O(n^2).
    void AddItems(QStringList texts);
    void Clear() { m_items.clear(); }
    int ListCount() const { return int(m_items.size()); }
    const QString &List(int index) const { return m_items.at(index); }
    const QStringList &items() const { return m_items; }
    bool isEmpty() const { return m_items.isEmpty(); }

    // Position at which `text` would be inserted into the sorted `items`.
    static int insertPosition(const QStringList &items, const QString &text);

private:
    QStringList m_items;
};
