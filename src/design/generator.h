#pragma once

#include "analysis/portablerandom.h"
#include "design/filters.h"

#include <cstdint>
#include <vector>

namespace loto6::design {

using loto6::PortableRandom;

// K distinct tickets drawn uniformly from the combinations that pass, in the order drawn:
// K distinct ranks in the passing set, then one walk that takes the combinations at them.
struct PickResult
{
    std::uint64_t combinations = 0; // how many passed
    std::vector<Combination> tickets;
};
inline constexpr int MaxPick = 10000;
Status pickTickets(const DesignFilter &f, const FilterContext &context, int k, std::uint64_t seed,
    PickResult &out);

} // namespace loto6::design
