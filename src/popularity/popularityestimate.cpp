#include "popularity/popularityestimate.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace loto6::popularity {

namespace {

// The average ticket is measured on every 61st combination: 99,942 of them, spread evenly.
constexpr std::int64_t AverageStride = 61;
constexpr double TailPercent = 1.0;

// Sorts positive floats (pick weights) by their bits, 11 at a time: for non-negative floats
// the order of the bits is the order of the values. Three passes over 6 million values take a
// fraction of a comparison sort's time.
void sortPositive(std::vector<float> &values)
{
    constexpr int Bits = 11;
    constexpr std::size_t Buckets = std::size_t{1} << Bits;
    std::vector<float> other(values.size());
    for (int shift = 0; shift < 32; shift += Bits) {
        std::vector<std::size_t> start(Buckets + 1, 0);
        const auto digit = [shift](float v) {
            return (std::bit_cast<std::uint32_t>(v) >> shift) & (Buckets - 1);
        };
        for (float v : values)
            ++start[digit(v) + 1];
        for (std::size_t b = 1; b <= Buckets; ++b)
            start[b] += start[b - 1];
        for (float v : values)
            other[start[digit(v)]++] = v;
        values.swap(other);
    }
}

} // namespace

PopularityEstimate::PopularityEstimate(
    PopularityModel model, PrizeRules rules, TrainingCount training)
    : m_model(std::move(model))
    , m_rules(rules)
    , m_training(training)
{
    m_hood = std::make_unique<Neighbourhood>(m_model);
    m_sorted = m_model.allRelativePopularities();
    sortPositive(m_sorted);
}

std::unique_ptr<PopularityEstimate> PopularityEstimate::build(
    const std::vector<DrawObservation> &draws, const FitSettings &settings)
{
    return std::unique_ptr<PopularityEstimate>(
        new PopularityEstimate(fitPopularity(draws, 0, settings), PrizeRules::fromHistory(draws),
            trainingDrawCount(draws, 0)));
}

double PopularityEstimate::percentile(double relativePopularity) const
{
    const auto below = std::lower_bound(
        m_sorted.begin(), m_sorted.end(), static_cast<float>(relativePopularity));
    return 100.0 * static_cast<double>(below - m_sorted.begin())
        / static_cast<double>(m_sorted.size());
}

double PopularityEstimate::leastPopularThreshold(double percent) const
{
    const double f = std::clamp(percent, 0.0, 100.0) / 100.0;
    const auto i = static_cast<std::size_t>(f * static_cast<double>(m_sorted.size() - 1));
    return m_sorted[i];
}

TicketValuer PopularityEstimate::valuer(std::optional<double> sales, double carryOver) const
{
    return TicketValuer(*m_hood, m_rules, sales.value_or(m_rules.typicalSales), carryOver);
}

ValueSpectrum PopularityEstimate::spectrum(const TicketValuer &valuer) const
{
    ValueSpectrum s;
    s.leastPopularBelow = leastPopularThreshold(TailPercent);
    s.mostPopularAbove = leastPopularThreshold(100.0 - TailPercent);
    double average = 0, least = 0, most = 0;
    int averageCount = 0, leastCount = 0, mostCount = 0;
    std::int64_t rank = 0;
    forEachCombination([&](const std::array<int, Picks> &x) {
        const bool sampled = rank++ % AverageStride == 0;
        const double r = std::exp(m_model.rawLogWeight(x.data()) - m_model.logNormaliser());
        const bool tail = r <= s.leastPopularBelow || r >= s.mostPopularAbove;
        if (!sampled && !tail)
            return;
        Combination c{};
        for (std::size_t i = 0; i < c.size(); ++i)
            c[i] = x[i] + 1;
        const double v = valuer.value(c).expectedValue;
        if (sampled) {
            average += v;
            ++averageCount;
        }
        if (r <= s.leastPopularBelow) {
            least += v;
            ++leastCount;
        } else if (r >= s.mostPopularAbove) {
            most += v;
            ++mostCount;
        }
    });
    s.averageTicketValue = averageCount ? average / averageCount : 0;
    s.leastPopularValue = leastCount ? least / leastCount : 0;
    s.mostPopularValue = mostCount ? most / mostCount : 0;
    return s;
}

} // namespace loto6::popularity
