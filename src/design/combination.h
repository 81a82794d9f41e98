#pragma once

#include "store/drawrecord.h"

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace loto6::design {

// Six distinct numbers 1..43 in ascending order.
using Combination = std::array<int, MainNumberCount>;
// Bit n set for each number n.
using NumberMask = std::uint64_t;

// How many combinations the game has, as the designer counts them.
inline constexpr auto AllCombinations = static_cast<std::uint64_t>(CombinationCount);

inline NumberMask maskOf(const Combination &c)
{
    NumberMask m = 0;
    for (int n : c)
        m |= NumberMask{1} << n;
    return m;
}

// The numbers of a mask in ascending order.
inline std::vector<int> numbersOf(NumberMask m)
{
    std::vector<int> out;
    while (m) {
        out.push_back(std::countr_zero(m));
        m &= m - 1;
    }
    return out;
}

inline Combination combinationOf(NumberMask m)
{
    Combination c{};
    for (std::size_t i = 0; i < c.size() && m; ++i, m &= m - 1)
        c[i] = std::countr_zero(m);
    return c;
}

// "02 08 10 13 27 30"
std::string combinationText(const Combination &c);
// "2,8,10" (for memos and JSON-free text)
std::string numberListText(NumberMask m);

} // namespace loto6::design
