#include "popularity/popularityestimate.h"

#include "popularity/estimateblob.h"
#include "popularity/valuerange.h"
#include "popularity/valuespectrum.h"
#include "popularity/weightruns.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <system_error>
#include <thread>
#include <utility>

namespace loto6::popularity {

namespace {

constexpr double TailPercent = 1.0;
constexpr std::uint32_t EstimateMagic = 0x4550364C; // "L6PE"

// Where the least popular `percent` % end among all combinations in ascending order.
std::size_t rankOf(double percent)
{
    return static_cast<std::size_t>(
        std::clamp(percent, 0.0, 100.0) / 100.0 * static_cast<double>(CombinationCount - 1));
}

double stepPercent(int step) { return step / 100.0; }

// Sorts positive floats (pick weights) by their bits, 11 at a time: for non-negative floats
// the order of the bits is the order of the values. One pass counts the three digits, three
// passes place them: a fraction of a comparison sort's time.
void sortPositive(std::vector<float> &values)
{
    constexpr int Bits = 11;
    constexpr std::size_t Buckets = std::size_t{1} << Bits;
    constexpr int Digits = 3;
    std::vector<std::array<std::uint32_t, Buckets>> start(Digits);
    for (float v : values) {
        const auto bits = std::bit_cast<std::uint32_t>(v);
        for (int d = 0; d < Digits; ++d)
            ++start[static_cast<std::size_t>(d)][(bits >> (d * Bits)) & (Buckets - 1)];
    }
    for (std::array<std::uint32_t, Buckets> &counts : start) {
        std::uint32_t at = 0;
        for (std::uint32_t &c : counts)
            at += std::exchange(c, at);
    }
    std::vector<float> other(values.size());
    for (int d = 0; d < Digits; ++d) {
        std::array<std::uint32_t, Buckets> &next = start[static_cast<std::size_t>(d)];
        for (float v : values)
            other[next[(std::bit_cast<std::uint32_t>(v) >> (d * Bits)) & (Buckets - 1)]++] = v;
        values.swap(other);
    }
}

// The combination of a colexicographic rank, 0-based ascending.
std::array<int, MainNumberCount> combinationAt(std::int64_t rank)
{
    std::array<int, MainNumberCount> x{};
    int n = HighestNumber - 1;
    for (int place = MainNumberCount - 1; place >= 0; --place, --n) {
        while (binomial(n, place + 1) > rank)
            --n;
        x[static_cast<std::size_t>(place)] = n;
        rank -= binomial(n, place + 1);
    }
    return x;
}

// The ranks of the combinations whose popularity in float is one of the quantiles, by value.
std::vector<std::pair<std::uint32_t, std::uint32_t>> tiedWithQuantiles(
    const std::vector<float> &values, const std::vector<float> &quantiles)
{
    // A set of the quantiles' bits: a bitmap that rules most values out at once, then a table.
    constexpr int FilterBits = 17, TableBits = 15;
    const auto slot = [](std::uint32_t b, int bits) { return (b * 0x9E3779B1u) >> (32 - bits); };
    std::vector<std::uint64_t> filter(std::size_t{1} << (FilterBits - 6), 0);
    std::vector<std::uint32_t> table(std::size_t{1} << TableBits, 0); // 0: empty
    const std::uint32_t last = (1u << TableBits) - 1;
    for (float q : quantiles) {
        const auto b = std::bit_cast<std::uint32_t>(q);
        filter[slot(b, FilterBits) >> 6] |= std::uint64_t{1} << (slot(b, FilterBits) & 63);
        std::uint32_t i = slot(b, TableBits);
        while (table[i] != 0 && table[i] != b)
            i = (i + 1) & last;
        table[i] = b;
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> tied;
    for (std::size_t r = 0; r < values.size(); ++r) {
        const auto b = std::bit_cast<std::uint32_t>(values[r]);
        const std::uint32_t f = slot(b, FilterBits);
        if (!(filter[f >> 6] >> (f & 63) & 1))
            continue;
        for (std::uint32_t i = slot(b, TableBits); table[i] != 0; i = (i + 1) & last)
            if (table[i] == b) {
                tied.emplace_back(b, static_cast<std::uint32_t>(r));
                break;
            }
    }
    std::sort(tied.begin(), tied.end());
    return tied;
}

// For each quantile, how many combinations a limit there admits when each is judged by its log
// weight (rawLogWeight <= log(quantile) + logNormaliser, as the designer judges). The float
// popularities are products within 1e-14 of exp(log weight): one under the quantile in float
// is surely admitted, one over it surely not, and only those equal to it in float are judged
// one by one.
std::vector<std::uint32_t> admittedCounts(const PopularityModel &model,
    const std::vector<float> &values, const std::vector<float> &sorted,
    const std::vector<float> &quantiles)
{
    const auto tied = tiedWithQuantiles(values, quantiles);
    std::vector<std::uint32_t> out;
    out.reserve(quantiles.size());
    for (std::size_t k = 0; k < quantiles.size(); ++k) {
        const float q = quantiles[k];
        if (k > 0 && q == quantiles[k - 1]) {
            out.push_back(out.back());
            continue;
        }
        const double limit = std::log(static_cast<double>(q)) + model.logNormaliser();
        auto admitted = static_cast<std::uint32_t>(
            std::lower_bound(sorted.begin(), sorted.end(), q) - sorted.begin());
        const auto b = std::bit_cast<std::uint32_t>(q);
        for (auto it = std::lower_bound(tied.begin(), tied.end(), std::make_pair(b, 0u));
             it != tied.end() && it->first == b; ++it) {
            const std::array<int, MainNumberCount> x = combinationAt(it->second);
            admitted += model.rawLogWeight(x.data()) <= limit ? 1 : 0;
        }
        out.push_back(admitted);
    }
    return out;
}

// The pattern family of the draws learnt from: the fixed kinds and the latest draws, as
// PatternFamily::fromHistory takes them from a history whose every draw has payouts.
PatternFamily familyOf(const std::vector<DrawObservation> &draws)
{
    std::vector<Combination> recent;
    for (auto it = draws.rbegin();
         it != draws.rend() && recent.size() < static_cast<std::size_t>(PatternFamily::RecentDraws);
         ++it)
        recent.push_back(it->numbers);
    return PatternFamily(std::move(recent));
}

// The admitted counts less the tickets of the family each limit admits, each judged by its
// log weight as admittedCounts judges a tie.
std::vector<std::uint32_t> withoutPatterns(const PopularityModel &model,
    const std::vector<float> &quantiles, const std::vector<std::uint32_t> &admitted,
    const PatternFamily &family)
{
    std::vector<double> limits;
    for (float q : quantiles)
        limits.push_back(std::log(static_cast<double>(q)) + model.logNormaliser());
    // firstAdmitted[k]: the family's tickets admitted from the k-th limit on.
    std::vector<std::uint32_t> firstAdmitted(quantiles.size() + 1, 0);
    for (PatternMask m : patternTickets(family)) {
        std::array<int, MainNumberCount> x{};
        for (std::size_t i = 0; m; m &= m - 1)
            x[i++] = std::countr_zero(m) - 1;
        const double w = model.rawLogWeight(x.data());
        ++firstAdmitted[static_cast<std::size_t>(
            std::lower_bound(limits.begin(), limits.end(), w) - limits.begin())];
    }
    std::vector<std::uint32_t> out;
    std::uint32_t patterns = 0;
    for (std::size_t k = 0; k < admitted.size(); ++k) {
        patterns += firstAdmitted[k];
        out.push_back(admitted[k] - std::min(patterns, admitted[k]));
    }
    return out;
}

void writeFamily(BlobWriter &w, const PatternFamily &family)
{
    w.u32(static_cast<std::uint32_t>(family.recent().size()));
    for (PatternMask m : family.recent()) {
        w.u32(static_cast<std::uint32_t>(m));
        w.u32(static_cast<std::uint32_t>(m >> 32));
    }
}

PatternFamily readFamily(BlobReader &r)
{
    const std::uint32_t count = r.u32();
    r.require(count <= static_cast<std::uint32_t>(PatternFamily::RecentDraws));
    std::vector<Combination> recent;
    for (std::uint32_t i = 0; i < count && r.ok(); ++i) {
        PatternMask m = r.u32();
        m |= PatternMask{r.u32()} << 32;
        r.require(
            std::popcount(m) == MainNumberCount && (m & 1) == 0 && m >> (HighestNumber + 1) == 0);
        Combination c{};
        for (std::size_t k = 0; m && k < c.size(); m &= m - 1)
            c[k++] = std::countr_zero(m);
        recent.push_back(c);
    }
    return PatternFamily(std::move(recent));
}

void writeRules(BlobWriter &w, const PrizeRules &r, TrainingCount training)
{
    for (double v : r.poolShare)
        w.f64(v);
    w.f64(r.fifthPrize);
    w.f64(r.capWithoutCarryOver);
    w.f64(r.capWithCarryOver);
    w.f64(r.typicalSales);
    w.u32(static_cast<std::uint32_t>(r.basedOnDraws));
    w.u32(static_cast<std::uint32_t>(training.draws));
    w.u32(static_cast<std::uint32_t>(training.withSales));
}

PrizeRules readRules(BlobReader &r, TrainingCount &training)
{
    PrizeRules rules;
    for (double &v : rules.poolShare) {
        v = r.f64();
        r.require(v >= 0 && v <= 1);
    }
    rules.fifthPrize = r.f64();
    rules.capWithoutCarryOver = r.f64();
    rules.capWithCarryOver = r.f64();
    rules.typicalSales = r.f64();
    r.require(rules.fifthPrize >= 0 && rules.capWithoutCarryOver >= 0 && rules.capWithCarryOver >= 0
        && rules.typicalSales > 0);
    rules.basedOnDraws = static_cast<int>(r.u32());
    training.draws = static_cast<int>(r.u32());
    training.withSales = static_cast<int>(r.u32());
    r.require(rules.basedOnDraws >= 0 && training.draws >= training.withSales
        && training.withSales >= 0 && training.draws <= MaxDrawNumber);
    return rules;
}

void writeSpectrum(BlobWriter &w, const ValueSpectrum &s)
{
    for (double v : {s.averageTicketValue, s.leastPopularValue, s.mostPopularValue,
             s.leastPopularBelow, s.mostPopularAbove})
        w.f64(v);
}

ValueSpectrum readSpectrum(BlobReader &r)
{
    ValueSpectrum s;
    for (double *v : {&s.averageTicketValue, &s.leastPopularValue, &s.mostPopularValue,
             &s.leastPopularBelow, &s.mostPopularAbove})
        *v = r.f64();
    return s;
}

// What follows the sums in the stored form: the next draw's conditions, the spectra's
// popularity-weighted averages and the spectrum at the next draw's conditions, and what the
// range of a ticket's value needs.
void writeTail(BlobWriter &w, const NextDrawConditions &next, const ValueSpectrum &typical,
    const ValueSpectrum &atNext, const ValueUncertainty &u)
{
    w.u32(static_cast<std::uint32_t>(next.fromDraw));
    w.f64(next.carryOver);
    w.f64(typical.averageBoughtValue);
    writeSpectrum(w, atNext);
    w.f64(atNext.averageBoughtValue);
    for (const ValueSpectrum *s : {&typical, &atNext})
        for (const ValueSpectrum::Range &range :
            {s->averageRange, s->boughtRange, s->leastRange, s->mostRange}) {
            w.f64(range.low);
            w.f64(range.high);
        }
    w.u32(static_cast<std::uint32_t>(u.featureMeans.size()));
    w.f64s(u.covariance);
    w.f64s(u.featureMeans);
    for (double e : u.levelError)
        w.f64(e);
    w.u32(static_cast<std::uint32_t>(u.levelDraws));
    w.f64(u.testedLow);
    w.f64(u.testedHigh);
    w.u32(static_cast<std::uint32_t>(u.testedDraws));
}

void readTail(BlobReader &r, NextDrawConditions &next, ValueSpectrum &typical,
    ValueSpectrum &atNext, ValueUncertainty &u)
{
    next.fromDraw = static_cast<int>(r.u32());
    next.carryOver = r.f64();
    typical.averageBoughtValue = r.f64();
    atNext = readSpectrum(r);
    atNext.averageBoughtValue = r.f64();
    for (ValueSpectrum *s : {&typical, &atNext})
        for (ValueSpectrum::Range *range :
            {&s->averageRange, &s->boughtRange, &s->leastRange, &s->mostRange}) {
            range->low = r.f64();
            range->high = r.f64();
        }
    const std::uint32_t weights = r.u32();
    r.require(next.fromDraw <= MaxDrawNumber && next.carryOver >= 0 && weights <= 4096);
    r.f64s(std::size_t{weights} * weights, u.covariance);
    r.f64s(weights, u.featureMeans);
    for (double &e : u.levelError) {
        e = r.f64();
        r.require(e >= 0);
    }
    u.levelDraws = static_cast<int>(r.u32());
    u.testedLow = r.f64();
    u.testedHigh = r.f64();
    u.testedDraws = static_cast<int>(r.u32());
    r.require(u.levelDraws >= 0 && u.levelDraws <= MaxDrawNumber && u.testedDraws >= 0
        && u.testedDraws <= MaxDrawNumber && u.testedLow <= u.testedHigh);
}

bool ascendingPositive(const std::vector<float> &v)
{
    for (std::size_t i = 0; i < v.size(); ++i)
        if (!(v[i] > 0) || (i > 0 && v[i] < v[i - 1]))
            return false;
    return true;
}

} // namespace

PopularityEstimate::PopularityEstimate(
    PopularityModel model, PrizeRules rules, TrainingCount training)
    : m_model(std::move(model))
    , m_rules(rules)
    , m_training(training)
{
}

Digest PopularityEstimate::keyOf(
    const std::vector<DrawObservation> &draws, const FitSettings &settings)
{
    return learningKey(draws, 0, settings);
}

std::string PopularityEstimate::makeBlob(
    const std::vector<DrawObservation> &draws, const FitSettings &settings)
{
    std::vector<double> covariance;
    const PopularityModel model = fitPopularity(draws, 0, settings, &covariance);
    const PrizeRules rules = PrizeRules::fromHistory(draws);
    // The neighbourhood's sums on a thread of their own beside the sorting.
    std::optional<Neighbourhood> sums;
    const auto sum = [&] { sums.emplace(model); };
    std::jthread summing;
    try {
        summing = std::jthread(sum);
    } catch (const std::system_error &) {
        sum();
    }
    const TrainingCount training = trainingDrawCount(draws, 0);
    std::vector<float> values = model.allRelativePopularities();
    std::vector<float> sorted = values;
    sortPositive(sorted);
    std::vector<float> quantiles;
    for (int step = 0; step <= QuantileSteps; ++step)
        quantiles.push_back(sorted[rankOf(stepPercent(step))]);
    // Counted only for a fitted model: without one no limit is offered.
    const std::vector<std::uint32_t> admitted = training.withSales > 0
        ? admittedCounts(model, values, sorted, quantiles)
        : std::vector<std::uint32_t>(quantiles.size(), 0);
    const PatternFamily family = familyOf(draws);
    const std::vector<std::uint32_t> admittedWithout
        = withoutPatterns(model, quantiles, admitted, family);
    values = {};
    sorted = {};
    if (summing.joinable())
        summing.join();
    const Neighbourhood &hood = *sums;
    const auto tailStep = static_cast<std::size_t>(std::lround(TailPercent * 100));
    NextDrawConditions next;
    if (!draws.empty())
        next = {draws.back().drawNo, static_cast<double>(draws.back().carryOver)};
    const ValueUncertainty uncertainty
        = measureUncertainty(draws, model, hood, std::move(covariance));
    const std::vector<ValueSpectrum> spectra = spectraOf(hood,
        {TicketValuer(hood, rules, rules.typicalSales, 0),
            TicketValuer(hood, rules, rules.typicalSales, next.carryOver)},
        quantiles[tailStep], quantiles[static_cast<std::size_t>(QuantileSteps) - tailStep],
        uncertainty.levelError);
    BlobWriter w;
    w.u32(EstimateMagic);
    w.u32(EstimateVersion);
    w.digest(keyOf(draws, settings));
    writeModel(w, model);
    writeRules(w, rules, training);
    writeSpectrum(w, spectra[0]);
    w.f32s(quantiles);
    w.u32s(admitted);
    writeFamily(w, family);
    w.u32s(admittedWithout);
    for (const std::vector<double> &level : hood.levels())
        w.f64s(level);
    writeCountLaws(w, model);
    // The next draw's conditions and the values' uncertainty come after the count laws.
    writeTail(w, next, spectra[0], spectra[1], uncertainty);
    return w.finish();
}

std::unique_ptr<PopularityEstimate> PopularityEstimate::fromBlob(
    std::string_view blob, const Digest &key)
{
    BlobReader r(blob);
    r.require(r.u32() == EstimateMagic);
    r.require(r.u32() == EstimateVersion);
    r.require(r.digest() == key);
    std::optional<PopularityModel> model = readModel(r);
    TrainingCount training;
    const PrizeRules rules = readRules(r, training);
    const ValueSpectrum spectrum = readSpectrum(r);
    std::vector<float> quantiles;
    r.f32s(QuantileSteps + 1, quantiles);
    r.require(ascendingPositive(quantiles));
    std::vector<std::uint32_t> admitted;
    r.u32s(QuantileSteps + 1, admitted);
    r.require(std::is_sorted(admitted.begin(), admitted.end())
        && (admitted.empty() || admitted.back() <= CombinationCount));
    PatternFamily family = readFamily(r);
    std::vector<std::uint32_t> admittedWithout;
    r.u32s(QuantileSteps + 1, admittedWithout);
    r.require(std::is_sorted(admittedWithout.begin(), admittedWithout.end())
        && admittedWithout.size() == admitted.size()
        && std::equal(
            admittedWithout.begin(), admittedWithout.end(), admitted.begin(), std::less_equal<>()));
    Neighbourhood::Levels levels;
    for (std::size_t j = 0; j < levels.size(); ++j) {
        r.f64s(static_cast<std::size_t>(binomial(HighestNumber, static_cast<int>(j))), levels[j]);
        r.require(std::all_of(levels[j].begin(), levels[j].end(), [](double v) { return v >= 0; }));
    }
    if (model)
        readCountLaws(r, *model);
    ValueSpectrum typical = spectrum, atNext;
    NextDrawConditions next;
    ValueUncertainty uncertainty;
    readTail(r, next, typical, atNext, uncertainty);
    if (!r.finished() || !model)
        return nullptr;
    std::unique_ptr<PopularityEstimate> e(
        new PopularityEstimate(std::move(*model), rules, training));
    e->m_hood = std::make_unique<Neighbourhood>(e->m_model, std::move(levels));
    e->m_quantiles = std::move(quantiles);
    e->m_admitted = std::move(admitted);
    e->m_family = std::move(family);
    e->m_admittedWithout = std::move(admittedWithout);
    e->m_typicalSpectrum = typical;
    e->m_nextSpectrum = atNext;
    e->m_next = next;
    e->m_uncertainty = std::move(uncertainty);
    return e;
}

std::unique_ptr<PopularityEstimate> PopularityEstimate::build(
    const std::vector<DrawObservation> &draws, const FitSettings &settings)
{
    return fromBlob(makeBlob(draws, settings), keyOf(draws, settings));
}

double PopularityEstimate::percentile(double relativePopularity) const
{
    const auto t = static_cast<float>(relativePopularity);
    const auto at = std::lower_bound(m_quantiles.begin(), m_quantiles.end(), t);
    if (at == m_quantiles.begin())
        return 0.0; // at or under the least popular: none is less popular
    if (at == m_quantiles.end())
        return 100.0;
    // Between two quantiles: the combinations strictly under t are more than those up to the
    // lower one and at most those before the upper one; linear in between.
    const auto j = static_cast<int>(at - m_quantiles.begin());
    const double lo = static_cast<double>(rankOf(stepPercent(j - 1))) + 1;
    const double hi = static_cast<double>(rankOf(stepPercent(j)));
    const double q0 = *(at - 1), q1 = *at;
    const double below = lo + std::max(0.0, hi - lo) * (static_cast<double>(t) - q0) / (q1 - q0);
    return 100.0 * below / static_cast<double>(CombinationCount);
}

double PopularityEstimate::leastPopularThreshold(double percent) const
{
    const double p = std::clamp(percent, 0.0, 100.0);
    const double step = std::round(p * 100.0);
    if (stepPercent(static_cast<int>(step)) == p)
        return m_quantiles[static_cast<std::size_t>(step)];
    // Between two kept quantiles: from the popularity of every combination.
    std::vector<float> all = m_model.allRelativePopularities();
    const auto at = all.begin() + static_cast<std::ptrdiff_t>(rankOf(p));
    std::nth_element(all.begin(), at, all.end());
    return *at;
}

std::optional<std::uint64_t> PopularityEstimate::leastPopularCount(double percent) const
{
    const double step = std::round(percent * 100.0);
    if (!fitted() || percent < 0 || percent > 100 || stepPercent(static_cast<int>(step)) != percent)
        return std::nullopt;
    return m_admitted[static_cast<std::size_t>(step)];
}

std::optional<std::uint64_t> PopularityEstimate::leastPopularCount(
    double percent, const PatternFamily &excluded) const
{
    if (excluded != m_family || !leastPopularCount(percent))
        return std::nullopt;
    return m_admittedWithout[static_cast<std::size_t>(std::round(percent * 100.0))];
}

TicketValuer PopularityEstimate::valuer(std::optional<double> sales, double carryOver) const
{
    return TicketValuer(*m_hood, m_rules, sales.value_or(m_rules.typicalSales), carryOver);
}

TicketValuer PopularityEstimate::nextDrawValuer() const
{
    return valuer(std::nullopt, m_next.carryOver);
}

ValueSpectrum PopularityEstimate::spectrum(const TicketValuer &valuer) const
{
    if (valuer.sales() == m_rules.typicalSales && valuer.carryOver() == 0)
        return m_typicalSpectrum;
    if (valuer.sales() == m_rules.typicalSales && valuer.carryOver() == m_next.carryOver)
        return m_nextSpectrum;
    // The levels of up to four numbers summed again for the many combinations valued.
    const Neighbourhood full(m_model);
    return spectraOf(full, {TicketValuer(full, m_rules, valuer.sales(), valuer.carryOver())},
        leastPopularThreshold(TailPercent), leastPopularThreshold(100.0 - TailPercent),
        m_uncertainty.levelError)
        .front();
}

bool PopularityEstimate::extrapolated(double relativePopularity) const
{
    return m_uncertainty.testedDraws == 0 || relativePopularity < m_uncertainty.testedLow
        || relativePopularity > m_uncertainty.testedHigh;
}

} // namespace loto6::popularity
