#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace loto6 {

// The payout of one draw as published: winners and prize per tier (1等..5等), carry-over and
// sales. A tier nobody won has 0 winners and no prize; an amount the source did not give is
// empty.
struct TierPayout
{
    long long winners = 0;
    std::optional<long long> prize; // yen per unit
};

struct DrawPrizes
{
    static constexpr int TierCount = 5;

    int drawNo = 0;
    std::array<TierPayout, TierCount> tiers{};
    std::optional<long long> carryOver;
    std::optional<long long> sales;

    // Tier 1..5.
    const TierPayout &tier(int t) const { return tiers[static_cast<std::size_t>(t - 1)]; }
};

} // namespace loto6
