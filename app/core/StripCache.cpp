#include "core/StripCache.h"

std::optional<QImage> StripCache::find(const Key &key)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->first == key) {
            m_entries.splice(m_entries.begin(), m_entries, it);
            return m_entries.front().second;
        }
    }
    return std::nullopt;
}

qint64 StripCache::bytes() const
{
    qint64 sum = 0;
    for (const auto &[key, image] : m_entries)
        sum += image.sizeInBytes();
    return sum;
}

void StripCache::put(const Key &key, QImage image, int first, int last)
{
    // Another size of the same page is stale.
    m_entries.remove_if([&](const auto &e) { return e.first.page == key.page; });
    m_entries.emplace_front(key, std::move(image));
    qint64 total = bytes();
    for (auto it = std::prev(m_entries.end()); total > m_budget && it != m_entries.begin();) {
        auto victim = it--;
        if (victim->first.page >= first && victim->first.page <= last)
            continue;
        total -= victim->second.sizeInBytes();
        m_entries.erase(victim);
    }
}
