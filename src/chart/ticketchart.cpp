#include "chart/chartbands.h"
#include "chart/chartbuilders.h"
#include "grid/numbertext.h"
#include "store/drawprizes.h"
#include "tickets/ticketgrading.h"

#include <algorithm>
#include <cmath>

namespace loto6 {

namespace {

constexpr int Simulations = 1000;

// splitmix64: the same stream on every platform, so that the chart and its golden file agree.
class Stream
{
public:
    double uniform()
    {
        m_state += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1.0p-53;
    }
    // A binomial count by inversion from none = (1 - p)^n; the chances of a prize are small,
    // so the walk is short.
    long long binomial(long long n, double p, double none)
    {
        const double mean = static_cast<double>(n) * p;
        if (mean > 30) {
            // Many expected wins: the normal law, which the walk below could not start from.
            const double z
                = std::sqrt(-2 * std::log(1 - uniform())) * std::cos(6.283185307179586 * uniform());
            const double k = std::round(mean + z * std::sqrt(mean * (1 - p)));
            return static_cast<long long>(std::clamp(k, 0.0, static_cast<double>(n)));
        }
        const double u = uniform();
        double pmf = none;
        double cdf = pmf;
        long long k = 0;
        while (cdf < u && k < n) {
            pmf *= static_cast<double>(n - k) / static_cast<double>(k + 1) * p / (1 - p);
            cdf += pmf;
            ++k;
        }
        return k;
    }

private:
    std::uint64_t m_state = 20261208;
};

// A draw the book covers: its units and what they cost and won, in yen.
struct BookDraw
{
    int drawNo = 0;
    long long units = 0;
    double spent = 0;
    double won = 0;
    std::array<double, TicketGrading::Tiers> prize{}; // yen per unit, 0 when not stored
    std::array<double, TicketGrading::Tiers> none{};  // chance that no unit wins the tier
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
    for (auto &[drawNo, d] : byDraw) {
        for (int t = 1; t <= TicketGrading::Tiers; ++t)
            d.none[static_cast<std::size_t>(t - 1)]
                = std::pow(1 - TicketGrading::tierChance(t), static_cast<double>(d.units));
        out.push_back(d);
    }
    return out;
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
    // Every simulated book's running winnings, one row of draws per simulation.
    std::vector<double> runs(draws.size() * Simulations, 0.0);
    Stream stream;
    for (int s = 0; s < Simulations; ++s) {
        double total = 0;
        for (std::size_t d = 0; d < draws.size(); ++d) {
            for (std::size_t t = 0; t < TicketGrading::Tiers; ++t) {
                // A tier without a stored prize adds no yen, however often it is won.
                if (draws[d].prize[t] == 0)
                    continue;
                const double chance = TicketGrading::tierChance(static_cast<int>(t) + 1);
                total += static_cast<double>(
                             stream.binomial(draws[d].units, chance, draws[d].none[t]))
                    * draws[d].prize[t];
            }
            runs[static_cast<std::size_t>(s) * draws.size() + d] = total;
        }
    }
    ChartSeries spent{"購入額", ChartSeries::Role::Reference, ChartSeries::Mark::Line,
        chartcolors::Secondary, {}, {}};
    ChartSeries won{"当せん額", ChartSeries::Role::Observed, ChartSeries::Mark::Steps,
        chartcolors::Observed, {}, {}};
    ChartSeries expected{"無作為の購入での期待値", ChartSeries::Role::Expected,
        ChartSeries::Mark::Line, chartcolors::Expected, {}, {}};
    ChartBand band{"無作為の購入の95%", 0.95, chartcolors::Band, {}, {}, {}};
    double cost = 0, gain = 0, mean = 0;
    std::vector<double> at(Simulations);
    for (std::size_t d = 0; d < draws.size(); ++d) {
        cost += draws[d].spent;
        gain += draws[d].won;
        for (int t = 1; t <= TicketGrading::Tiers; ++t)
            mean += static_cast<double>(draws[d].units) * TicketGrading::tierChance(t)
                * draws[d].prize[static_cast<std::size_t>(t - 1)];
        for (int s = 0; s < Simulations; ++s)
            at[static_cast<std::size_t>(s)] = runs[static_cast<std::size_t>(s) * draws.size() + d];
        const auto lowAt = at.begin() + Simulations / 40;
        const auto highAt = at.begin() + (Simulations - 1 - Simulations / 40);
        std::nth_element(at.begin(), lowAt, at.end());
        const double low = *lowAt;
        std::nth_element(at.begin(), highAt, at.end());
        const double high = *highAt;
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
