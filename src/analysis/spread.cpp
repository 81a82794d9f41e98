#include "analysis/builders.h"

#include "store/drawrecord.h"

#include <cmath>

namespace loto6 {

namespace {

constexpr int Columns = 45;
constexpr Rgb HeadingBack = rgb(222, 254, 253);
constexpr Rgb MainMark = rgb(62, 158, 255);
constexpr Rgb BonusMark = rgb(255, 128, 192);

// Number heading: "回" at both ends, the numbers 1..43 in columns 2..44.
void writeNumberHeading(Sheet &s, int row)
{
    s.setText(1, row, "回");
    s.setText(Columns, row, "回");
    for (int n = 1; n <= HighestNumber; ++n)
        s.setText(n + 1, row, n);
    s.setColors(2, row, Columns - 1, row, colors::blue, HeadingBack);
}

} // namespace

// One row per complete draw, one column per number: a blue mark for each main number and a
// pink mark for the bonus number.
Sheet buildSpread(const DrawHistory &history, const Totals &totals)
{
    const int latest = totals.latestDrawNo;
    const int rows = latest + 3;
    // Offset of the closing heading row; L / 45 is never exactly half-way, so plain rounding.
    const int closingOffset = static_cast<int>(std::lround(latest / 45.0));

    Sheet s;
    s.prepare(Columns, rows, Columns, 47, 10, 2);
    s.setFrozen(1, 2);
    s.setRowHeight(1, 15);
    s.setRowHeight(2, 15);
    s.setColWidth(1, 5);
    s.setColWidth(Columns, 5);
    s.setAllowOverflow(true);

    s.setColors(1, 1, 1, rows, colors::red, colors::lightYellow);
    s.setColors(Columns, 1, Columns, rows, colors::red, colors::lightYellow);
    s.setBorder(1, 2, Columns, rows, border::AllSides, colors::lightBlue);
    s.selectBlock(2, 1, Columns - 1, 1);
    s.setBackColor(HeadingBack);
    s.setBorder(border::Outline, BorderStyle::ThinSolid, colors::lightBlue);
    s.endBlock();
    s.setBorder(1, 1, 1, 1, border::Right, colors::lightBlue);
    s.selectCell(22, 1);
    s.setText("数　　　　　　　字");
    s.setForeColor(colors::blue);

    // The closing copy lies inside the grid only for short histories; the draws written after
    // it win where the two meet.
    writeNumberHeading(s, 2);
    writeNumberHeading(s, latest + closingOffset + 2);

    int row = 3;
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        s.setText(1, row, r.drawNo);
        s.setText(Columns, row, r.drawNo);
        for (int f = 0; f < DrawRecord::FieldCount; ++f) {
            const long long n = r.number(f);
            if (n < 1 || n > HighestNumber)
                continue; // no column of its own; must not mark the draw-number columns
            const int col = static_cast<int>(n) + 1;
            s.setText(col, row, "●");
            s.selectCell(col, row);
            s.setForeColor(f == DrawRecord::BonusField ? BonusMark : MainMark);
        }
        ++row;
    }
    return s;
}

} // namespace loto6
