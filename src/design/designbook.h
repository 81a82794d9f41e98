#pragma once

#include "design/filters.h"
#include "design/wheel.h"
#include "store/database.h"
#include "tickets/ticket.h"

#include <cstdint>
#include <string>
#include <vector>

namespace loto6::design {

// How a designed set was made, in Japanese, kept as the memo of each of its tickets in the
// ticket book so that the set can be made again: "条件から選択（シード 42、合計 100〜160）" or
// "ホイール（5個出れば5個以上当たる保証、数字 1,2,3,4,5,6,7）".
std::string pickMemo(const DesignFilter &filter, std::uint64_t seed);
std::string wheelMemo(const Wheel &wheel, const std::vector<int> &pool);

// Stores the tickets (入手 設計), one unit each, for `draws` consecutive draws from firstDraw, the
// next draw when they were made, all or none; refused (NextDrawMoved) when the history stored in
// the database has moved on since.
Status addDesignedTickets(Database &db, const std::vector<Combination> &tickets, int firstDraw,
    int draws, const std::string &memo, std::vector<Ticket> &made);

} // namespace loto6::design
