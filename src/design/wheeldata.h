#pragma once

#include <cstdint>
#include <span>

namespace loto6::design {

// The smallest wheel size published or known for a pool of n numbers and a guarantee, and the
// published lower bound (equal to it where the size is proven smallest).
struct KnownWheelSize
{
    int n, win, ifDrawn, size, lowerBound;
};
std::span<const KnownWheelSize> knownWheelSizes();

// Wheels found once by a long search, held as bit sets of positions 0..n-1.
struct HeldWheel
{
    int n, win, ifDrawn;
    std::span<const std::uint32_t> tickets;
};
std::span<const HeldWheel> heldWheels();

} // namespace loto6::design
