#include "analysis/builders.h"
#include "analysis/markcolors.h"
#include "store/drawrecord.h"

#include <string>
#include <vector>

namespace loto6 {

namespace {

constexpr Rgb LabelBack = rgb(222, 254, 253);
constexpr int Rows = 45;
constexpr int TitleCol = 26; // given as 25.5 and rounded by the grid
constexpr int RunningCountSize = 10000;

} // namespace

// One row of marks per number 1..43, one mark per appearance in draw order: blue for a main
// number, pink for the bonus number.
Sheet buildFrequency(const DrawHistory &history, const Totals &totals)
{
    int maxCount = 0;
    for (int n = 1; n <= 99; ++n)
        maxCount = std::max(maxCount, totals.count(n));
    const int last = maxCount + 2;

    Sheet s;
    s.prepare(last, Rows, 51, Rows, 10, 2);
    s.setFrozen(1, 2);
    s.setRowHeight(1, 15);
    s.setRowHeight(2, 15);
    s.setColWidth(1, 5);
    s.setColWidth(last, 5);
    // The ordinal headings from 100 on need a digit more than the two the columns are made for.
    const int widest = static_cast<int>(std::to_string(std::max(maxCount, 1)).size());
    for (int k = 100; k <= maxCount; ++k)
        s.setColWidth(k + 1, widest);

    // Title band with its outline and the two right-hand edges.
    s.selectBlock(2, 1, last, 1);
    s.setBackColor(colors::lightYellow);
    s.setBorder(border::Outline, BorderStyle::ThinSolid, colors::lightBlue);
    s.endBlock();
    s.setBorder(1, 1, 1, 1, border::Right, colors::lightBlue);
    s.setBorder(maxCount + 1, 1, maxCount + 1, 1, border::Right, colors::lightBlue);
    s.selectCell(TitleCol, 1);
    s.setText("出 　現 　頻 　度（回）");
    s.setForeColor(colors::red);
    s.setHAlign(HAlign::Left);
    s.setAllowOverflow(true);

    s.setColors(1, 1, 1, Rows, colors::blue, LabelBack);
    s.setColors(last, 1, last, Rows, colors::blue, LabelBack);
    s.setBorder(1, 2, last, Rows, border::AllSides, colors::lightBlue);
    if (maxCount >= 1) // no ordinal columns when nothing was drawn
        s.setColors(2, 2, maxCount + 1, 2, colors::red, colors::lightYellow);
    for (int n = 1; n <= HighestNumber; ++n) {
        s.setText(1, n + 2, n);
        s.setText(last, n + 2, n);
    }

    s.setText(1, 2, "数字");
    s.setText(last, 2, "数字");

    // Counts advance only after all seven marks of a draw are placed, so the k-th appearance
    // of every number lands in column k + 1.
    std::vector<int> running(RunningCountSize, 0);
    auto runningOf = [&](long long v) -> int * {
        return v >= 0 && v < RunningCountSize ? &running[static_cast<std::size_t>(v)] : nullptr;
    };
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        for (int f = 0; f < DrawRecord::FieldCount; ++f)
            if (const int *c = runningOf(r.number(f)))
                s.setText(*c + 2, 2, *c + 1);
        for (int f = 0; f < DrawRecord::FieldCount; ++f) {
            const long long v = r.number(f);
            const int *c = runningOf(v);
            if (!c || v > Rows)
                continue;
            const int row = static_cast<int>(v) + 2;
            s.setText(*c + 2, row, "●");
            s.selectCell(*c + 2, row);
            s.setForeColor(f == DrawRecord::BonusField ? BonusMark : f == 5 ? SixthMark : MainMark);
        }
        for (int f = 0; f < DrawRecord::FieldCount; ++f)
            if (int *c = runningOf(r.number(f)))
                ++*c;
    }
    return s;
}

} // namespace loto6
