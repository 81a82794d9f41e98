#include "analysis/builders.h"

#include <string>

namespace loto6 {

// One row per distinct appearance count, ascending, with the numbers 1..43 that have exactly
// that count; shown straight from the start-up totals.
Sheet buildCountGroups(const DrawHistory &, const Totals &totals)
{
    const int rows = totals.countRowTotal;
    const int maxCount = totals.maxAppearance;

    Sheet s;
    s.prepare(2, rows, 2, rows, 10, 5);
    s.setFrozen(1, 1);
    s.setColWidth(1, 5);
    s.setColWidth(2, 20);
    s.setBorder(1, 1, 2, rows, border::AllSides);
    s.setBackColor(1, 2, 1, totals.latestDrawNo + 2, colors::lightYellow);

    s.selectCell(1, 1);
    s.setText("出 現");
    s.setBackColor(colors::lightPink);
    s.selectCell(2, 1);
    s.setText("数 字");
    s.setBackColor(colors::lightPink);
    s.setAllowOverflow(true);
    // The style is tied to the largest count, not to the number of rows: with a short history
    // the last rows keep the centred default. An empty range styles nothing.
    if (maxCount >= 2) {
        s.selectBlock(2, 2, 2, maxCount);
        s.setForeColor(colors::blue);
        s.setHAlign(HAlign::Left);
        s.endBlock();
    }

    int row = 1;
    for (int c = 0; c <= maxCount && static_cast<std::size_t>(c) < totals.numbersByCount.size();
         ++c) {
        const std::string &numbers = totals.numbersByCount[static_cast<std::size_t>(c)];
        if (numbers.empty())
            continue;
        ++row;
        s.setText(1, row, std::to_string(c) + "回");
        s.setText(2, row, numbers);
    }
    return s;
}

} // namespace loto6
