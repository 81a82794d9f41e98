#pragma once

#include "design/filters.h"
#include "design/odds.h"
#include "design/wheel.h"
#include "grid/sheet.h"

#include <string>
#include <vector>

namespace loto6::design {

// The tables of the ticket designer, shared by the command line and the desktop.
Sheet filterCountSheet(const DesignFilter &filter, const FilterCount &count);
// One row per ticket: 番号 and the six numbers.
Sheet designTicketsSheet(const std::vector<Combination> &tickets, std::string_view caption);
// Per tier: the chance of at least one prize, the expected number and the expected yen; the
// heading only when there are no tickets.
Sheet ticketOddsSheet(const TicketOdds &odds);

// The plain facts that go with every set of tickets, in English (command line).
std::vector<std::string> oddsFacts(const TicketOdds &odds);
// "132 tickets, 5 if 5 verified on every 5-subset of the pool, best known 132, lower bound 132
// (the best known size; proven smallest) (0.01 s)"
std::string wheelSummary(const Wheel &wheel);
// How far the wheel is from the best known size and the lower bound, in English:
// "the best known size; proven smallest", "1 above the best known size, 1 above the bound".
std::string wheelGapText(const Wheel &wheel);

} // namespace loto6::design
