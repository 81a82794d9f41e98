#pragma once

#include "popularity/combinations.h"
#include "popularity/countlaw.h"

#include <array>
#include <string>
#include <vector>

namespace loto6::popularity {

// Traits of a pair of numbers on one ticket that change how often players choose it: two
// birthdays (1..31), two months (1..12), two of 1..10, two of 32..43, neighbours and numbers
// 2..10 apart, the same last digit, decade, row or column of a seven-wide mark sheet, two
// multiples of five.
enum class PairTrait {
    Birthdays,
    Months,
    LowTen,
    HighBand,
    Neighbours,
    TwoApart,
    Apart3,
    Apart4,
    Apart5,
    Apart6,
    Apart7,
    Apart8,
    Apart9,
    Apart10,
    SameLastDigit,
    SameDecade,
    SameRow,
    SameColumn,
    RoundNumbers,
};
inline constexpr int PairTraitCount = 19;

// What a model may use: a preference for each number, and the pair traits it keeps.
struct ModelTerms
{
    bool perNumber = true;
    std::vector<PairTrait> pairs;

    // The model the program uses, and the plain per-number one it is compared with.
    static ModelTerms full();
    static ModelTerms perNumberOnly();
};

std::string traitName(PairTrait t);
// 1 when the pair (a, b), 1..43, has the trait, else 0.
double traitValue(PairTrait t, int a, int b);

// How much players like each combination: its pick weight is exp(sum of the preferences of its
// numbers + the weights of the traits of its 15 pairs). Scoring needs only the two tables; the
// normaliser (the mean weight over all combinations) makes 1.0 the average ticket.
class PopularityModel
{
public:
    PopularityModel();
    // A model from the number preferences (index 0 = number 1) and the pair trait weights.
    PopularityModel(ModelTerms terms, std::array<double, HighestNumber> numberWeights,
        std::vector<double> traitWeights);
    // The same with its normaliser already known (a stored model), so that no pass over every
    // combination is made.
    PopularityModel(ModelTerms terms, std::array<double, HighestNumber> numberWeights,
        std::vector<double> traitWeights, double logNormaliser);

    const ModelTerms &terms() const { return m_terms; }
    const std::array<double, HighestNumber> &numberWeights() const { return m_number; }
    const std::vector<double> &traitWeights() const { return m_trait; }

    // log weight of a combination of 0-based ascending numbers, before normalising: number by
    // number upwards, each one's preference and its pairs with the numbers below it, as the
    // designer's walk adds them (so that both agree to the bit at the edge of a limit).
    double rawLogWeight(const int *x) const
    {
        double s = 0;
        for (int i = 0; i < MainNumberCount; ++i) {
            double step = m_number[static_cast<std::size_t>(x[i])];
            for (int j = 0; j < i; ++j)
                step += m_pair[static_cast<std::size_t>(x[j] * HighestNumber + x[i])];
            s += step;
        }
        return s;
    }
    // The weight of the pair of 0-based numbers a < b.
    double pairWeight(int a, int b) const
    {
        return m_pair[static_cast<std::size_t>(a * HighestNumber + b)];
    }
    // The combination's pick weight relative to the average ticket's (1.0); numbers 1..43.
    double relativePopularity(const Combination &c) const;
    double logRelativePopularity(const Combination &c) const;
    // log of the mean raw weight over every combination, and the mean raw log weight.
    double logNormaliser() const { return m_logNormaliser; }
    double meanLogWeight() const { return m_meanLogWeight; }

    // The mean log weight of the combinations matching `draw` in exactly `matched` numbers,
    // less the mean over every combination (a closed form over numbers and pairs).
    double neighbourLogMean(const Combination &draw, int matched) const;

    // How the mean log weight of a tier's winning combinations maps to its winners: the log of
    // (expected winners / winners of equally popular combinations) is a + b z + c z², fitted
    // per tier 3..5. Tiers 1 and 2 are exact sums of the pick weights.
    struct TierCalibration
    {
        double a = 0, b = 1, c = 0;
    };
    const TierCalibration &calibration(int tier) const
    {
        return m_calibration[static_cast<std::size_t>(tier - 1)];
    }
    void setCalibration(int tier, TierCalibration c)
    {
        m_calibration[static_cast<std::size_t>(tier - 1)] = c;
    }
    // log(expected winners / winners of equally popular combinations) of tier 3..5 at the
    // mean log weight z: the calibration curve, the one every figure of those tiers uses.
    double calibratedLogRatio(int tier, double z) const
    {
        const TierCalibration &k = calibration(tier);
        return k.a + k.b * z + k.c * z * z;
    }
    // The law of each tier's winner count about the mean expectedWinnerShares gives (times
    // the tickets): fitted on the same draws as the weights (Poisson until fitted).
    const CountLaw &countLaw(int tier) const
    {
        return m_countLaw[static_cast<std::size_t>(tier - 1)];
    }
    void setCountLaw(int tier, const CountLaw &law)
    {
        m_countLaw[static_cast<std::size_t>(tier - 1)] = law;
    }
    // Share of all tickets expected to win each tier 1..5 when `draw` and `bonus` are drawn.
    std::array<double, Tiers> expectedWinnerShares(const Combination &draw, int bonus) const;

    // Every combination's relative popularity, in colexicographic order.
    std::vector<float> allRelativePopularities() const;

private:
    void buildPairTable();
    void computeNormaliser();
    void computeMeanLogWeight();

    ModelTerms m_terms;
    std::array<double, HighestNumber> m_number{};
    std::vector<double> m_trait;
    std::vector<double> m_pair; // 43 x 43, upper triangle used
    double m_logNormaliser = 0;
    double m_meanLogWeight = 0;
    std::array<TierCalibration, Tiers> m_calibration{};
    std::array<CountLaw, Tiers> m_countLaw{};
};

// Sums over the combinations that match a draw in exactly m numbers, in closed form: the mean
// of a number term (per number, 1..43 at index 0..42) or of a pair term (43 x 43,
// upper triangle) over them. `in` marks the draw's numbers (index 1..43).
double numberTermMean(const std::array<double, HighestNumber> &f,
    const std::array<bool, HighestNumber + 1> &in, int m);
double pairTermMean(
    const std::vector<double> &g, const std::array<bool, HighestNumber + 1> &in, int m);
// The same from the sums of the term over the drawn and the other numbers, or over the pairs
// inside the draw, across it and outside it.
double numberTermMeanOf(double drawn, double rest, int m);
double pairTermMeanOf(double inside, double across, double outside, int m);
std::array<bool, HighestNumber + 1> membership(const Combination &c);

// 0-based ascending numbers of a combination given as 1..43.
std::array<int, MainNumberCount> zeroBased(const Combination &c);

} // namespace loto6::popularity
