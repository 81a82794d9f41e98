#pragma once

#include "store/historyfile.h"

#include <string_view>

namespace loto6 {

// The official files: one draw's result (a record tag, the draw's title line, the payment
// period, the numbers, five tiers, carry-over, sales, then five lines stating the tiers'
// conditions) and the index of recent draws (tag and title lines only). Text is UTF-8 here.

// True when the text starts like an official file: a record tag line, then 第N回ロト６.
bool looksLikeOfficialFile(std::string_view text);
// Reads an official file; the index is recognised and refused, since it has no numbers.
Status readOfficialFile(std::string_view text, HistoryFile &file);

} // namespace loto6
