#include "analysis/builders.h"

#include <vector>

namespace loto6 {

namespace {

constexpr int Columns = 15;
constexpr Rgb WinningBack = colors::lightCyan;
constexpr Rgb CountBack = colors::lightGreen;
constexpr const char *FieldHeadings[7]
    = {"第1数字", "第2数字", "第3数字", "第4数字", "第5数字", "第6数字", "ボ数字"};

} // namespace

// Every complete draw with its seven numbers and, beside them, how often each number had
// appeared (as a main or bonus number) in the complete draws before it.
Sheet buildAppearanceCount(const DrawHistory &history, const Totals &totals)
{
    const int rows = totals.latestDrawNo + 2;

    Sheet s;
    s.prepare(Columns, rows, Columns, 52, 10, 5);
    s.setFrozen(1, 2);
    s.setRowHeight(1, 20);
    s.setRowHeight(2, 12);
    s.setColors(1, 1, 1, rows, colors::red, colors::lightYellow);
    s.setColors(2, 1, 8, 2, colors::blue, WinningBack);
    s.setColors(9, 1, 15, 2, colors::red, CountBack);
    s.setBorder(1, 1, Columns, rows, border::AllSides);
    // Each group title stands in one open band.
    s.selectBlock(2, 1, 8, 1);
    s.removeBorder();
    s.selectBlock(9, 1, 15, 1);
    s.removeBorder();
    s.endBlock();
    s.setBorder(8, 1, 8, 1, border::Right);
    s.setBorder(15, 1, 15, 1, border::Right);

    s.setAllowOverflow(true);
    s.selectCell(4, 1);
    s.setText("       当 選 数 字");
    s.setHAlign(HAlign::Left);
    s.setText(12, 1, "前回までの出現回数合計(回)");
    s.setText(1, 2, "回数");
    for (int k = 0; k < 7; ++k) {
        s.setText(2 + k, 2, FieldHeadings[k]);
        s.setText(9 + k, 2, FieldHeadings[k]);
    }

    // Running counts indexed by number, as wide as the start-up totals; other values count 0.
    std::vector<int> running(Totals::CountTableSize, 0);
    auto runningOf = [&](long long v) -> int * {
        return v >= 0 && v < Totals::CountTableSize ? &running[static_cast<std::size_t>(v)]
                                                    : nullptr;
    };
    int row = 3;
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        s.setText(1, row, r.drawNo);
        for (int f = 0; f < DrawRecord::FieldCount; ++f) {
            const long long v = r.number(f);
            const int *c = runningOf(v);
            s.setText(2 + f, row, v);
            s.setText(9 + f, row, c ? *c : 0);
        }
        for (int f = 0; f < DrawRecord::FieldCount; ++f)
            if (int *c = runningOf(r.number(f)))
                ++*c;
        ++row;
    }
    return s;
}

} // namespace loto6
