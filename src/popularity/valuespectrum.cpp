#include "popularity/valuespectrum.h"

#include "popularity/valuerange.h"
#include "popularity/weightruns.h"

#include <cstddef>
#include <cstdint>
#include <system_error>
#include <thread>
#include <utility>

namespace loto6::popularity {

namespace {

// The average ticket is measured on every 61st combination: 99,942 of them, spread evenly.
constexpr std::int64_t AverageStride = 61;

// Sums of the values of a part of the spectrum and of their range's ends.
struct SpectrumSums
{
    double value = 0, low = 0, high = 0;

    void add(double weight, double v, const std::pair<double, double> &range)
    {
        value += weight * v;
        low += weight * range.first;
        high += weight * range.second;
    }
    double mean(double weights, ValueSpectrum::Range &range) const
    {
        if (weights <= 0)
            return 0;
        range = {low / weights, high / weights};
        return value / weights;
    }
};

// A combination the spectrum values, with its weight in each part (average, bought, tails).
struct SpectrumVisit
{
    Combination numbers{};
    std::array<double, 4> weight{};
};

// The combinations the spectrum values, in colexicographic order: every 61st and those at or
// beyond each tail.
std::vector<SpectrumVisit> spectrumVisits(const PopularityModel &model, double below, double above)
{
    std::vector<SpectrumVisit> visits;
    std::int64_t untilSampled = 0; // rank % AverageStride counted down, without a division
    const auto visit = [&](const std::array<int, MainNumberCount> &x, const double *run) {
        for (int y = 0; y < x[1]; ++y, --untilSampled) {
            const double r = run[y];
            const bool sampled = untilSampled == 0;
            if (sampled)
                untilSampled = AverageStride;
            const bool least = r <= below, most = !least && r >= above;
            if (sampled || least || most)
                visits.push_back({{y + 1, x[1] + 1, x[2] + 1, x[3] + 1, x[4] + 1, x[5] + 1},
                    {sampled ? 1.0 : 0.0, sampled ? r : 0.0, least ? 1.0 : 0.0, most ? 1.0 : 0.0}});
        }
    };
    forEachWeightRun(WeightFactors(model), -model.logNormaliser(), visit);
    return visits;
}

// Each visit's expected value and level range under each valuer (visit-major), valued on two
// threads: each combination alone, so that the figures do not depend on the split.
std::vector<std::array<double, 3>> spectrumValues(const Neighbourhood &hood,
    const std::vector<TicketValuer> &valuers, const std::vector<SpectrumVisit> &visits,
    const std::array<double, Tiers> &levelError)
{
    const LevelRange levels(levelError);
    std::vector<std::array<double, 3>> out(visits.size() * valuers.size());
    const auto valueRange = [&](std::size_t from, std::size_t to) {
        std::vector<TicketValue> values(valuers.size());
        std::vector<LevelRange::Prizes> prizes(valuers.size());
        for (std::size_t v = from; v < to; ++v) {
            const Combination &c = visits[v].numbers;
            const std::array<double, Tiers> sharers = hood.sharerShares(c);
            for (std::size_t k = 0; k < valuers.size(); ++k) {
                const bool like = k > 0 && valuers[k].sales() == valuers[0].sales();
                values[k] = valuers[k].value(c, sharers, like ? &values[0] : nullptr);
                prizes[k] = levels.prizes(valuers[k], values[k], like ? &prizes[0] : nullptr);
                const std::pair<double, double> range = levels.of(values[k], prizes[k]);
                out[v * valuers.size() + k] = {values[k].expectedValue, range.first, range.second};
            }
        }
    };
    const std::size_t half = visits.size() / 2;
    std::thread other;
    try {
        other = std::thread(valueRange, half, visits.size());
    } catch (const std::system_error &) { // no thread to be had: one after the other
        valueRange(half, visits.size());
    }
    valueRange(0, half);
    if (other.joinable())
        other.join();
    return out;
}

} // namespace

std::vector<ValueSpectrum> spectraOf(const Neighbourhood &hood,
    const std::vector<TicketValuer> &valuers, double below, double above,
    const std::array<double, Tiers> &levelError)
{
    const std::vector<SpectrumVisit> visits = spectrumVisits(hood.model(), below, above);
    const std::vector<std::array<double, 3>> values
        = spectrumValues(hood, valuers, visits, levelError);
    // Summed in the order of the combinations.
    std::vector<std::array<SpectrumSums, 4>> sums(valuers.size());
    std::array<double, 4> weights{};
    for (std::size_t v = 0; v < visits.size(); ++v) {
        const std::array<double, 4> &weight = visits[v].weight;
        for (std::size_t part = 0; part < weight.size(); ++part)
            weights[part] += weight[part];
        for (std::size_t k = 0; k < valuers.size(); ++k) {
            const std::array<double, 3> &value = values[v * valuers.size() + k];
            for (std::size_t part = 0; part < weight.size(); ++part)
                if (weight[part] > 0)
                    sums[k][part].add(weight[part], value[0], {value[1], value[2]});
        }
    }
    std::vector<ValueSpectrum> out;
    for (const std::array<SpectrumSums, 4> &k : sums) {
        ValueSpectrum s;
        s.leastPopularBelow = below;
        s.mostPopularAbove = above;
        s.averageTicketValue = k[0].mean(weights[0], s.averageRange);
        s.averageBoughtValue = k[1].mean(weights[1], s.boughtRange);
        s.leastPopularValue = k[2].mean(weights[2], s.leastRange);
        s.mostPopularValue = k[3].mean(weights[3], s.mostRange);
        out.push_back(s);
    }
    return out;
}

} // namespace loto6::popularity
