#include "analysis/probability.h"
#include "chart/chartbands.h"
#include "chart/chartbuilders.h"
#include "grid/numbertext.h"
#include "store/drawprizes.h"
#include "tickets/ticketgrading.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>

namespace loto6 {

namespace {

constexpr int Simulations = 1000;
// A tier rarer than this is simulated by jumping from one winning unit to the next; a commoner
// one draw by draw from the table of its binomial law.
constexpr double RareTier = 0.01;

// splitmix64: the same stream on every platform, so that the chart and its golden file agree.
class Stream
{
public:
    std::uint64_t next()
    {
        m_state += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1) to 53 bits.
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // Uniform whole numbers below 2^32, two from each step of the stream.
    std::uint32_t next32()
    {
        if (m_spare) {
            m_spare = false;
            return static_cast<std::uint32_t>(m_half);
        }
        m_half = next();
        m_spare = true;
        return static_cast<std::uint32_t>(m_half >> 32);
    }
    // Failures before the next success of trials that succeed with log(1 - p) = logMiss.
    double geometric(double logMiss) { return std::floor(std::log1p(-uniform()) / logMiss); }

private:
    std::uint64_t m_state = 20261208;
    std::uint64_t m_half = 0;
    bool m_spare = false;
};

// A draw the book covers: its units and what they cost and won, in yen.
struct BookDraw
{
    int drawNo = 0;
    long long units = 0;
    double spent = 0;
    double won = 0;
    std::array<double, TicketGrading::Tiers> prize{}; // yen per unit, 0 when not stored
};

std::vector<BookDraw> bookDraws(
    const TicketGrading &grading, const std::map<int, DrawPrizes> &prizes)
{
    std::map<int, BookDraw> byDraw;
    for (const TicketGrading::Row &row : grading.rows()) {
        BookDraw &d = byDraw[row.drawNo];
        d.drawNo = row.drawNo;
        const long long units = grading.tickets()[static_cast<std::size_t>(row.ticket)].units;
        d.units += units;
        d.spent += static_cast<double>(units * Ticket::UnitPrice);
        d.won += static_cast<double>(std::max(0LL, grading.prize(row)));
    }
    for (auto &[drawNo, d] : byDraw)
        if (const auto it = prizes.find(drawNo); it != prizes.end())
            for (int t = 1; t <= TicketGrading::Tiers; ++t)
                d.prize[static_cast<std::size_t>(t - 1)]
                    = static_cast<double>(it->second.tier(t).prize.value_or(0));
    std::vector<BookDraw> out;
    for (auto &[drawNo, d] : byDraw)
        out.push_back(d);
    return out;
}

// The binomial law of the wins among n units at chance p, as cumulative chances (scaled to
// 2^32) of the counts from `first` on; counts further than a dozen standard deviations from
// the mean are left out.
struct WinLaw
{
    long long first = 0;
    std::vector<std::uint64_t> cdf;

    WinLaw(long long n, double p)
    {
        const double mean = static_cast<double>(n) * p;
        const double reach = 12 * std::sqrt(mean * (1 - p)) + 12;
        first = std::max(0LL, static_cast<long long>(mean - reach));
        const long long last = std::min(n, static_cast<long long>(mean + reach) + 1);
        double pmf = std::exp(binomialLogPmf(n, p, first));
        double sum = 0;
        for (long long k = first; k <= last; ++k) {
            sum += pmf;
            cdf.push_back(static_cast<std::uint64_t>(std::min(sum, 1.0) * 0x1.0p32));
            pmf *= static_cast<double>(n - k) / static_cast<double>(k + 1) * p / (1 - p);
        }
    }
    // The count whose cumulative chance first passes u / 2^32 (inversion); a short table, the
    // usual one of a few expected wins, is walked from its start.
    long long sample(std::uint32_t u) const
    {
        std::size_t i = 0;
        if (cdf.size() > 64)
            i = static_cast<std::size_t>(std::upper_bound(cdf.begin(), cdf.end(), u) - cdf.begin());
        else
            while (i < cdf.size() && cdf[i] <= u)
                ++i;
        return first + static_cast<long long>(std::min(i, cdf.size() - 1));
    }
};

// The band of the running winnings of random books with the same units in the same draws,
// draw by draw: 1,000 books are played side by side. Each unit of each draw wins each tier
// independently with its chance: a rare tier jumps from one winning unit to the next (a
// geometric number of units on), a common one draws each draw's count from the table of its
// law. A tier without a stored prize adds no yen, however often it is won.
class RandomBooks
{
public:
    explicit RandomBooks(const std::vector<BookDraw> &draws)
        : m_draws(draws)
        , m_total(Simulations, 0.0)
    {
        for (std::size_t t = 0; t < TicketGrading::Tiers; ++t) {
            const double p = TicketGrading::tierChance(static_cast<int>(t) + 1);
            if (p < RareTier) {
                m_rare.push_back({t, std::log1p(-p)});
                continue;
            }
            m_common.push_back(t);
            for (const BookDraw &d : draws)
                m_laws[t].try_emplace(d.units, d.units, p);
        }
        // Each book's next winning unit of each rare tier, counted over the whole book.
        m_next.resize(Simulations * m_rare.size());
        for (double &unit : m_next)
            unit = geometricAfter(-1, (&unit - m_next.data()) % m_rare.size());
    }

    // Plays draw d in every book; the books' running winnings after it, in book order.
    const std::vector<double> &play(std::size_t d)
    {
        const BookDraw &draw = m_draws[d];
        m_unitsThrough += static_cast<double>(draw.units);
        for (const std::size_t t : m_common) {
            if (draw.prize[t] == 0)
                continue;
            const WinLaw &law = m_laws[t].at(draw.units);
            for (double &total : m_total)
                total += static_cast<double>(law.sample(m_stream.next32())) * draw.prize[t];
        }
        for (std::size_t s = 0; s < Simulations; ++s)
            for (std::size_t k = 0; k < m_rare.size(); ++k)
                for (double &unit = m_next[s * m_rare.size() + k]; unit < m_unitsThrough;
                     unit = geometricAfter(unit, k))
                    m_total[s] += draw.prize[m_rare[k].first];
        return m_total;
    }

private:
    double geometricAfter(double unit, std::size_t rare)
    {
        return unit + 1 + m_stream.geometric(m_rare[rare].second);
    }

    const std::vector<BookDraw> &m_draws;
    Stream m_stream;
    std::vector<double> m_total;
    double m_unitsThrough = 0;
    std::vector<std::pair<std::size_t, double>> m_rare; // tier index, log(1 - chance)
    std::vector<std::size_t> m_common;
    std::map<long long, WinLaw> m_laws[TicketGrading::Tiers]; // one per count of units
    std::vector<double> m_next;
};

// The k-th smallest and the k-th largest value (from 0), by keeping the k + 1 smallest and
// largest seen in two heaps: a few comparisons per value, where the middle is not wanted.
std::pair<double, double> outerQuantiles(const std::vector<double> &values, std::size_t k)
{
    const auto take = static_cast<std::ptrdiff_t>(std::min(k + 1, values.size()));
    std::vector<double> low(values.begin(), values.begin() + take);
    std::vector<double> high = low;
    std::make_heap(low.begin(), low.end());
    std::make_heap(high.begin(), high.end(), std::greater<>());
    for (auto v = values.begin() + take; v != values.end(); ++v) {
        if (*v < low.front()) {
            std::pop_heap(low.begin(), low.end());
            low.back() = *v;
            std::push_heap(low.begin(), low.end());
        }
        if (*v > high.front()) {
            std::pop_heap(high.begin(), high.end(), std::greater<>());
            high.back() = *v;
            std::push_heap(high.begin(), high.end(), std::greater<>());
        }
    }
    return {low.front(), high.front()};
}

} // namespace

Chart buildTicketChart(const ChartInput &input)
{
    Chart c;
    c.title = "購入番号の収支　" + historyRangeText(input.history);
    ChartPanel panel;
    panel.xAxis.label = "回";
    panel.yAxis.label = "累積金額";
    panel.yAxis.unit = "円";
    panel.yAxis.min = 0;
    const std::map<int, DrawPrizes> none;
    const std::vector<BookDraw> draws = input.tickets
        ? bookDraws(*input.tickets, input.prizes ? *input.prizes : none)
        : std::vector<BookDraw>{};
    RandomBooks books(draws);
    ChartSeries spent{"購入額", ChartSeries::Role::Reference, ChartSeries::Mark::Line,
        chartcolors::Secondary, {}, {}};
    ChartSeries won{"当せん額", ChartSeries::Role::Observed, ChartSeries::Mark::Steps,
        chartcolors::Observed, {}, {}};
    ChartSeries expected{"無作為の購入での期待値", ChartSeries::Role::Expected,
        ChartSeries::Mark::Line, chartcolors::Expected, {}, {}};
    ChartBand band{"無作為の購入の95%", 0.95, chartcolors::Band, {}, {}, {}};
    double cost = 0, gain = 0, mean = 0;
    for (std::size_t d = 0; d < draws.size(); ++d) {
        cost += draws[d].spent;
        gain += draws[d].won;
        for (int t = 1; t <= TicketGrading::Tiers; ++t)
            mean += static_cast<double>(draws[d].units) * TicketGrading::tierChance(t)
                * draws[d].prize[static_cast<std::size_t>(t - 1)];
        const auto [low, high] = outerQuantiles(books.play(d), Simulations / 40);
        const auto x = static_cast<double>(draws[d].drawNo);
        for (ChartSeries *series : {&spent, &won, &expected})
            series->x.push_back(x);
        spent.y.push_back(cost);
        won.y.push_back(gain);
        expected.y.push_back(mean);
        band.x.push_back(x);
        band.low.push_back(low);
        band.high.push_back(high);
    }
    panel.bands.push_back(std::move(band));
    panel.series = {std::move(spent), std::move(won), std::move(expected)};
    c.panels.push_back(std::move(panel));
    c.note = draws.empty() ? std::string("照合できる購入番号がありません。購入番号を追加すると、抽"
                                         "選済みの回の収支を表示します。")
                           : "購入額 " + yenText(static_cast<long long>(cost)) + "、当せん額 "
            + yenText(static_cast<long long>(gain))
            + "。帯は同じ口数を無作為に買った場合の当せん額が" + "95%の確率で入る範囲（"
            + groupedText(Simulations)
            + "回の模擬抽選）です。払戻金が保存されていない回の当せんは金額に含みません。";
    return c;
}

} // namespace loto6
