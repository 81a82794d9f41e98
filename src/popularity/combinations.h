#pragma once

#include "store/drawrecord.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace loto6::popularity {

inline constexpr int Tiers = 5;

// Six distinct numbers 1..43 in ascending order.
using Combination = std::array<int, MainNumberCount>;

namespace detail {

// C(n, k) for n = 0..43, k = 0..6, made when compiling.
struct BinomialTable
{
    std::array<std::array<std::int64_t, MainNumberCount + 1>, HighestNumber + 1> c{};
    constexpr BinomialTable()
    {
        for (std::size_t n = 0; n <= HighestNumber; ++n) {
            c[n][0] = 1;
            for (std::size_t k = 1; k <= MainNumberCount && k <= n; ++k)
                c[n][k] = c[n - 1][k - 1] + c[n - 1][k];
        }
    }
};
inline constexpr BinomialTable Binomials{};

} // namespace detail

// C(n, k) for 0 <= n <= 43, 0 <= k <= 6 (0 outside).
inline std::int64_t binomial(int n, int k)
{
    if (n < 0 || k < 0 || n > HighestNumber || k > MainNumberCount)
        return 0;
    return detail::Binomials.c[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)];
}

// The position of the ascending 0-based subset x[0..size) in colexicographic order: the
// index of a combination or of one of its subsets in the tables, 0..C(43, size) - 1.
inline std::int64_t colexRank(const int *x, int size)
{
    std::int64_t r = 0;
    for (int i = 0; i < size; ++i)
        r += binomial(x[i], i + 1);
    return r;
}

// Calls f(x) for every combination in colexicographic order with x its 0-based numbers, so
// that the n-th call is the combination of rank n.
template<typename F>
void forEachCombination(F &&f)
{
    std::array<int, MainNumberCount> x{};
    for (x[5] = 5; x[5] < HighestNumber; ++x[5])
        for (x[4] = 4; x[4] < x[5]; ++x[4])
            for (x[3] = 3; x[3] < x[4]; ++x[3])
                for (x[2] = 2; x[2] < x[3]; ++x[2])
                    for (x[1] = 1; x[1] < x[2]; ++x[1])
                        for (x[0] = 0; x[0] < x[1]; ++x[0])
                            f(x);
}

// The chance that one ticket wins tier 1..5 in a fair draw.
double tierChance(int tier);
// How many of the six numbers the tier needs (bonus aside): 6, 5, 5, 4, 3.
int tierMatches(int tier);

} // namespace loto6::popularity
