#pragma once

#include "store/drawrecord.h"
#include "store/result.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace loto6 {

// The draw-history CSV exchange format: columns found by header name, canonical UTF-8 out.
// Files of it are read by the one history reader (historyfile.h), which calls readCsvRows.

// Takes each checked draw as it is read, with its line and the row's cells (other layouts read
// more of the row); a failure stops the reading with that message. Rows are read as they
// come, so that a large file is never held as draws twice.
using CsvDrawSink = std::function<Status(
    const DrawRecord &draw, int line, const std::vector<std::string> &cells)>;
// Reads the rows of UTF-8 text whose header record (given as cells, ending on headerLine) was
// split by the caller, the rows starting at bodyStart.
Status readCsvRows(std::string_view text, std::size_t bodyStart, int headerLine,
    const std::vector<std::string> &headerCells, const CsvDrawSink &sink);

// Splits the CSV record at pos and moves past it; quoted cells may hold commas, doubled quotes
// and line breaks, each counted in line. False at the end of the text.
bool nextCsvRecord(
    std::string_view text, std::size_t &pos, std::vector<std::string> &cells, int &line);

// The refusal of a file whose lines end in a carriage return alone, found on `line`.
Status loneCarriageReturn(int line);

void exportCsv(std::ostream &out, const std::vector<DrawRecord> &draws);

// The largest history file read, of any layout; the whole bundled history needs far less.
inline constexpr std::uintmax_t MaxHistoryFileBytes = 64 * 1024 * 1024;

inline constexpr const char *CanonicalCsvHeader
    = "回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字";

} // namespace loto6
