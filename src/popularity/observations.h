#pragma once

#include "popularity/combinations.h"
#include "store/drawhistory.h"
#include "store/drawprizes.h"

#include <array>
#include <map>
#include <optional>
#include <vector>

namespace loto6::popularity {

// One draw as the model learns from it: its numbers, its winners per tier and its sales.
struct DrawObservation
{
    int drawNo = 0;
    Combination numbers{};
    int bonus = 0;
    std::array<long long, Tiers> winners{};
    std::array<long long, Tiers> prize{}; // yen per unit, 0 where none was paid
    long long carryOver = 0;
    std::optional<long long> sales; // yen

    // Tickets sold (200 yen each), when the sales are known.
    std::optional<double> tickets() const;
};

// The complete draws of the history that have stored payouts, in ascending order.
std::vector<DrawObservation> observationsOf(
    const DrawHistory &history, const std::map<int, DrawPrizes> &prizes);

} // namespace loto6::popularity
