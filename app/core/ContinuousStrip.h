#pragma once
#include <QSizeF>

#include <functional>
#include <utility>
#include <vector>

// The pages of a volume stacked top to bottom at one width, with no gap, and the
// place in the strip: the page at the top of the surface and how far into it.
// A page is measured (its header read) only when it comes near the surface;
// until then it stands at the shape of the pages measured so far. The place is
// kept by its page, so measuring pages never moves what is on the surface.
class ContinuousStrip
{
public:
    // A page's natural size as it stands (turned); an empty size for a page that
    // cannot be read.
    using Measure = std::function<QSizeF(int page)>;

    // A strip of `pages` unmeasured pages at its top.
    void reset(int pages, Measure measure);
    // Forgets every measurement (the pages were turned), keeping the place.
    void remeasure(Measure measure);
    // The width the pages are stacked at.
    void setWidth(int width);
    int width() const { return m_width; }
    int pageCount() const { return int(m_aspect.size()); }

    int heightOf(int page) const;
    int topOf(int page) const;
    int total() const;
    // The page at strip pixel y (the first or last page beyond the ends).
    int pageAt(int y) const;

    // The place: the strip pixel at the surface's top.
    int y() const;
    void setY(int y);
    // The place at the top of `page`.
    void setPage(int page);
    int topPage() const { return m_page; }
    // Measures every page from the first down to strip pixel y, so that y
    // stands where the pages' own sizes put it.
    void measureThrough(int y);
    // Measures the pages a surface `height` high shows and those a screen before
    // and after it, then keeps the place inside the strip. Returns the pages of
    // that window, first and last (both -1 without pages).
    std::pair<int, int> settle(int height);
    // The page under the surface's centre line.
    int centrePage(int height) const { return pageAt(y() + height / 2); }

private:
    double aspectOf(int page) const;
    // Measures the unmeasured pages first..last; false when all were measured.
    bool measure(int first, int last);
    void relayout();

    Measure m_measure;
    // Height over width of each page; 0 not measured yet.
    std::vector<double> m_aspect;
    std::vector<int> m_tops;
    int m_width = 0;
    int m_page = 0;
    int m_offset = 0;
    double m_estimate = 0;
};
