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
    // O(n log n) rather than O(n^2). `shown`, when given, holds for each text the
    // name it shows as (see Shown).
    void AddItems(QStringList texts, QStringList shown = {});
    void Clear()
    {
        m_items.clear();
        m_shown.clear();
    }
    int ListCount() const { return int(m_items.size()); }
    const QString &List(int index) const { return m_items.at(index); }
    const QStringList &items() const { return m_items; }
    bool isEmpty() const { return m_items.isEmpty(); }
    // What entry `index` shows as: the name it was added with, else its text after
    // the last "/". An entry is what finds the page and places it in the order (a
    // full path, a member path); the reader sees only the page's own name.
    QString Shown(int index) const;

    // Position at which `text` would be inserted into the sorted `items`.
    static int insertPosition(const QStringList &items, const QString &text);

private:
    QStringList m_items;
    QStringList m_shown; // one per entry; null where the entry shows its own last part
};
