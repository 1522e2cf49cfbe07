#pragma once
#include <QString>

// The order of the two sorted lists (volumes and pages): case-insensitive and
// locale-aware, with "/" before letters and digits, as a sorted list box keeps them.
class TextOrder
{
public:
    // true when a sorts strictly before b.
    static bool less(const QString &a, const QString &b);
    static int compare(const QString &a, const QString &b);
};
