#include "analysis/builders.h"
#include "analysis/tablelayout.h"

namespace loto6 {

namespace {

constexpr long long LowLimit = 21; // 1..21 low, 22..43 high

} // namespace

// One row per complete draw: low numbers marked light cyan, the low and high counts of the six
// main numbers and the pattern letter by the low count; the bonus is marked but not counted.
Sheet buildLowHigh(const DrawHistory &history, const Totals &totals)
{
    Sheet s = tablelayout::patternSheet(totals.latestDrawNo, {"　　本 数 字", "低数字", "高数字"});

    int row = 2;
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        tablelayout::writePatternNumbers(s, row, r);
        int low = 0;
        for (int k = 0; k < 7; ++k) {
            if (r.number(k) > LowLimit)
                continue;
            s.selectCell(k + 2, row);
            s.setBackColor(colors::lightCyan);
            if (k < 6)
                ++low;
        }
        tablelayout::writePatternCounts(s, row, low, low);
        ++row;
    }
    return s;
}

} // namespace loto6
