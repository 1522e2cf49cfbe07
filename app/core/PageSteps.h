#pragma once
#include <QtGlobal>

#include <functional>
#include <set>
#include <vector>

// How the pages of a volume stand: one page at a time, or two side by side.
// The 16-bit values are those of the resume record.
enum class ViewMode : qint16 { OnePage = 1, TwoPage = 2 };

// Which way the next animated turn goes: the left half over to the right, or the
// right half over to the left (the usual forward turn). The 16-bit values are
// those the page-turn object takes.
enum class TurnDirection : qint16 { LeftOver = 1, RightOver = 2 };

// One step of reading: the page, or the two pages, shown together.
struct PageStep
{
    int first = 0;
    int count = 1;
    // A page wider than tall that stands alone in two-page mode: fitted as one
    // page and centred, not put into one half of a spread.
    bool wide = false;
    int last() const { return first + count - 1; }
    bool holds(int page) const { return page >= first && page <= last(); }
    bool operator==(const PageStep &) const = default;
};

// How the pages of a volume are grouped into steps. With every option off, two
// pages pair by parity (2k and 2k + 1), a last odd page alone.
struct StepRules
{
    bool twoPage = false;
    // A page wider than tall stands alone; pairing starts again after it.
    bool wideAlone = false;
    // The first page stands alone; spreads pair from the second page.
    bool coverAlone = false;
    // Pages the reader made stand alone to put the pairing right after them.
    std::set<int> shifted;
};

namespace PageSteps {

// The steps of `pages` pages; `isWide(k)` tells whether page k is wider than tall
// (asked only with wideAlone).
std::vector<PageStep> build(int pages, const StepRules &rules, const std::function<bool(int)> &isWide);

// The index of the step that holds `page` (0 without steps; the last step for a
// page past the end).
int stepOf(const std::vector<PageStep> &steps, int page);

// The page that moves the pairing by one from `step`: its first page when it
// holds two (that page then stands alone), else the page after it.
int shiftPageFor(const PageStep &step);

} // namespace PageSteps
