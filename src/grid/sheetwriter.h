#pragma once

#include "grid/sheet.h"

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace loto6 {

// Output forms of a filled sheet: the JSON contract, aligned plain text, CSV of the texts and a
// standalone HTML table with colours and borders.
enum class SheetFormat { Text, Csv, Json, Html };

bool parseSheetFormat(std::string_view name, SheetFormat &format);

void writeSheetJson(std::ostream &out, const Sheet &sheet);
void writeSheetText(std::ostream &out, const Sheet &sheet);
void writeSheetCsv(std::ostream &out, const Sheet &sheet);
void writeSheetHtml(std::ostream &out, const Sheet &sheet);
void writeSheet(std::ostream &out, const Sheet &sheet, SheetFormat format);

// Several tables in one output: one HTML page with a heading over each table, or CSV blocks
// each opened by the table's caption and separated by a blank line.
void writeSheetsHtml(std::ostream &out, std::string_view title, std::span<const Sheet> sheets);
void writeSheetsCsv(std::ostream &out, std::span<const Sheet> sheets);

// A block of cells, 1-based and inclusive; the parts outside the sheet are left out.
struct SheetBlock
{
    int firstColumn = 1;
    int firstRow = 1;
    int lastColumn = 0;
    int lastRow = 0;
};
// What a copy of a block puts on the clipboard: an HTML table with the colours, alignment and
// borders of the saved page, and lines of tab-separated texts.
void writeSheetBlockHtml(std::ostream &out, const Sheet &sheet, SheetBlock block);
void writeSheetBlockTsv(std::ostream &out, const Sheet &sheet, SheetBlock block);

// JSON pieces shared with other writers (the prediction's four grids).
void writeSheetJsonObject(std::ostream &out, const Sheet &sheet);
std::string jsonString(std::string_view text);
// Text with & < > " escaped, for HTML and SVG.
std::string htmlEscape(std::string_view text);
// A JSON number with 12 significant digits; null for a value that is not finite.
std::string jsonNumber(double value);
std::string colorHex(Rgb color);
// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string csvField(std::string_view text);

// Columns a text takes in a terminal: wide (East Asian) characters count two.
int displayWidth(std::string_view utf8);

} // namespace loto6
