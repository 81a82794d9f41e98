#include "grid/sheetsearch.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace loto6 {

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool isDrawHeading(std::string_view text)
{
    text = trimmed(text);
    return text == "回数" || text == "回";
}

int headingRows(const Sheet &sheet)
{
    return std::min(sheet.rows(), std::max(3, sheet.frozenRows()));
}

// The draw a cell of the draw column names ("2149" or "第2149回").
std::optional<long long> drawIn(std::string_view text)
{
    text = trimmed(text);
    constexpr std::string_view Before = "第";
    constexpr std::string_view After = "回";
    if (text.starts_with(Before) && text.ends_with(After)
        && text.size() > Before.size() + After.size())
        text = text.substr(Before.size(), text.size() - Before.size() - After.size());
    return cellNumber(text);
}

// The rows above the first draw of the draw column (`col`; 0: none) are headings; without
// draws, the frozen rows or at least the first three.
int headingRowsAbove(const Sheet &sheet, int col)
{
    if (col > 0)
        for (int row = 1; row <= sheet.rows(); ++row)
            if (drawIn(sheet.text(col, row)))
                return row - 1;
    return headingRows(sheet);
}

// The heading of a column: the lowest text that is not a number in the heading rows above `row`.
std::string_view columnHeading(const Sheet &sheet, int col, int row, int headings)
{
    for (int r = std::min(row - 1, headings); r >= 1; --r)
        if (std::string_view text = trimmed(sheet.text(col, r)); !text.empty() && !cellNumber(text))
            return text;
    return {};
}

} // namespace

std::optional<SheetCell> lastDraw(const Sheet &sheet)
{
    const int col = drawColumn(sheet);
    if (col == 0)
        return std::nullopt;
    for (int row = sheet.rows(); row >= 1; --row)
        if (drawIn(sheet.text(col, row)))
            return SheetCell{col, row};
    return std::nullopt;
}

std::string cellPlace(const Sheet &sheet, SheetCell cell)
{
    const int col = drawColumn(sheet);
    std::string draw;
    if (col > 0)
        if (const std::optional<long long> n = drawIn(sheet.text(col, cell.row)))
            draw = "第" + std::to_string(*n) + "回";
    const std::string heading(
        columnHeading(sheet, cell.col, cell.row, headingRowsAbove(sheet, col)));
    if (draw.empty() && heading.empty())
        return std::to_string(cell.row) + "行目 " + std::to_string(cell.col) + "列目";
    if (draw.empty() || heading.empty())
        return draw + heading;
    return draw + " " + heading;
}

std::optional<long long> cellNumber(std::string_view text)
{
    text = trimmed(text);
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

int drawColumn(const Sheet &sheet)
{
    for (int row = 1; row <= headingRows(sheet); ++row)
        for (int col = 1; col <= sheet.columns(); ++col)
            if (isDrawHeading(sheet.text(col, row)))
                return col;
    return 0;
}

std::optional<SheetCell> findDraw(const Sheet &sheet, int drawNo)
{
    const int col = drawColumn(sheet);
    if (col == 0)
        return std::nullopt;
    const std::string marked = "第" + std::to_string(drawNo) + "回";
    for (int row = 1; row <= sheet.rows(); ++row) {
        const std::string_view text = trimmed(sheet.text(col, row));
        if (text == marked || cellNumber(text) == drawNo)
            return SheetCell{col, row};
    }
    return std::nullopt;
}

std::optional<SheetCell> findNumber(const Sheet &sheet, SheetCell from, long long number)
{
    const long long cols = sheet.columns();
    const long long cells = cols * sheet.rows();
    if (cells == 0)
        return std::nullopt;
    const bool inside
        = from.col >= 1 && from.col <= cols && from.row >= 1 && from.row <= sheet.rows();
    const long long start = inside ? (from.row - 1) * cols + (from.col - 1) : cells - 1;
    for (long long step = 1; step <= cells; ++step) {
        const long long at = (start + step) % cells;
        const SheetCell cell{static_cast<int>(at % cols) + 1, static_cast<int>(at / cols) + 1};
        if (cellNumber(sheet.text(cell.col, cell.row)) == number)
            return cell;
    }
    return std::nullopt;
}

} // namespace loto6
