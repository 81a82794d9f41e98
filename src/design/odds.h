#pragma once

#include "design/combination.h"
#include "store/drawprizes.h"
#include "store/result.h"

#include <array>
#include <functional>
#include <map>
#include <vector>

namespace loto6::design {

inline constexpr int TierCount = 5;
inline constexpr int TicketPrice = 200; // yen a ticket

// The prize one ticket is expected to get in a tier, in yen. The average payout of the stored
// draws is one model; a model of how many others chose the same numbers gives each ticket its
// own amount through the same call.
class PrizeModel
{
public:
    virtual ~PrizeModel() = default;
    // tier 1..5; 0 when nothing is known
    virtual double expectedPrize(const Combination &ticket, int tier) const = 0;
    virtual bool known(int tier) const = 0;
    // Whether each ticket gets its own amount (else one amount per tier for every ticket).
    virtual bool perTicket() const { return false; }
};

// Each tier's prize averaged over the stored draws that paid it.
class AveragePrizeModel : public PrizeModel
{
public:
    explicit AveragePrizeModel(const std::map<int, DrawPrizes> &prizes);
    double expectedPrize(const Combination &ticket, int tier) const override;
    bool known(int tier) const override;
    int draws(int tier) const { return m_draws[static_cast<std::size_t>(tier - 1)]; }

private:
    std::array<double, TierCount> m_average{};
    std::array<int, TierCount> m_draws{};
};

// What a set of tickets buys in the next draw, exactly: over the 6,096,454 draws of six main
// numbers and, where five match, the 37 bonus numbers left.
struct TicketOdds
{
    int tickets = 0;
    int distinct = 0;
    long long cost = 0;
    // Ways out of 6,096,454 x 37 (draw and bonus) to win at least one prize of the tier; index
    // 0..4 for 1等..5等, 5 for any prize.
    std::array<std::uint64_t, TierCount + 1> ways{};
    std::array<double, TierCount + 1> atLeastOne{};
    std::array<double, TierCount> expectedCount{}; // prizes of each tier, summed over tickets
    std::array<double, TierCount> expectedYen{};   // 0 where the model knows no prize
    double expectedReturn = 0;
    bool returnComplete = true;   // every tier's prize known
    bool prizesPerTicket = false; // the prizes are each ticket's own, from its popularity
};

inline constexpr int MaxOddsTickets = 1000;
// Chance of one ticket's tier 1..5: 1, 6, 216, 9,990 and 155,400 of 6,096,454.
double singleTicketChance(int tier);
// Fails on a set over MaxOddsTickets lines or a line that is not six distinct numbers 1..43.
// `progress` gets the fraction done and may stop the count by returning false.
// The expected count and yen of each tier and the expected return, from the prize model
// alone (no counting over draws): for a model that must be read where it lives.
void weighPrizes(const std::vector<Combination> &tickets, const PrizeModel &model, TicketOdds &out);
Status ticketOdds(const std::vector<Combination> &tickets, const PrizeModel &model, TicketOdds &out,
    const std::function<bool(double)> &progress = {});

} // namespace loto6::design
