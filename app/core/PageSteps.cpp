#include "core/PageSteps.h"

#include <algorithm>

namespace PageSteps {

std::vector<PageStep> build(int pages, const StepRules &rules, const std::function<bool(int)> &isWide)
{
    std::vector<PageStep> steps;
    if (pages <= 0)
        return steps;
    steps.reserve(size_t(rules.twoPage ? (pages + 1) / 2 : pages));
    const auto wide = [&](int k) { return rules.twoPage && rules.wideAlone && isWide && isWide(k); };
    const auto alone = [&](int k) {
        return wide(k) || (rules.coverAlone && k == 0) || rules.shifted.count(k) > 0;
    };
    for (int k = 0; k < pages;) {
        if (!rules.twoPage) {
            steps.push_back({k, 1, false});
            ++k;
        } else if (alone(k) || k + 1 >= pages || wide(k + 1) || rules.shifted.count(k + 1) > 0) {
            steps.push_back({k, 1, wide(k)});
            ++k;
        } else {
            steps.push_back({k, 2, false});
            k += 2;
        }
    }
    return steps;
}

int stepOf(const std::vector<PageStep> &steps, int page)
{
    if (steps.empty())
        return 0;
    const auto it = std::partition_point(steps.cbegin(), steps.cend(), [page](const PageStep &s) { return s.last() < page; });
    return it == steps.cend() ? int(steps.size()) - 1 : int(it - steps.cbegin());
}

int shiftPageFor(const PageStep &step)
{
    return step.count == 2 ? step.first : step.first + 1;
}

} // namespace PageSteps
