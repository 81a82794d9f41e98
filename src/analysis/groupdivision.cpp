#include "analysis/builders.h"
#include "analysis/tablelayout.h"
#include "store/drawrecord.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace loto6 {

namespace {

constexpr int Columns = 45;
constexpr int LastNumber = HighestNumber;
constexpr int MaxGroups = 11;
constexpr Rgb MainMark = rgb(62, 158, 255);
constexpr Rgb BonusMark = rgb(255, 128, 192);
constexpr Rgb EmptyGroup = rgb(210, 210, 210);

// How one window divides 1..43: group i starts at width * i + 1, the last group runs to 43.
struct Division
{
    int width;
    int groups;
    unsigned shaded; // bit i: group i is shaded light cyan
    int titleCol;
    std::array<std::string_view, MaxGroups> letters;
};

constexpr Division Group6 = {7, 6, 0b101010, 22,
    {"             Ａ              ", "             Ｂ              ",
        "             Ｃ              ", "             Ｄ              ",
        "             Ｅ              ", "                Ｆ              "}};
constexpr Division Group7 = {6, 7, 0b0101010, 21,
    {"           Ａ            ", "           Ｂ            ", "           Ｃ            ",
        "           Ｄ            ", "           Ｅ            ", "           Ｆ            ",
        "             Ｇ          "}};
constexpr Division Group11 = {4, 11, 0b01010101010, 21,
    {"       Ａ        ", "       Ｂ        ", "       Ｃ        ", "       Ｄ        ",
        "       Ｅ        ", "       Ｆ        ", "       Ｇ        ", "       Ｈ        ",
        "       Ｉ        ", "       Ｊ        ", "   　Ｋ "}};

int firstColumn(const Division &d, int group) { return d.width * group + 2; }
int lastColumn(const Division &d, int group)
{
    return group == d.groups - 1 ? LastNumber + 1 : d.width * group + d.width + 1;
}

// Group index of a number, or -1 for a number outside 1..43.
int groupOf(const Division &d, long long n)
{
    if (n < 1 || n > LastNumber)
        return -1;
    const int group = static_cast<int>((n - 1) / d.width);
    return group < d.groups ? group : d.groups - 1;
}

Sheet buildDivision(const Division &d, const DrawHistory &history, const Totals &totals)
{
    const int rows = tablelayout::tableRows(totals.latestDrawNo, 3);
    Sheet s;
    tablelayout::prepare(s, Columns, rows, 51, 9, 2);
    s.setFrozen(1, 3);
    s.setRowHeight(1, 15);
    s.setRowHeight(2, 12);

    // Title row.
    s.setAllowOverflow(true);
    s.setText(d.titleCol, 1, "数　　 字");
    s.setBackColor(2, 1, LastNumber + 1, 1, colors::lightPink);
    s.setBorder(2, 1, LastNumber + 1, 1, border::Outline);

    s.setColors(1, 1, 1, rows, colors::red, colors::lightYellow);
    s.setColors(Columns, 1, Columns, rows, colors::red, colors::lightYellow);
    for (int g = 0; g < d.groups; ++g)
        if (d.shaded & (1u << g))
            s.setBackColor(firstColumn(d, g), 2, lastColumn(d, g), rows, colors::lightCyan);
    s.setBorder(1, 3, Columns, rows, border::AllSides, colors::lightBlue);

    // Group letters, each framed over its own columns, and the number row.
    for (int g = 0; g < d.groups; ++g) {
        s.setText(firstColumn(d, g), 2, d.letters[static_cast<std::size_t>(g)]);
        s.setBorder(firstColumn(d, g), 2, lastColumn(d, g), 2, border::Outline);
    }
    s.setText(1, 3, "回");
    s.setText(Columns, 3, "回");
    for (int n = 1; n <= LastNumber; ++n)
        s.setText(n + 1, 3, n);
    s.setForeColor(2, 3, LastNumber + 1, 3, colors::blue);

    int row = 4;
    std::size_t labelChars = 2; // the heading "回" is two character widths
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        std::array<int, MaxGroups> counts{};
        s.setText(1, row, r.drawNo);
        s.setText(Columns, row, r.drawNo);
        labelChars = std::max(labelChars, s.text(1, row).size());
        // A number outside 1..43 has no column of its own and gets no mark.
        for (int k = 0; k < 7; ++k)
            if (groupOf(d, r.number(k)) >= 0)
                s.setText(static_cast<int>(r.number(k)) + 1, row, "●");
        for (int k = 0; k < 7; ++k) {
            const int g = groupOf(d, r.number(k));
            if (g >= 0)
                ++counts[static_cast<std::size_t>(g)];
        }
        for (int g = 0; g < d.groups; ++g)
            if (counts[static_cast<std::size_t>(g)] == 0)
                s.setBackColor(firstColumn(d, g), row, lastColumn(d, g), row, EmptyGroup);
        for (int k = 0; k < 7; ++k) {
            if (groupOf(d, r.number(k)) < 0)
                continue;
            s.selectCell(static_cast<int>(r.number(k)) + 1, row);
            s.setForeColor(k < 6 ? MainMark : BonusMark);
        }
        ++row;
    }
    // Both label columns hold the widest draw number whole, with a character width to spare.
    s.setColWidth(1, static_cast<double>(labelChars + 1));
    s.setColWidth(Columns, static_cast<double>(labelChars + 1));
    return s;
}

} // namespace

// A chart of the whole history with one column per number: main numbers and the bonus marked,
// and in every draw the groups that got none of its seven numbers greyed out.
Sheet buildGroup6(const DrawHistory &history, const Totals &totals)
{
    return buildDivision(Group6, history, totals);
}

Sheet buildGroup7(const DrawHistory &history, const Totals &totals)
{
    return buildDivision(Group7, history, totals);
}

Sheet buildGroup11(const DrawHistory &history, const Totals &totals)
{
    return buildDivision(Group11, history, totals);
}

} // namespace loto6
