#include "popularity/popularitymodel.h"

#include "popularity/weightruns.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace loto6::popularity {

ModelTerms ModelTerms::full()
{
    ModelTerms t;
    for (int i = 0; i < PairTraitCount; ++i)
        t.pairs.push_back(static_cast<PairTrait>(i));
    return t;
}

ModelTerms ModelTerms::perNumberOnly() { return {true, {}}; }

std::string traitName(PairTrait t)
{
    const int i = static_cast<int>(t);
    if (t >= PairTrait::Apart3 && t <= PairTrait::Apart10)
        return std::to_string(i - static_cast<int>(PairTrait::Apart3) + 3) + " apart";
    constexpr std::array<const char *, PairTraitCount> names
        = {"two birthdays (1-31)", "two months (1-12)", "two of 1-10", "two of 32-43", "neighbours",
            "2 apart", "", "", "", "", "", "", "", "", "same last digit", "same decade",
            "same mark-sheet row", "same mark-sheet column", "two multiples of 5"};
    return names[static_cast<std::size_t>(i)];
}

double traitValue(PairTrait t, int a, int b)
{
    const int d = std::abs(a - b);
    bool on = false;
    switch (t) {
    case PairTrait::Birthdays:
        on = a <= 31 && b <= 31;
        break;
    case PairTrait::Months:
        on = a <= 12 && b <= 12;
        break;
    case PairTrait::LowTen:
        on = a <= 10 && b <= 10;
        break;
    case PairTrait::HighBand:
        on = a >= 32 && b >= 32;
        break;
    case PairTrait::SameLastDigit:
        on = a % 10 == b % 10;
        break;
    case PairTrait::SameDecade:
        on = (a - 1) / 10 == (b - 1) / 10;
        break;
    case PairTrait::SameRow:
        on = (a - 1) / 7 == (b - 1) / 7;
        break;
    case PairTrait::SameColumn:
        on = d % 7 == 0;
        break;
    case PairTrait::RoundNumbers:
        on = a % 5 == 0 && b % 5 == 0;
        break;
    default:
        on = d == static_cast<int>(t) - static_cast<int>(PairTrait::Neighbours) + 1;
        break;
    }
    return on ? 1.0 : 0.0;
}

std::array<bool, HighestNumber + 1> membership(const Combination &c)
{
    std::array<bool, HighestNumber + 1> in{};
    for (int n : c)
        in[static_cast<std::size_t>(n)] = true;
    return in;
}

double numberTermMean(const std::array<double, HighestNumber> &f,
    const std::array<bool, HighestNumber + 1> &in, int m)
{
    double drawn = 0, rest = 0;
    for (int n = 1; n <= HighestNumber; ++n)
        (in[static_cast<std::size_t>(n)] ? drawn : rest) += f[static_cast<std::size_t>(n - 1)];
    return numberTermMeanOf(drawn, rest, m);
}

double numberTermMeanOf(double drawn, double rest, int m)
{
    const double others = HighestNumber - MainNumberCount;
    return m * drawn / MainNumberCount + (MainNumberCount - m) * rest / others
        - MainNumberCount * (drawn + rest) / HighestNumber;
}

double pairTermMean(
    const std::vector<double> &g, const std::array<bool, HighestNumber + 1> &in, int m)
{
    double inside = 0, across = 0, outside = 0;
    for (int a = 1; a <= HighestNumber; ++a)
        for (int b = a + 1; b <= HighestNumber; ++b) {
            const double v = g[static_cast<std::size_t>((a - 1) * HighestNumber + b - 1)];
            const int drawn = (in[static_cast<std::size_t>(a)] ? 1 : 0)
                + (in[static_cast<std::size_t>(b)] ? 1 : 0);
            (drawn == 2 ? inside : drawn == 1 ? across : outside) += v;
        }
    return pairTermMeanOf(inside, across, outside, m);
}

double pairTermMeanOf(double inside, double across, double outside, int m)
{
    const double others = HighestNumber - MainNumberCount;
    const double k = m;
    const double total = inside + across + outside;
    return k * (k - 1) / 2 * inside / 15.0
        + k * (MainNumberCount - k) * across / (MainNumberCount * others)
        + (MainNumberCount - k) * (MainNumberCount - k - 1) / 2 * outside
        / (others * (others - 1) / 2)
        - 15.0 * total / (HighestNumber * (HighestNumber - 1) / 2.0);
}

std::array<int, MainNumberCount> zeroBased(const Combination &c)
{
    std::array<int, MainNumberCount> x{};
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = c[i] - 1;
    std::sort(x.begin(), x.end());
    return x;
}

PopularityModel::PopularityModel()
    : PopularityModel(ModelTerms::perNumberOnly(), {}, {})
{
}

PopularityModel::PopularityModel(ModelTerms terms, std::array<double, HighestNumber> numberWeights,
    std::vector<double> traitWeights)
    : m_terms(std::move(terms))
    , m_number(numberWeights)
    , m_trait(std::move(traitWeights))
{
    m_trait.resize(m_terms.pairs.size(), 0.0);
    buildPairTable();
    computeNormaliser();
}

PopularityModel::PopularityModel(ModelTerms terms, std::array<double, HighestNumber> numberWeights,
    std::vector<double> traitWeights, double logNormaliser)
    : m_terms(std::move(terms))
    , m_number(numberWeights)
    , m_trait(std::move(traitWeights))
    , m_logNormaliser(logNormaliser)
{
    m_trait.resize(m_terms.pairs.size(), 0.0);
    buildPairTable();
    computeMeanLogWeight();
}

void PopularityModel::buildPairTable()
{
    m_pair.assign(static_cast<std::size_t>(HighestNumber * HighestNumber), 0.0);
    for (int a = 0; a < HighestNumber; ++a)
        for (int b = a + 1; b < HighestNumber; ++b) {
            double s = 0;
            for (std::size_t t = 0; t < m_trait.size(); ++t)
                s += m_trait[t] * traitValue(m_terms.pairs[t], a + 1, b + 1);
            m_pair[static_cast<std::size_t>(a * HighestNumber + b)] = s;
        }
}

void PopularityModel::computeNormaliser()
{
    double total = 0;
    forEachWeightRun(WeightFactors(*this), 0.0,
        [&](const std::array<int, MainNumberCount> &x, const double *run) {
            for (int y = 0; y < x[1]; ++y)
                total += run[y];
        });
    m_logNormaliser = std::log(total / static_cast<double>(CombinationCount));
    computeMeanLogWeight();
}

void PopularityModel::computeMeanLogWeight()
{
    double numbers = 0, pairs = 0;
    for (double a : m_number)
        numbers += a;
    for (double p : m_pair)
        pairs += p;
    m_meanLogWeight = MainNumberCount * numbers / HighestNumber
        + 15.0 * pairs / (HighestNumber * (HighestNumber - 1) / 2.0);
}

double PopularityModel::neighbourLogMean(const Combination &draw, int matched) const
{
    const auto in = membership(draw);
    return numberTermMean(m_number, in, matched) + pairTermMean(m_pair, in, matched);
}

std::array<double, Tiers> PopularityModel::expectedWinnerShares(
    const Combination &draw, int bonus) const
{
    std::array<double, Tiers> out{};
    out[0] = relativePopularity(draw) * tierChance(1);
    for (std::size_t leave = 0; leave < draw.size(); ++leave) {
        Combination c = draw;
        c[leave] = bonus;
        out[1] += relativePopularity(c) * tierChance(1);
    }
    for (int tier = 3; tier <= Tiers; ++tier) {
        const double z = neighbourLogMean(draw, tierMatches(tier));
        out[static_cast<std::size_t>(tier - 1)]
            = tierChance(tier) * std::exp(calibratedLogRatio(tier, z));
    }
    return out;
}

double PopularityModel::logRelativePopularity(const Combination &c) const
{
    const auto x = zeroBased(c);
    return rawLogWeight(x.data()) - m_logNormaliser;
}

double PopularityModel::relativePopularity(const Combination &c) const
{
    return std::exp(logRelativePopularity(c));
}

std::vector<float> PopularityModel::allRelativePopularities() const
{
    std::vector<float> out;
    out.reserve(static_cast<std::size_t>(CombinationCount));
    forEachWeightRun(WeightFactors(*this), -m_logNormaliser,
        [&](const std::array<int, MainNumberCount> &x, const double *run) {
            for (int y = 0; y < x[1]; ++y)
                out.push_back(static_cast<float>(run[y]));
        });
    return out;
}

} // namespace loto6::popularity
