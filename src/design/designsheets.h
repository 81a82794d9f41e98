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
// "12 tickets, 5 if 5 guaranteed, lower bound 11"
std::string wheelSummary(const Wheel &wheel);

} // namespace loto6::design
