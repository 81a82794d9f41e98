#include "analysis/builders.h"

#include <algorithm>
#include <array>

namespace loto6 {

namespace {

constexpr int Columns = 8;
constexpr Rgb CarriedBack = colors::lightCyan;

} // namespace

// Every complete draw with its seven numbers; a number also drawn in the previous complete draw
// (main or bonus, on either side) is highlighted.
Sheet buildCarryOver(const DrawHistory &history, const Totals &totals)
{
    const int rows = totals.latestDrawNo + 1;

    Sheet s;
    s.prepare(Columns, rows, Columns, 51, 10, 7);
    s.setFrozen(1, 1);
    s.setRowHeight(1, 15);
    s.setColWidth(8, 9);
    s.setAllowOverflow(true);
    s.setColors(1, 1, Columns, 1, colors::black, colors::lightPink);
    if (rows >= 2) // an empty history has the heading row only
        s.setColors(1, 2, 1, rows, colors::red, colors::lightYellow);
    s.setBorder(1, 1, Columns, rows, border::AllSides, colors::lightBlue);
    // One open band over the six main-number columns: the lines between them go, the line
    // under them stays.
    s.selectBlock(2, 1, 7, 1);
    s.removeBorder(border::Left | border::Right);
    s.endBlock();

    s.setText(1, 1, "回数");
    s.selectCell(4, 1);
    s.setText("        本 数 字         ");
    s.setHAlign(HAlign::Left);
    s.setText(8, 1, "ボーナス数字");

    // No previous draw before the first complete one, so nothing is highlighted there.
    std::array<long long, DrawRecord::FieldCount> previous{};
    bool hasPrevious = false;
    int row = 2;
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue; // no row, and the previous draw stays
        s.setText(1, row, r.drawNo);
        for (int f = 0; f < DrawRecord::FieldCount; ++f) {
            const long long v = r.number(f);
            s.setText(f + 2, row, v);
            if (hasPrevious && std::find(previous.begin(), previous.end(), v) != previous.end())
                s.setBackColor(f + 2, row, f + 2, row, CarriedBack);
        }
        for (int f = 0; f < DrawRecord::FieldCount; ++f)
            previous[static_cast<std::size_t>(f)] = r.number(f);
        hasPrevious = true;
        ++row;
    }
    return s;
}

} // namespace loto6
