#pragma once

#include "grid/sheet.h"

namespace loto6 {

// The two interval windows share one table: the draw number, then each of the seven numbers
// followed by its interval or difference column, with a heading pair above and below the draws.
enum class IntervalKind { Appearance, Difference };

namespace intervalsheet {
inline constexpr int Columns = 15;
inline constexpr int FirstDataRow = 3;
// Column of the k-th number (k = 1..7, 7 being the bonus number); its value column is one right.
constexpr int numberColumn(int k) { return 2 * k; }
// The last row that belongs to a draw; the bottom heading pair follows it.
constexpr int lastDataRow(int latestDrawNo) { return latestDrawNo + 2; }
} // namespace intervalsheet

// A sheet of latestDrawNo + 4 rows with sizes, column colours, borders and both heading pairs;
// only the draw rows are left to fill.
Sheet makeIntervalSheet(int latestDrawNo, IntervalKind kind);

} // namespace loto6
