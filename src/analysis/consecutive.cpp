#include "analysis/builders.h"

namespace loto6 {

namespace {

constexpr int Columns = 14;
constexpr int LeftFirst = 2; // 第1数字 of the consecutive table
constexpr int RightDrawCol = 8;
constexpr int RightFirst = 9; // 第1数字 of the stepping-stone table
constexpr Rgb NoPairBack = rgb(225, 225, 225);

// Marks neighbouring fields whose numbers differ by step; returns whether any pair was found.
bool markPairs(Sheet &s, const DrawRecord &r, int row, int firstCol, long long step, Rgb color)
{
    bool found = false;
    for (int i = 0; i < 5; ++i) {
        if (r.mainNumber(i) + step == r.mainNumber(i + 1)) {
            s.setBackColor(firstCol + i, row, firstCol + i + 1, row, color);
            found = true;
        }
    }
    return found;
}

} // namespace

// Every complete draw twice: on the left its consecutive pairs (differ by 1), on the right its
// stepping-stone pairs (differ by 2); only neighbouring fields are compared.
Sheet buildConsecutive(const DrawHistory &history, const Totals &totals)
{
    const int rows = totals.latestDrawNo + 1;

    Sheet s;
    s.prepare(Columns, rows, Columns, 51, 10, 4);
    s.setFrozen(1, 1);
    s.setAllowOverflow(true);
    s.setColors(1, 1, 1, rows, colors::red, colors::lightYellow);
    s.setColors(RightDrawCol, 1, RightDrawCol, rows, colors::red, colors::lightYellow);
    s.setBorder(1, 1, Columns, rows, border::AllSides);

    // Two heading blocks without inner lines, each with one outline.
    s.selectBlock(LeftFirst, 1, LeftFirst + 5, 1);
    s.setBackColor(colors::lightMagenta);
    s.removeBorder();
    s.setBorder(border::Outline);
    s.selectBlock(RightFirst, 1, RightFirst + 5, 1);
    s.setBackColor(colors::lightPink);
    s.removeBorder();
    s.setBorder(border::Outline);
    s.endBlock();
    s.setText(1, 1, "回数");
    s.setText(RightDrawCol, 1, "回数");
    s.selectCell(4, 1);
    s.setText("連番(本数字)");
    s.setHAlign(HAlign::Left);
    s.selectCell(11, 1);
    s.setText("飛び石(本数字)");
    s.setHAlign(HAlign::Left);

    int row = 2;
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        s.setText(1, row, r.drawNo);
        for (int i = 0; i < 6; ++i)
            s.setText(LeftFirst + i, row, r.mainNumber(i));
        if (!markPairs(s, r, row, LeftFirst, 1, colors::lightCyan))
            s.setBackColor(1, row, 1, row, NoPairBack);

        s.setText(RightDrawCol, row, r.drawNo);
        for (int i = 0; i < 6; ++i)
            s.setText(RightFirst + i, row, r.mainNumber(i));
        if (!markPairs(s, r, row, RightFirst, 2, colors::lightGreen))
            s.setBackColor(RightDrawCol, row, RightDrawCol, row, NoPairBack);
        ++row;
    }
    return s;
}

} // namespace loto6
