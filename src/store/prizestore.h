#pragma once

#include "store/drawprizes.h"
#include "store/result.h"

#include <functional>
#include <map>
#include <string>

namespace loto6 {

class Database;

// The payouts are kept in a table of the program's own beside 結果マスタ, one row per draw.
inline constexpr const char *PrizeTable = "払戻金";

// The bounds of the game a published payout keeps: winners 0 or more and at most one per 200
// yen sold, a prize per unit at most 1等's cap, sales from one ticket to MaxPayoutSales yen
// (or 0, unknown).
inline constexpr long long MaxPayoutSales = 1'000'000'000'000'000;
inline constexpr long long MaxTierPrize = 600'000'000;
inline constexpr long long TicketPrice = 200;

// Why a payout cannot be a published one (PayoutImpossible naming the first field outside the
// game's bounds); success when it keeps them.
Status payoutProblem(const DrawPrizes &prizes);

// The stored payouts outside the game's bounds: how many, and the first one's fault.
struct StoredPayoutsCheck
{
    int count = 0;
    Status first;
};
// The warning of the command line for such payouts; empty when there are none.
std::string storedPayoutsWarning(const StoredPayoutsCheck &check);

// Every stored payout within the game's bounds, by draw number; the others are left out of
// every figure (and counted in `check` when given). A database without payout data gives an
// empty map.
Status readPrizes(
    const Database &db, std::map<int, DrawPrizes> &prizes, StoredPayoutsCheck *check = nullptr);

// Hands every stored payout to take, by draw number, without holding them all, as stored
// (unchecked: for copies and merges, which lose nothing).
Status forEachPrizes(const Database &db, const std::function<void(const DrawPrizes &)> &take);

// Stores one draw's payout, replacing any earlier one; inside the caller's transaction.
Status writePrizes(Database &db, const DrawPrizes &prizes);
Status deletePrizes(Database &db, int drawNo);

} // namespace loto6
