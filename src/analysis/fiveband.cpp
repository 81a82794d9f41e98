#include "analysis/builders.h"
#include "analysis/tablelayout.h"

#include <array>
#include <string_view>

namespace loto6 {

namespace {

constexpr int Columns = 13;
constexpr Rgb Lavender = rgb(200, 200, 255);
constexpr int Bands = 5;
constexpr std::array<std::string_view, Bands> BandHeadings
    = {"01～09", "10～19", "20～29", "30～39", "40～43"};
constexpr std::array<Rgb, Bands> BandColors = {colors::white, colors::lightCyan, colors::lightGreen,
    colors::lightYellow, colors::lightMagenta};

// Band 0..4 by tens digit; whatever is not in 1..39 falls into the last band.
int bandOf(long long n)
{
    if (n >= 1 && n <= 9)
        return 0;
    if (n >= 10 && n <= 19)
        return 1;
    if (n >= 20 && n <= 29)
        return 2;
    if (n >= 30 && n <= 39)
        return 3;
    return 4;
}

void writeHeader(Sheet &s, int row)
{
    s.setRowHeight(row, 20);
    s.setColors(1, row, 8, row, colors::black, colors::lightPink);
    s.setColors(9, row, Columns, row, colors::blue, Lavender);
    s.setAllowOverflow(true);
    s.setText(1, row, "回数");
    s.setText(4, row, "    本 数 字");
    s.setText(8, row, "ボ数");
    for (int b = 0; b < Bands; ++b)
        s.setText(b + 9, row, BandHeadings[static_cast<std::size_t>(b)]);
    // The six number headings read as one caption: no lines between them, one line under.
    s.setBorder(2, row, 6, row, border::Right, colors::black, BorderStyle::None);
    s.setBorder(3, row, 7, row, border::Left, colors::black, BorderStyle::None);
    s.setBorder(2, row, 7, row, border::Bottom, colors::black);
}

} // namespace

// One row per complete draw: every number coloured by its band and, for the seven numbers
// including the bonus, the count per band; the header repeats under the table.
Sheet buildFiveBand(const DrawHistory &history, const Totals &totals)
{
    const int rows = tablelayout::tableRows(totals.latestDrawNo, 2);
    Sheet s;
    tablelayout::prepare(s, Columns, rows, 51, 10, 5);
    s.setFrozen(1, 1);
    s.setColWidth(1, 6);
    s.setBorder(1, 1, Columns, rows, border::AllSides);
    s.setBorder(9, 1, 9, rows, border::Left, colors::red);
    if (rows >= 2) {
        s.setColors(1, 2, 1, rows, colors::red, colors::lightYellow);
        s.setBackColor(8, 2, 8, rows, colors::lightYellow);
        for (int b = 1; b < Bands; ++b)
            s.setBackColor(b + 9, 2, b + 9, rows, BandColors[static_cast<std::size_t>(b)]);
    }
    writeHeader(s, 1);
    writeHeader(s, rows);

    const int lastDataRow = rows - 1; // the bottom header is never overwritten
    int row = 2;
    for (const DrawRecord &r : history) {
        if (row > lastDataRow)
            break;
        if (!r.isComplete())
            continue;
        std::array<int, Bands> counts{};
        s.setText(1, row, r.drawNo);
        for (int k = 0; k < 7; ++k) {
            const long long n = r.number(k);
            const auto band = static_cast<std::size_t>(bandOf(n));
            s.setText(k + 2, row, n);
            s.selectCell(k + 2, row);
            s.setBackColor(BandColors[band]);
            ++counts[band];
        }
        for (int b = 0; b < Bands; ++b)
            s.setText(b + 9, row, counts[static_cast<std::size_t>(b)]);
        ++row;
    }
    return s;
}

} // namespace loto6
