#include "popularity/combinations.h"

#include <cstddef>

namespace loto6::popularity {

namespace {

// Combinations winning each tier: 1, 6 (five and the bonus), 216, 9,990 and 155,400.
constexpr std::array<double, Tiers> TierCombinations = {1, 6, 216, 9990, 155400};

} // namespace

double tierChance(int tier)
{
    return TierCombinations[static_cast<std::size_t>(tier - 1)]
        / static_cast<double>(CombinationCount);
}

int tierMatches(int tier)
{
    constexpr std::array<int, Tiers> matches = {6, 5, 5, 4, 3};
    return matches[static_cast<std::size_t>(tier - 1)];
}

} // namespace loto6::popularity
