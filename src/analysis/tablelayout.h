#pragma once

#include "grid/sheet.h"
#include "store/drawrecord.h"

#include <string_view>

// Pieces shared by the per-draw tables: grid preparation, header groups, the low/high and
// even/odd pattern layout and the last-digit headers.
namespace loto6::tablelayout {

// Rows of a table sized by the latest draw number plus its header rows; never negative and
// never past the int range, whatever the draw numbers are.
int tableRows(int latestDrawNo, int extraRows);

// Size, visible extent, default row height and column width, and every cell centred both ways.
void prepare(
    Sheet &sheet, int columns, int rows, int visibleRows, double rowHeight, double colWidth);

// The header cells over the six main numbers drawn as one group: their own borders removed,
// one outline around them.
void outlineGroup(Sheet &sheet, int col1, int row1, int col2, int row2);

// Last digit 0..9 of a field value; a negative value counts by its magnitude.
int lastDigit(long long n);

// Pattern tables (low/high, even/odd): 11 columns, header row, number columns 2..7, bonus in
// column 8, two counts in columns 9 and 10 and the pattern letter in column 11.
struct PatternHeadings
{
    std::string_view caption;    // over the six number columns, in column 4
    std::string_view countLeft;  // column 9
    std::string_view countRight; // column 10
};
Sheet patternSheet(int latestDrawNo, const PatternHeadings &headings);
// Writes the draw number, the six numbers and the bonus of one draw row.
void writePatternNumbers(Sheet &sheet, int row, const DrawRecord &record);
// Writes the two counts and the letter "A".."G" for count 0..6 with its background
// ("A" keeps the grid's default).
void writePatternCounts(Sheet &sheet, int row, int leftCount, int letterIndex);

// The two header rows of the last-digit tables: a title row and a digit row "0".."9" in
// columns 2..11; used at the top and mirrored at the bottom.
struct LastDigitHeader
{
    bool outlineDrawNoHeading; // the "回数" cell outlined on its own
};
void writeLastDigitHeader(Sheet &sheet, int titleRow, int digitRow, const LastDigitHeader &style);
// The common frame of both last-digit tables: 11 columns, N + 4 rows, column 1 colours,
// borders from row 2 down, and both headers.
Sheet lastDigitSheet(int latestDrawNo, const LastDigitHeader &style);

} // namespace loto6::tablelayout
