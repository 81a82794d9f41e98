#include "analysis/builders.h"
#include "analysis/tablelayout.h"

#include <array>

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

// One last digit's run while the history is walked in order: its latest draw number, how many
// pairs of neighbouring appearances were compared and how many draws in a row it has appeared.
struct DigitRun
{
    bool seen = false;
    long long last = 0;
    long long pairs = 0;
    int run = 0;
};

} // namespace

// Rows by draw number: for each last digit, how many draws in a row it has appeared so far,
// marked from the second draw of a run on. A draw with two numbers ending in one digit counts
// as two appearances. The history is walked once in order, so that the rows are written in
// order too.
Sheet buildLastDigitRun(const DrawHistory &history, const Totals &totals)
{
    const int n = totals.latestDrawNo;
    Sheet s = tablelayout::lastDigitSheet(n, {false});
    // Numbers past the last row would not show; the loop stops at the grid's end.
    for (int g = 1; g <= n && g + 2 <= s.rows(); ++g)
        s.setText(1, g + 2, g);
    s.setBorder(1, 3, 1, n + 3, border::Bottom);

    std::array<DigitRun, 10> runs;
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        const long long cur = r.drawNo;
        for (int k = 0; k < 7; ++k) {
            const int d = tablelayout::lastDigit(r.number(k));
            DigitRun &t = runs[static_cast<std::size_t>(d)];
            const long long prev = t.last;
            const bool first = !t.seen;
            t.seen = true;
            t.last = cur;
            // At most N neighbouring pairs are compared.
            if (first || t.pairs >= n)
                continue;
            ++t.pairs;
            if (prev + 1 < cur) {
                t.run = 0;
                continue;
            }
            ++t.run;
            // Rows belong to draws 1..N; a draw number outside that range has no row.
            if (cur < 1 || cur > n)
                continue;
            const int row = static_cast<int>(cur) + 2;
            s.setText(d + 2, row, t.run);
            s.selectCell(d + 2, row);
            s.setBorder(border::Bottom);
            s.setBackColor(runColor(t.run));
        }
    }
    return s;
}

} // namespace loto6
