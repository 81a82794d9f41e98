#pragma once

#include "store/drawhistory.h"
#include "store/drawprizes.h"
#include "tickets/booklaw.h"
#include "tickets/ticket.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace loto6 {

// The tickets graded against the history, with the totals and what the same number of random
// tickets would have done.
//
// How the parts fit: each complete draw becomes a bit mask of its six main numbers and the bit
// of its bonus; every ticket walks the draws it covers (a binary search finds the first) and
// keeps one row per ticket and draw. Prizes come from the stored payouts, unknown ("不明")
// where none are stored. The chance side: the expected counts are exact (a line wins tier t
// with the tier's count of the 6,096,454 combinations); the tails of the winning ticket-draws
// are those of fair draws against the book as it is (`winCountLaw`), since lines that share
// numbers or repeat win together. The units of one line on one draw win or lose together, so
// they weigh only in the amounts, never in the count that is tested.
class TicketGrading
{
public:
    static constexpr int Tiers = 5;

    // One ticket on one draw it covers that the history holds; kept small, since a book of
    // long runs grades millions of them.
    struct Row
    {
        std::int32_t ticket = 0; // index into tickets()
        std::int32_t drawNo = 0;
        std::uint8_t matches = 0;
        std::uint8_t tier = 0;        // 1..5, 0 for none
        std::uint8_t bonusNumber = 0; // the bonus number when it is on the ticket, else 0

        bool bonus() const { return bonusNumber != 0; }
    };
    static constexpr long long Unknown = -1;

    struct Summary
    {
        long long lines = 0;        // graded ticket-draws
        long long units = 0;        // graded units (one 200-yen line each)
        long long ungraded = 0;     // ticket-draws whose draw the history does not hold (yet)
        long long cost = 0;         // 購入額 of the graded units
        long long winnings = 0;     // 当せん額 of the winning units whose prize is known
        long long unknownUnits = 0; // winning units whose prize is not stored
        std::array<long long, Tiers> tierUnits{};
        long long winningUnits = 0;
        long long winningLines = 0; // graded ticket-draws that won, whatever their units

        std::array<double, Tiers> expectedTierUnits{};
        double expectedWinningUnits = 0;
        double expectedWinningLines = 0;
        double expectedYen = 0; // over the units whose draw has stored payouts
        long long expectedYenUnits = 0;
        // Graded draws with stored payouts where a tier had no winner: its prize is unknown and
        // left out of expectedYen.
        long long expectedYenGapDraws = 0;
        double pAtLeast = 1; // fair draws give the book at least as many winning line-draws
        double pAtMost = 1;  // at most as many
        WinCountLaw law;     // how the two were found, with the simulation's error
        std::string sentence;

        bool winningsKnown() const { return unknownUnits == 0; }
        long long balance() const { return winnings - cost; }
    };

    TicketGrading(std::vector<Ticket> tickets, const DrawHistory &history,
        const std::map<int, DrawPrizes> &prizes);

    const std::vector<Ticket> &tickets() const { return m_tickets; }
    const std::vector<Row> &rows() const { return m_rows; }
    // The book's distinct lines on each graded draw, in draw order.
    const std::vector<BookDraw> &bookDraws() const { return m_bookDraws; }
    const Summary &summary() const { return m_summary; }
    // The ticket's numbers among the row's main numbers, bit n for number n.
    std::uint64_t matched(const Row &row) const;
    // Yen for all the ticket's units: 0 for no prize, Unknown when the payout is not stored.
    long long prize(const Row &row) const;
    int latestDrawNo() const { return m_latestDrawNo; }

    // Tier 1..5 of a six-number ticket by the official rules, 0 for none: the bonus counts
    // only with five main numbers.
    static int tierOf(int matches, bool bonus);
    // Chance of tier 1..5 for one random ticket (1, 6, 216, 9,990, 155,400 of 6,096,454),
    // and of any prize.
    static double tierChance(int tier);
    static double anyPrizeChance();
    static std::string_view tierName(int tier); // "1等".."5等", "—" for none

private:
    struct Draw
    {
        int drawNo;
        std::uint64_t mains;
        std::uint64_t bonus;
        bool hasPrizes;
        bool tierWithoutWinner; // a tier of the stored payout had no winner
        double expectedYenPerUnit;
    };

    void grade();
    void collectBookDraws();
    void compareWithChance();
    const Draw *findDraw(int drawNo) const;

    std::vector<Ticket> m_tickets;
    std::vector<Draw> m_draws;
    std::map<int, DrawPrizes> m_prizes;
    std::vector<Row> m_rows;
    std::vector<BookDraw> m_bookDraws;
    Summary m_summary;
    int m_latestDrawNo = 0;
};

// How a tail of the verdict was found, for the text beside it: exact, or the simulation's
// replicates and standard error.
std::string lawMethodText(const WinCountLaw &law, bool atLeast);

} // namespace loto6
