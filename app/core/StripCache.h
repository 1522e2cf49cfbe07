#pragma once
#include <QImage>
#include <QSize>

#include <list>
#include <optional>
#include <utility>

// The decoded pages of the continuous strip, each at the size it stands in: a
// page scrolled out and back needs no second decode. The pages held take at most
// `budget` bytes; beyond that the least recently drawn go first, except the
// pages the surface shows at the moment, which always stay.
class StripCache
{
public:
    struct Key
    {
        int page = -1;
        QSize size;
        int rotation = 0;
        bool operator==(const Key &) const = default;
    };

    explicit StripCache(qint64 budget = qint64(160) << 20) : m_budget(budget) {}
    void setBudget(qint64 bytes) { m_budget = bytes; }

    // The picture held under `key` (a null image for a page that cannot be
    // decoded); nullopt when none is held. A hit counts as a recent use.
    std::optional<QImage> find(const Key &key);
    // Holds `image` under `key`, then drops the oldest pages over the budget, but
    // none of pages first..last.
    void put(const Key &key, QImage image, int first, int last);
    void clear() { m_entries.clear(); }

    qint64 bytes() const;
    int held() const { return int(m_entries.size()); }

private:
    qint64 m_budget;
    // Most recent first.
    std::list<std::pair<Key, QImage>> m_entries;
};
