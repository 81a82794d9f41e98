#include "analysis/builders.h"
#include "analysis/tablelayout.h"

namespace loto6 {

// One row per complete draw: main numbers coloured by parity, the even and odd counts of the
// six main numbers and the pattern letter by the odd count; the bonus is only shown.
Sheet buildEvenOdd(const DrawHistory &history, const Totals &totals)
{
    Sheet s
        = tablelayout::patternSheet(totals.latestDrawNo, {"    本 数 字      ", "偶数", "奇数"});

    int row = 2;
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        tablelayout::writePatternNumbers(s, row, r);
        int even = 0;
        for (int k = 0; k < 6; ++k) {
            const bool isEven = r.number(k) % 2 == 0;
            s.selectCell(k + 2, row);
            s.setBackColor(isEven ? colors::lightCyan : colors::white);
            if (isEven)
                ++even;
        }
        tablelayout::writePatternCounts(s, row, even, 6 - even);
        ++row;
    }
    return s;
}

} // namespace loto6
