#include "analysis/builders.h"
#include "analysis/tablelayout.h"

#include <string>

namespace loto6 {

namespace {

constexpr int Columns = 10;

} // namespace

// One row per complete draw: its numbers, the sum of the six main numbers and that sum plus
// the bonus number.
Sheet buildSum(const DrawHistory &history, const Totals &totals)
{
    const int rows = tablelayout::tableRows(totals.latestDrawNo, 1);
    Sheet s;
    tablelayout::prepare(s, Columns, rows, 51, 10, 5);
    s.setFrozen(1, 1);
    s.setColWidth(8, 8);
    s.setColWidth(9, 7);
    s.setColWidth(10, 10);
    if (rows >= 2) {
        s.setColors(1, 2, 1, rows, colors::red, colors::lightYellow);
        s.setColors(8, 2, 8, rows, colors::blue, colors::lightCyan);
        s.setColors(10, 2, 10, rows, colors::blue, colors::lightCyan);
    }
    s.setBorder(1, 1, Columns, rows, border::AllSides);

    // Heading: one caption over the six number columns, outlined together with columns 8-9.
    s.selectBlock(2, 1, 7, 1);
    s.removeBorder(border::AllSides);
    s.endBlock();
    s.setBorder(2, 1, 9, 1, border::Outline);
    s.setColors(1, 1, Columns, 1, colors::black, colors::lightPink);
    s.setAllowOverflow(true);
    s.setText(2, 1, std::string(23, ' ') + "　本 数 字" + std::string(30, ' '));
    s.setRowHeight(1, 20);
    s.setText(1, 1, "回数");
    s.setText(8, 1, "本数字合計");
    s.setText(9, 1, "ボ数字");
    s.setText(10, 1, "本数字+ボ数字");

    int row = 2;
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        s.setText(1, row, r.drawNo);
        // Unsigned sums wrap instead of overflowing on absurd stored values.
        unsigned long long sum = 0;
        for (int k = 0; k < 6; ++k) {
            s.setText(k + 2, row, r.mainNumber(k));
            sum += static_cast<unsigned long long>(r.mainNumber(k));
        }
        s.setText(8, row, static_cast<long long>(sum));
        s.setText(9, row, r.bonus());
        s.setText(
            10, row, static_cast<long long>(sum + static_cast<unsigned long long>(r.bonus())));
        ++row;
    }
    return s;
}

} // namespace loto6
