#pragma once

#include <cstdint>
#include <vector>

namespace loto6 {

// Exact laws of one fair draw of `picks` distinct numbers out of 1..`numbers`: everything the
// chance page compares the history with that does not depend on the history. Loto 6 is
// ChanceLaw(43, 6) for the main numbers; loto6() keeps that one for the whole run.
class ChanceLaw
{
public:
    ChanceLaw(int numbers, int picks);
    static const ChanceLaw &loto6();

    int numbers() const { return m_numbers; }
    int picks() const { return m_picks; }
    // C(numbers, picks): how many different draws there are.
    std::uint64_t combinations() const { return m_combinations; }

    // How many numbers of a draw were already among the previous draw's picks: P(k), k=0..picks.
    const std::vector<double> &overlapLaw() const { return m_overlap; }
    // Chance that the sorted picks hold at least one pair of neighbours differing by 1, by 2.
    double consecutiveChance() const { return m_consecutive; }
    double steppingStoneChance() const { return m_steppingStone; }
    // Law of the count of odd numbers (of which there are (numbers + 1) / 2) and of low
    // numbers 1..numbers / 2 among the picks: P(k), k = 0..picks.
    const std::vector<double> &oddLaw() const { return m_odd; }
    const std::vector<double> &lowLaw() const { return m_low; }

    // Number of draws whose picks add up to s, s = 0..maximum sum, and the moments of the sum.
    const std::vector<std::uint64_t> &sumWays() const { return m_sumWays; }
    double sumMean() const { return m_sumMean; }
    double sumVariance() const { return m_sumVariance; }
    double sumFourthCentralMoment() const { return m_sumMu4; }

    // k-subsets of 1..n in which no two neighbours (in ascending order) differ by exactly gap.
    static std::uint64_t subsetsAvoidingGap(int n, int k, int gap);
    // Ways to pick k distinct numbers of 1..n for every possible sum (index = sum).
    static std::vector<std::uint64_t> subsetSumWays(int n, int k);

    // Expected number of completed gaps of length g (g = 1..draws - 1, index g) between two
    // appearances of one number over `draws` independent draws, each holding the number with
    // chance p: (draws - g) * p^2 * (1 - p)^(g - 1). Index 0 is 0.
    static std::vector<double> expectedGapCounts(int draws, double p);

private:
    int m_numbers;
    int m_picks;
    std::uint64_t m_combinations;
    std::vector<double> m_overlap;
    double m_consecutive;
    double m_steppingStone;
    std::vector<double> m_odd;
    std::vector<double> m_low;
    std::vector<std::uint64_t> m_sumWays;
    double m_sumMean = 0;
    double m_sumVariance = 0;
    double m_sumMu4 = 0;
};

} // namespace loto6
