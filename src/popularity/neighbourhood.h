#pragma once

#include "popularity/popularitymodel.h"
#include "popularity/weightruns.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace loto6::popularity {

// The normalised pick weights of all combinations summed over every subset of 0..5 numbers
// (the weight of all combinations holding that subset). With them, inclusion-exclusion gives
// in a few dozen look-ups the share of players whose ticket matches a given combination in
// exactly j numbers: the expected winners of every tier of a draw, and the expected sharers
// of every tier of a ticket.
class Neighbourhood
{
public:
    // Sums the levels of up to four numbers with one pass over all combinations (for valuing
    // many combinations); the sum of a 5-subset is added up when asked.
    explicit Neighbourhood(const PopularityModel &model);
    // The levels kept in a stored estimate: the sums over the subsets of 0..3 numbers, each
    // of binomial(43, j), in colexicographic order.
    static constexpr std::size_t StoredLevels = MainNumberCount - 2;
    using Levels = std::array<std::vector<double>, StoredLevels>;
    // From stored levels; the sum of a larger subset is added up when asked from the few
    // thousand combinations holding it (as products of the model's factors), agreeing with
    // the full pass's table to a few units in the last place.
    Neighbourhood(const PopularityModel &model, Levels levels);
    Levels levels() const;

    // Share of all tickets (sum 1) that win each tier 1..5 (index 0..4) when the draw is
    // `draw` with `bonus`; numbers 1..43.
    std::array<double, Tiers> winnerShares(const Combination &draw, int bonus) const;
    // Share of all tickets matching `c` in exactly j numbers, j = 0..6.
    std::array<double, MainNumberCount + 1> matchShares(const Combination &c) const;
    // Expected share of all tickets that win tier 1..5 too, given that `c` wins that tier.
    std::array<double, Tiers> sharerShares(const Combination &c) const;

    // How popular the tickets a list of numbers 1..43 stands for are (1.0 the average ticket):
    // for fewer than six numbers the mean popularity of the combinations holding them all; for
    // six or more the geometric mean over its six-number subsets (the list itself when it has
    // six), whose mean over random lists is randomListBaseline(). Empty for an invalid list.
    std::optional<double> listPopularity(std::vector<int> numbers) const;

    double randomListBaseline() const
    {
        return std::exp(m_model->meanLogWeight() - m_model->logNormaliser());
    }

    const PopularityModel &model() const { return *m_model; }

private:
    double share(const std::array<int, MainNumberCount> &x) const;
    // The weight of the combinations sharing exactly five numbers with the six x.
    double sharingFive(const std::array<int, MainNumberCount> &x) const;
    // The sum over the subset s[0..size) (0-based, ascending) of colexicographic rank `rank`.
    double subsetSum(const std::array<int, MainNumberCount> &s, int size, std::int64_t rank) const;

    const PopularityModel *m_model;
    WeightFactors m_factors;
    double m_logScale; // the weights normalised to shares of all tickets (sum 1)
    // Index j: sum of normalised weights of the combinations holding each j-subset.
    std::array<std::vector<double>, MainNumberCount> m_sums;
};

// For two tickets that share j numbers (index j), the chance that the second wins tier t
// (index t - 1) given that the first does.
const std::array<std::array<double, Tiers>, MainNumberCount + 1> &jointWinChance();

} // namespace loto6::popularity
