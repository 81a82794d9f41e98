#include "analysis/chance.h"

#include "grid/numbertext.h"

#include <cmath>
#include <cstdio>

namespace loto6 {

namespace {

using Test = ChanceReport::Test;
using Category = ChanceReport::Category;

std::string fixed(double v, int decimals) { return fixedText(v, decimals); }

std::string pText(double p) { return pValueText(p); }

std::string count(double v) { return fixed(v, 0); }

std::string signedFixed(double v, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%+.*f", decimals, v);
    return buf;
}

constexpr int ChanceColumns = 9;

std::string methodText(const Test &t)
{
    switch (t.method) {
    case ChanceReport::Method::ChiSquare:
        return "カイ二乗（自由度" + fixed(t.df, 0) + "）";
    case ChanceReport::Method::Binomial:
        return "二項（正確）";
    case ChanceReport::Method::Normal:
        break;
    }
    return "正規近似（z）";
}

// Widths, alignment, and the header row over one row per test.
void writeChanceFrame(Sheet &s, int testRows)
{
    s.setRowHeight(1, 15);
    const double widths[ChanceColumns] = {34, 30, 22, 20, 9, 9, 12, 6, 120};
    for (int c = 1; c <= ChanceColumns; ++c)
        s.setColWidth(c, widths[c - 1]);
    // Names and explanations read from the left; the figures between them are centred.
    for (int c : {1, ChanceColumns}) {
        s.selectCell(c, -1);
        s.setHAlign(HAlign::Left);
    }
    static constexpr const char *Header[ChanceColumns] = {"項目", "観測値", "期待値（公平な抽選）",
        "検定", "統計量", "p値", "Holm補正p値", "判定", "説明"};
    for (int c = 1; c <= ChanceColumns; ++c)
        s.setText(c, 1, Header[c - 1]);
    s.setColors(1, 1, ChanceColumns, 1, colors::black, colors::lightPink);
    s.setBorder(1, 1, ChanceColumns, 1 + testRows, border::AllSides, colors::lightBlue);
}

void writeTestRow(Sheet &s, int row, const Test &t)
{
    s.setText(1, row, t.title);
    s.setText(2, row, t.observedText);
    s.setText(3, row, t.expectedText);
    s.setText(4, row, methodText(t));
    s.setText(5, row, fixed(t.statistic, 2));
    s.setText(6, row, pText(t.pValue));
    s.setText(7, row, pText(t.adjustedP));
    s.setText(8, row, t.notable ? "注目" : t.available() ? "" : "—");
    s.setText(9, row, t.sentence);
    s.setBackColor(1, row, 1, row, colors::lightYellow);
    if (t.notable)
        s.setColors(8, row, 8, row, colors::red, colors::lightMagenta);
}

// The cells of one test under its own heading, from `row`; returns the next free row.
int writeCategoryBlock(Sheet &s, int row, const Test &t)
{
    ++row; // blank line before each block
    s.setText(1, row, "【" + t.title + "】");
    s.setBackColor(1, row, 1, row, colors::lightCyan);
    ++row;
    static constexpr const char *Sub[5] = {"区分", "観測値", "期待値", "差", "標準化残差"};
    for (int c = 1; c <= 5; ++c)
        s.setText(c, row, Sub[c - 1]);
    s.setColors(1, row, 5, row, colors::black, colors::lightPink);
    s.setBorder(1, row, 5, row + static_cast<int>(t.categories.size()), border::AllSides,
        colors::lightBlue);
    ++row;
    for (const Category &c : t.categories) {
        s.setText(1, row, c.label);
        s.setText(2, row, count(c.observed));
        s.setText(3, row, fixed(c.expected, 2));
        s.setText(4, row, signedFixed(c.observed - c.expected, 2));
        s.setText(5, row,
            c.expected > 0 ? signedFixed((c.observed - c.expected) / std::sqrt(c.expected), 2)
                           : std::string("—"));
        ++row;
    }
    return row;
}

} // namespace

Sheet chanceSheet(const ChanceReport &report)
{
    int detailRows = 0;
    for (const Test &t : report.tests)
        if (!t.categories.empty())
            detailRows += 3 + static_cast<int>(t.categories.size());
    const int testRows = static_cast<int>(report.tests.size());
    const int notesTop = testRows + 3;
    const int rows = notesTop - 1 + static_cast<int>(report.notes.size()) + detailRows;

    Sheet s{std::string(ChanceSheetName), std::string(ChanceCaption)};
    s.prepare(ChanceColumns, rows, ChanceColumns, 40, 12, 9);
    s.setFrozen(1, 1);
    writeChanceFrame(s, testRows);
    int row = 2;
    for (const Test &t : report.tests)
        writeTestRow(s, row++, t);

    s.setAllowOverflow(true);
    row = notesTop;
    for (const std::string &note : report.notes) {
        // The note runs on across the empty cells to its right.
        s.setText(1, row, "注");
        s.setText(2, row, note);
        s.selectCell(2, row);
        s.setHAlign(HAlign::Left);
        ++row;
    }
    for (const Test &t : report.tests)
        if (!t.categories.empty())
            row = writeCategoryBlock(s, row, t);
    return s;
}

} // namespace loto6
