#include "popularity/backtestsummary.h"

#include "popularity/estimateblob.h"

#include <cmath>

namespace loto6::popularity {

namespace {

constexpr std::uint32_t SummaryMagic = 0x5342364C; // "L6BS"

void writeOptional(BlobWriter &w, const std::optional<double> &v)
{
    w.u32(v ? 1 : 0);
    w.f64(v.value_or(0));
}

std::optional<double> readOptional(BlobReader &r)
{
    const std::uint32_t present = r.u32();
    const double v = r.f64();
    r.require(present <= 1);
    return present == 1 ? std::optional<double>(v) : std::nullopt;
}

// A count kept as a double: a whole number from 0 up to what a double holds exactly.
long long readCount(BlobReader &r)
{
    const double v = r.f64();
    r.require(v >= 0 && v <= 0x1.0p53 && std::floor(v) == v);
    return r.ok() ? static_cast<long long>(v) : 0;
}

int readInt(BlobReader &r)
{
    const std::uint32_t v = r.u32();
    r.require(v <= 1'000'000'000);
    return r.ok() ? static_cast<int>(v) : 0;
}

} // namespace

BacktestSummary summariseBacktest(const PopularityBacktest &b)
{
    BacktestSummary s;
    s.from = b.from;
    s.checkedDraws = static_cast<int>(b.draws.size());
    s.trainingDraws = b.trainingDraws;
    s.trainingDrawsWithSales = b.trainingDrawsWithSales;
    s.r2 = b.r2;
    for (std::size_t g = 0; g < b.firstPrize.size(); ++g) {
        const PopularityBacktest::CalibrationGroup &group = b.firstPrize[g];
        s.firstPrize.push_back(
            {group.meanRelativePopularity, group.predicted, group.observed, b.groupLaw(g)});
    }
    for (int t = 3; t <= 5; ++t) {
        const auto i = static_cast<std::size_t>(t - 1);
        for (const PopularityBacktest::Draw &d : b.draws) {
            if (!d.sales || d.observed[i] <= 0 || d.predicted[i] <= 0)
                continue;
            const double uniform = d.tickets * tierChance(t);
            s.lowerTiers[i - 2].push_back(
                {d.predicted[i] / uniform, static_cast<double>(d.observed[i]) / uniform});
        }
    }
    return s;
}

std::string summaryBlob(const BacktestSummary &s, const Digest &key)
{
    BlobWriter w;
    w.u32(SummaryMagic);
    w.u32(EstimateVersion);
    w.digest(key);
    for (int v : {s.from, s.checkedDraws, s.trainingDraws, s.trainingDrawsWithSales})
        w.u32(static_cast<std::uint32_t>(v));
    for (const std::optional<double> &r2 : s.r2)
        writeOptional(w, r2);
    w.u32(static_cast<std::uint32_t>(s.firstPrize.size()));
    for (const BacktestSummary::Group &g : s.firstPrize) {
        w.f64(g.meanRelativePopularity);
        w.f64(g.predicted);
        w.f64(static_cast<double>(g.observed));
        w.u32(static_cast<std::uint32_t>(g.law.size()));
        w.f64s(g.law);
    }
    for (const std::vector<BacktestSummary::Point> &tier : s.lowerTiers) {
        w.u32(static_cast<std::uint32_t>(tier.size()));
        for (const BacktestSummary::Point &p : tier) {
            w.f64(p.predicted);
            w.f64(p.observed);
        }
    }
    return w.finish();
}

std::optional<BacktestSummary> summaryFromBlob(std::string_view blob, const Digest &key, int from)
{
    BlobReader r(blob);
    r.require(r.u32() == SummaryMagic);
    r.require(r.u32() == EstimateVersion);
    r.require(r.digest() == key);
    BacktestSummary s;
    for (int *v : {&s.from, &s.checkedDraws, &s.trainingDraws, &s.trainingDrawsWithSales})
        *v = readInt(r);
    r.require(s.from == from);
    for (std::optional<double> &r2 : s.r2)
        r2 = readOptional(r);
    const std::uint32_t groups = r.u32();
    r.require(groups <= static_cast<std::uint32_t>(CalibrationGroups));
    for (std::uint32_t g = 0; r.ok() && g < groups; ++g) {
        BacktestSummary::Group &group = s.firstPrize.emplace_back();
        group.meanRelativePopularity = r.f64();
        group.predicted = r.f64();
        group.observed = readCount(r);
        r.f64s(r.u32(), group.law);
    }
    for (std::vector<BacktestSummary::Point> &tier : s.lowerTiers) {
        const std::uint32_t points = r.u32();
        r.require(points <= static_cast<std::uint32_t>(s.checkedDraws));
        for (std::uint32_t i = 0; r.ok() && i < points; ++i)
            tier.push_back({r.f64(), r.f64()});
    }
    return r.finished() ? std::optional<BacktestSummary>(std::move(s)) : std::nullopt;
}

} // namespace loto6::popularity
