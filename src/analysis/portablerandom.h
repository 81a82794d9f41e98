#pragma once

#include <cstdint>

namespace loto6 {

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

} // namespace loto6
