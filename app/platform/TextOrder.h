#pragma once
#include <QCollatorSortKey>
#include <QString>

// The order of the two sorted lists (volumes and pages): natural (numbers inside
// names compare by value), case-insensitive and locale-aware, with "/" before
// letters and digits. Every list of pages or volumes is kept in this one order.
class TextOrder
{
public:
    // true when a sorts strictly before b.
    static bool less(const QString &a, const QString &b);
    static int compare(const QString &a, const QString &b);

    // A text with its collation key, made once: keys compare as their texts do,
    // but as bytes, far cheaper than collating the two texts again. For sorting
    // many texts.
    struct Keyed
    {
        QCollatorSortKey key;
        QString text;
    };
    static Keyed keyed(const QString &text);
    static bool less(const Keyed &a, const Keyed &b);
};
