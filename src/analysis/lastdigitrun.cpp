#include "analysis/builders.h"
#include "analysis/tablelayout.h"

#include <array>
#include <vector>

namespace loto6 {

namespace {

// Background of a marked cell by the length of the run so far.
Rgb runColor(int run)
{
    if (run <= 3)
        return colors::lightCyan;
    if (run <= 6)
        return colors::lightGreen;
    if (run <= 9)
        return colors::lightYellow;
    if (run <= 12)
        return colors::lightMagenta;
    return colors::lightPink;
}

} // namespace

// Rows by draw number: for each last digit, how many draws in a row it has appeared so far,
// marked from the second draw of a run on.
Sheet buildLastDigitRun(const DrawHistory &history, const Totals &totals)
{
    // Per digit, one entry per number ending in it, in history order; a draw with two such
    // numbers gives two equal entries.
    std::array<std::vector<int>, 10> occurrences;
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        for (int k = 0; k < 7; ++k)
            occurrences[static_cast<std::size_t>(tablelayout::lastDigit(r.number(k)))].push_back(
                r.drawNo);
    }

    const int n = totals.latestDrawNo;
    Sheet s = tablelayout::lastDigitSheet(n, {false});
    // Numbers past the last row would not show; the loop stops at the grid's end.
    for (int g = 1; g <= n && g + 2 <= s.rows(); ++g)
        s.setText(1, g + 2, g);
    s.setBorder(1, 3, 1, n + 3, border::Bottom);

    for (int d = 0; d <= 9; ++d) {
        const std::vector<int> &list = occurrences[static_cast<std::size_t>(d)];
        int run = 0;
        // At most N neighbouring pairs are compared.
        for (long long i = 0; i < n && static_cast<std::size_t>(i) + 1 < list.size(); ++i) {
            const long long prev = list[static_cast<std::size_t>(i)];
            const long long cur = list[static_cast<std::size_t>(i) + 1];
            if (prev + 1 < cur) {
                run = 0;
                continue;
            }
            ++run;
            // Rows belong to draws 1..N; a draw number outside that range has no row.
            if (cur < 1 || cur > n)
                continue;
            const int row = static_cast<int>(cur) + 2;
            s.setText(d + 2, row, run);
            s.selectCell(d + 2, row);
            s.setBorder(border::Bottom);
            s.setBackColor(runColor(run));
        }
    }
    s.activateCell(0, 0);
    return s;
}

} // namespace loto6
