#pragma once

#include "store/drawprizes.h"
#include "store/result.h"

#include <functional>
#include <map>

namespace loto6 {

class Database;

// The payouts are kept in a table of the program's own beside 結果マスタ, one row per draw.
inline constexpr const char *PrizeTable = "払戻金";

// Every stored payout, by draw number. A database without payout data gives an empty map.
Status readPrizes(const Database &db, std::map<int, DrawPrizes> &prizes);

// Hands every stored payout to take, by draw number, without holding them all.
Status forEachPrizes(const Database &db, const std::function<void(const DrawPrizes &)> &take);

// Stores one draw's payout, replacing any earlier one; inside the caller's transaction.
Status writePrizes(Database &db, const DrawPrizes &prizes);
Status deletePrizes(Database &db, int drawNo);

} // namespace loto6
