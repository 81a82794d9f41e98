#pragma once

// Random draws and tickets for the popularity model's tests.
#include "popularity/combinations.h"

#include <algorithm>
#include <array>
#include <random>

namespace loto6::test {

// Six distinct numbers 1..43 in ascending order, and a seventh for the bonus.
inline popularity::Combination randomDraw(std::mt19937 &rng, int &bonus)
{
    using namespace popularity;
    std::array<int, HighestNumber> all{};
    for (int i = 0; i < HighestNumber; ++i)
        all[static_cast<std::size_t>(i)] = i + 1;
    std::shuffle(all.begin(), all.end(), rng);
    Combination c{};
    std::copy(all.begin(), all.begin() + MainNumberCount, c.begin());
    std::sort(c.begin(), c.end());
    bonus = all[MainNumberCount];
    return c;
}

inline popularity::Combination randomCombination(std::mt19937 &rng)
{
    int bonus = 0;
    return randomDraw(rng, bonus);
}

} // namespace loto6::test
