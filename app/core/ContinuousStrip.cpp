#include "core/ContinuousStrip.h"

#include "core/PageGeometry.h"

#include <algorithm>

namespace {
// The shape of a page not measured yet, or that cannot be read: an upright page.
constexpr double kDefaultAspect = 4.0 / 3.0;
// A page is never thinner than this on the strip, so every page can be reached.
constexpr int kMinHeight = 1;
} // namespace

void ContinuousStrip::reset(int pages, Measure measure)
{
    m_measure = std::move(measure);
    m_aspect.assign(size_t(std::max(pages, 0)), 0.0);
    m_page = 0;
    m_offset = 0;
    m_estimate = 0;
    relayout();
}

void ContinuousStrip::remeasure(Measure measure)
{
    const int page = m_page;
    reset(pageCount(), std::move(measure));
    m_page = page;
}

void ContinuousStrip::setWidth(int width)
{
    if (width == m_width)
        return;
    // The place keeps its share of the page it is in.
    const double share = heightOf(m_page) > 0 ? double(m_offset) / heightOf(m_page) : 0;
    m_width = std::max(width, 0);
    relayout();
    m_offset = int(PageGeometry::roundEven(share * heightOf(m_page)));
}

double ContinuousStrip::aspectOf(int page) const
{
    const double a = m_aspect[size_t(page)];
    return a > 0 ? a : (m_estimate > 0 ? m_estimate : kDefaultAspect);
}

void ContinuousStrip::relayout()
{
    m_tops.resize(m_aspect.size() + 1);
    int top = 0;
    for (size_t k = 0; k < m_aspect.size(); ++k) {
        m_tops[k] = top;
        top += std::max(int(PageGeometry::roundEven(m_width * aspectOf(int(k)))), kMinHeight);
    }
    m_tops[m_aspect.size()] = top;
}

int ContinuousStrip::heightOf(int page) const
{
    if (page < 0 || page >= pageCount())
        return 0;
    return m_tops[size_t(page) + 1] - m_tops[size_t(page)];
}

int ContinuousStrip::topOf(int page) const
{
    return m_tops[size_t(std::clamp(page, 0, pageCount()))];
}

int ContinuousStrip::total() const
{
    return m_tops.back();
}

int ContinuousStrip::pageAt(int y) const
{
    if (pageCount() == 0)
        return 0;
    // The last top at or above y.
    const auto it = std::upper_bound(m_tops.begin(), m_tops.end() - 1, y);
    return std::clamp(int(it - m_tops.begin()) - 1, 0, pageCount() - 1);
}

int ContinuousStrip::y() const
{
    return topOf(m_page) + m_offset;
}

void ContinuousStrip::setY(int y)
{
    m_page = pageAt(y);
    m_offset = y - topOf(m_page);
}

void ContinuousStrip::setPage(int page)
{
    m_page = std::clamp(page, 0, std::max(pageCount() - 1, 0));
    m_offset = 0;
}

std::pair<int, int> ContinuousStrip::settle(int height)
{
    if (pageCount() == 0)
        return {-1, -1};
    height = std::max(height, 1);
    // Measuring a page changes the tops below it and the estimate of the pages not
    // measured yet, and so the window: one page at a time, nearest the place
    // first, so that no page beyond the window is read on the estimate's word.
    for (int round = 0; round < 256; ++round) {
        const int first = pageAt(y() - height), last = pageAt(y() + 2 * height - 1);
        int next = -1;
        for (int k = m_page; k <= last && next < 0; ++k)
            next = m_aspect[size_t(k)] == 0 ? k : -1;
        for (int k = m_page - 1; k >= first && next < 0; --k)
            next = m_aspect[size_t(k)] == 0 ? k : -1;
        if (next < 0)
            break;
        measure(next, next);
    }
    // Inside the strip: the last screen ends at the last page's bottom.
    const int end = std::max(total() - height, 0);
    if (y() > end || y() < 0)
        setY(std::clamp(y(), 0, end));
    return {pageAt(y() - height), pageAt(y() + 2 * height - 1)};
}

bool ContinuousStrip::measure(int first, int last)
{
    bool measured = false;
    for (int k = std::max(first, 0); k <= last && k < pageCount(); ++k) {
        if (m_aspect[size_t(k)] != 0)
            continue;
        const QSizeF s = m_measure ? m_measure(k) : QSizeF();
        // A page that cannot be read stands at the default shape.
        m_aspect[size_t(k)] = s.width() > 0 && s.height() > 0 ? s.height() / s.width() : kDefaultAspect;
        measured = true;
    }
    if (!measured)
        return false;
    double sum = 0;
    for (const double a : m_aspect)
        sum += a;
    const auto known = std::count_if(m_aspect.begin(), m_aspect.end(), [](double a) { return a > 0; });
    m_estimate = known > 0 ? sum / double(known) : 0;
    relayout();
    return true;
}

void ContinuousStrip::measureThrough(int y)
{
    for (int k = 0; k < pageCount() && topOf(k) <= y; ++k)
        measure(k, k);
}
