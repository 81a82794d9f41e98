#pragma once

#include "design/filters.h"

#include <cstdint>
#include <vector>

namespace loto6::design {

// xoshiro256** seeded through splitmix64: the same seed gives the same numbers with every
// compiler and standard library.
class PortableRandom
{
public:
    explicit PortableRandom(std::uint64_t seed);
    std::uint64_t next();
    // Uniform in 0..bound-1 without bias (rejection of the short last block); bound > 0.
    std::uint64_t below(std::uint64_t bound);

private:
    std::uint64_t m_s[4];
};

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
