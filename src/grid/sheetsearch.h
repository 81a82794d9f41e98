#pragma once

#include "grid/sheet.h"

#include <optional>
#include <string>
#include <string_view>

namespace loto6 {

// Finding things in a table the way a spreadsheet user does: a draw by its number, a number
// among the cells. Cells are 1-based (column, row) as in Sheet.
struct SheetCell
{
    int col = 0;
    int row = 0;
    bool operator==(const SheetCell &) const = default;
};

// The column that holds draw numbers ("2149" or "第2149回") under a heading 回数 or 回 in the
// table's heading rows (the frozen rows, at least the first three); 0 when there is none.
int drawColumn(const Sheet &sheet);
// The cell of draw `drawNo` in that column; nothing when the table does not hold it.
std::optional<SheetCell> findDraw(const Sheet &sheet, int drawNo);
// The cell of the newest draw: the lowest row whose draw column holds a draw; nothing when
// the table has no draw column or no draw in it.
std::optional<SheetCell> lastDraw(const Sheet &sheet);
// Where a cell is, in a player's words: its draw and its column's heading ("第2013回 第6数字"),
// either alone when the other is not known, or the row and column ("12行目 3列目").
std::string cellPlace(const Sheet &sheet, SheetCell cell);
// The whole number a cell holds ("7", "07", " 43 "); nothing for any other text.
std::optional<long long> cellNumber(std::string_view text);
// The next cell after `from`, row by row and left to right, that holds the number, going on
// from the top after the last cell; `from` itself comes last. Nothing when no cell holds it.
std::optional<SheetCell> findNumber(const Sheet &sheet, SheetCell from, long long number);

} // namespace loto6
