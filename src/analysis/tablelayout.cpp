#include "analysis/tablelayout.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string>

namespace loto6::tablelayout {

namespace {

constexpr int PatternColumns = 11;
constexpr int LastDigitColumns = 11;

// "下一桁数字" with the spacing that centres it over the ten digit columns.
const std::string &lastDigitTitle()
{
    static const std::string title = std::string(43, ' ') + "下一桁数字" + std::string(27, ' ')
        + "　　　" + std::string(18, ' ');
    return title;
}

} // namespace

int tableRows(int latestDrawNo, int extraRows)
{
    const long long rows = static_cast<long long>(latestDrawNo) + extraRows;
    return static_cast<int>(std::clamp<long long>(rows, 0, INT_MAX));
}

void prepare(
    Sheet &sheet, int columns, int rows, int visibleRows, double rowHeight, double colWidth)
{
    sheet.prepare(columns, rows, columns, visibleRows, rowHeight, colWidth);
}

void outlineGroup(Sheet &sheet, int col1, int row1, int col2, int row2)
{
    sheet.selectBlock(col1, row1, col2, row2);
    sheet.removeBorder(border::AllSides);
    sheet.setBorder(border::Outline, BorderStyle::ThinSolid, colors::black);
    sheet.endBlock();
}

int lastDigit(long long n)
{
    const long long d = n % 10;
    return static_cast<int>(d < 0 ? -d : d);
}

Sheet patternSheet(int latestDrawNo, const PatternHeadings &headings)
{
    const int rows = tableRows(latestDrawNo, 1);
    Sheet s;
    prepare(s, PatternColumns, rows, 51, 10, 5);
    s.setFrozen(1, 1);
    s.setColWidth(1, 6);
    s.setColWidth(11, 7);

    if (rows >= 2) {
        s.setColors(1, 2, 1, rows, colors::red, colors::lightYellow);
        s.setBackColor(8, 2, 8, rows, colors::lightYellow);
        s.setColors(9, 2, 9, rows, colors::blue, colors::lightCyan);
        s.setColors(10, 2, 10, rows, colors::blue, colors::white);
    }
    s.setBorder(1, 1, PatternColumns, rows, border::AllSides);

    outlineGroup(s, 2, 1, 7, 1);
    s.setColors(1, 1, PatternColumns, 1, colors::blue, colors::lightPink);
    s.setAllowOverflow(true);
    s.setText(4, 1, headings.caption);
    s.setRowHeight(1, 20);
    s.setText(1, 1, "回数");
    s.setText(8, 1, "ボ数");
    s.setText(9, 1, headings.countLeft);
    s.setText(10, 1, headings.countRight);
    s.setText(11, 1, "パターン");
    return s;
}

void writePatternNumbers(Sheet &sheet, int row, const DrawRecord &record)
{
    sheet.setText(1, row, record.drawNo);
    for (int k = 0; k < DrawRecord::FieldCount; ++k)
        sheet.setText(k + 2, row, record.number(k));
}

void writePatternCounts(Sheet &sheet, int row, int leftCount, int letterIndex)
{
    static constexpr std::array<std::string_view, 7> Letters = {"A", "B", "C", "D", "E", "F", "G"};
    // "A" is left on the grid's default background; "E" is painted white on purpose.
    static constexpr std::array<Rgb, 7> Backs
        = {colors::white, colors::lightCyan, colors::lightGreen, colors::lightYellow, colors::white,
            colors::lightMagenta, colors::lightPink};
    sheet.setText(9, row, leftCount);
    sheet.setText(10, row, 6 - leftCount);
    if (letterIndex < 0 || letterIndex > 6)
        return;
    const auto i = static_cast<std::size_t>(letterIndex);
    sheet.setText(11, row, Letters[i]);
    if (letterIndex != 0) {
        sheet.selectCell(11, row);
        sheet.setBackColor(Backs[i]);
    }
}

void writeLastDigitHeader(Sheet &sheet, int titleRow, int digitRow, const LastDigitHeader &style)
{
    sheet.setRowHeight(titleRow, 20);
    sheet.setText(1, titleRow, "回数");
    if (style.outlineDrawNoHeading)
        sheet.setBorder(1, titleRow, 1, titleRow, border::Outline);
    sheet.setAllowOverflow(true);
    sheet.setText(2, titleRow, lastDigitTitle());
    sheet.setBorder(2, titleRow, LastDigitColumns, titleRow, border::Outline);
    for (int d = 0; d <= 9; ++d)
        sheet.setText(d + 2, digitRow, d);
    sheet.setColors(2, titleRow, LastDigitColumns, titleRow, colors::blue, colors::lightPink);
    sheet.setColors(2, digitRow, LastDigitColumns, digitRow, colors::blue, colors::lightPink);
}

Sheet lastDigitSheet(int latestDrawNo, const LastDigitHeader &style)
{
    const int rows = tableRows(latestDrawNo, 4);
    Sheet s;
    prepare(s, LastDigitColumns, rows, 51, 10, 5);
    s.setFrozen(1, 2);
    s.setColors(1, 1, 1, rows, colors::red, colors::lightYellow);
    s.setBorder(1, 2, LastDigitColumns, rows, border::AllSides);
    writeLastDigitHeader(s, 1, 2, style);
    writeLastDigitHeader(s, rows, rows - 1, style);
    return s;
}

} // namespace loto6::tablelayout
