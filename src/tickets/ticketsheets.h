#pragma once

#include "grid/sheet.h"
#include "store/drawhistory.h"
#include "tickets/ticket.h"
#include "tickets/ticketgrading.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace loto6 {

// The tables of the ticket book, as sheets so that the window, the export and the command line
// show them alike:
//   tickets          — the stored tickets;
//   ticket-results   — one row per ticket and draw, the ticket's numbers that were drawn marked
//                      in the frequency window's colours; the draws after the latest held one
//                      follow each ticket's rows as 未抽選;
//   ticket-summary   — count by tier, 購入額, 当せん額, 収支 and the comparison with chance;
//   check            — the past draws on which one combination would have won.
Sheet ticketListSheet(const std::vector<Ticket> &tickets);
Sheet ticketResultsSheet(const TicketGrading &grading);
Sheet ticketSummarySheet(const TicketGrading &grading);
Sheet combinationCheckSheet(const TicketGrading &grading, const DrawHistory &history);

// One ticket for the quick check: the combination on every draw from 1 to the latest held.
TicketGrading checkCombination(const std::array<int, MainNumberCount> &numbers,
    const DrawHistory &history, const std::map<int, DrawPrizes> &prizes);

// 当せん金 of a row: yen, 不明 when the payout is not stored, empty for no prize.
std::string prizeText(const TicketGrading &grading, const TicketGrading::Row &row);

// The look of the ticket book's tables, for other tables beside them: the heading row on light
// pink, light blue lines, the first row and column kept in place.
Sheet ticketTableSheet(std::string_view name, std::string_view caption, int cols, int rows,
    std::span<const double> widths, std::span<const char *const> header);
// Six numbers from column col on, those among `mains` and `bonus` (bit n for number n) marked
// as in the results.
void writeTicketNumbers(Sheet &s, int col, int row, const std::array<int, MainNumberCount> &numbers,
    std::uint64_t mains, std::uint64_t bonus);

} // namespace loto6
