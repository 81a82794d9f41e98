#include "popularity/combinations.h"

#include <cstddef>

namespace loto6::popularity {

namespace {

struct BinomialTable
{
    std::array<std::array<std::int64_t, Picks + 1>, Numbers + 1> c{};
    BinomialTable()
    {
        for (int n = 0; n <= Numbers; ++n) {
            c[static_cast<std::size_t>(n)][0] = 1;
            for (int k = 1; k <= Picks && k <= n; ++k)
                c[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)]
                    = c[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(k - 1)]
                    + (k <= n - 1 ? c[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(k)]
                                  : 0);
        }
    }
};

const BinomialTable &table()
{
    static const BinomialTable t;
    return t;
}

// Combinations winning each tier: 1, 6 (five and the bonus), 216, 9,990 and 155,400.
constexpr std::array<double, Tiers> TierCombinations = {1, 6, 216, 9990, 155400};

} // namespace

std::int64_t binomial(int n, int k)
{
    if (n < 0 || k < 0 || n > Numbers || k > Picks)
        return 0;
    return table().c[static_cast<std::size_t>(n)][static_cast<std::size_t>(k)];
}

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
