#pragma once

#include "analysis/chancereport.h"
#include "grid/sheet.h"
#include "store/drawhistory.h"
#include "store/totals.h"

#include <string_view>

namespace loto6 {

inline constexpr std::string_view ChanceSheetName = "chance";
inline constexpr std::string_view ChanceCaption = "偶然との比較";
inline constexpr std::string_view ChanceDescription
    = "過去の当選数字の主な統計を、公平な抽選での正確な期待値と比べて検定します";

// Every test of the chance page over the complete draws of the history.
ChanceReport computeChance(const DrawHistory &history);

// The report as a table: a header row, one row per test, the notes, then the cells of each
// test under its own heading.
Sheet chanceSheet(const ChanceReport &report);

// Both steps, with the signature of the analysis builders.
Sheet buildChance(const DrawHistory &history, const Totals &totals);

} // namespace loto6
