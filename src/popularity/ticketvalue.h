#pragma once

#include "popularity/neighbourhood.h"
#include "popularity/observations.h"

#include <array>
#include <vector>

namespace loto6::popularity {

// How a draw's sales become prizes: the share of the sales that goes to each of the pools of
// tiers 1..4, the fixed 5等 prize, and the 1等 cap (without and with a carry-over). A 1等
// nobody wins, and what the cap leaves over, carries over to the next draw.
struct PrizeRules
{
    std::array<double, 4> poolShare = {0.167, 0.0493, 0.0533, 0.0559};
    double fifthPrize = 1000;
    double capWithoutCarryOver = 200'000'000;
    double capWithCarryOver = 600'000'000;
    double typicalSales = 1'500'000'000;
    int basedOnDraws = 0; // draws the shares were measured on; 0: the built-in shares

    // The shares measured on the latest 100 draws with known sales (the 1等 pool on those
    // without a carry-over coming in, as what was paid plus what carried over), and their
    // median sales; the built-in figures where the history has too few.
    static PrizeRules fromHistory(const std::vector<DrawObservation> &draws);
};

// What one ticket is worth at a draw with the given sales and carry-over coming in: the other
// winners expected to share each tier if it wins, the expected prize of each tier and the
// expected value of the 200 yen ticket.
struct TicketValue
{
    Combination numbers{};
    double relativePopularity = 1;
    std::array<double, Tiers> coWinners{}; // the mean of the tier's count law
    std::array<double, Tiers> expectedPrize{};
    double expectedValue = 0;
    double firstShare = 0; // E[1 / (1 + K)] of 1等's others: the same at any carry-over
};

class TicketValuer
{
public:
    TicketValuer(
        const Neighbourhood &hood, const PrizeRules &rules, double sales, double carryOver = 0);

    TicketValue value(const Combination &c) const;
    // The same from the shares of the others who share each tier already worked out
    // (Neighbourhood::sharerShares of c). `like`, the same combination valued at the same
    // sales with another carry-over, lends what the carry-over does not touch: the
    // popularity and every tier but 1等.
    TicketValue value(const Combination &c, const std::array<double, Tiers> &sharers,
        const TicketValue *like = nullptr) const;
    double sales() const { return m_sales; }
    double carryOver() const { return m_carryOver; }
    const PopularityModel &model() const { return m_hood->model(); }

    // Expected prize of one tier when the others who share it follow the tier's count law
    // about the model mean `lambda` (the expected others before that law's level and crowd).
    double tierPrize(int tier, double lambda) const;
    // 1等's with the law's meanShare(lambda) already worked out.
    double firstPrize(double lambda, double meanShare) const;

private:
    const Neighbourhood *m_hood;
    PrizeRules m_rules;
    double m_sales;
    double m_carryOver;
};

} // namespace loto6::popularity
