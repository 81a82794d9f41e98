#include "chart/chartbands.h"
#include "chart/chartbuilders.h"
#include "grid/numbertext.h"
#include "store/drawprizes.h"
#include "tickets/ticketgrading.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>

namespace loto6 {

namespace {

constexpr int Simulations = 1000;
constexpr int FewestSimulations = 200;
// Visits of a line allowed to the simulation: fewer simulated histories for a very large book.
constexpr double SimulationWork = 4e7;

// A draw the book covers: its units and what they cost and won, in yen.
struct DrawMoney
{
    int drawNo = 0;
    long long units = 0;
    double spent = 0;
    double won = 0;
    std::array<double, TicketGrading::Tiers> prize{}; // yen per unit, 0 when not stored
};

std::vector<DrawMoney> drawMoney(
    const TicketGrading &grading, const std::map<int, DrawPrizes> &prizes)
{
    std::map<int, DrawMoney> byDraw;
    for (const TicketGrading::Row &row : grading.rows()) {
        DrawMoney &d = byDraw[row.drawNo];
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
    std::vector<DrawMoney> out;
    for (auto &[drawNo, d] : byDraw)
        out.push_back(d);
    return out;
}

// The band of the running winnings of the book itself under fair draws, draw by draw: the
// same lines with the same units are played against simulated fair draws side by side, so that
// the units of a line and lines that share numbers win together. A tier without a stored
// prize adds no yen, however often it is won.
class FairHistories
{
public:
    FairHistories(const std::vector<BookDraw> &lines, const std::vector<DrawMoney> &money)
        : m_lines(lines)
        , m_money(money)
    {
        double work = 1;
        for (const BookDraw &d : lines)
            work += static_cast<double>(d.lines.size() + 8);
        m_total.assign(
            static_cast<std::size_t>(std::clamp(SimulationWork / work,
                static_cast<double>(FewestSimulations), static_cast<double>(Simulations))),
            0.0);
    }
    int size() const { return static_cast<int>(m_total.size()); }

    // Plays draw d in every history; the running winnings after it, in history order.
    const std::vector<double> &play(std::size_t d)
    {
        const DrawMoney &money = m_money[d];
        for (double &total : m_total) {
            const FairDraw draw = randomFairDraw(m_random);
            for (const BookLine &l : m_lines[d].lines) {
                if (!wins(draw.mains & l.mask))
                    continue;
                const int matches = std::popcount(draw.mains & l.mask);
                const int tier = TicketGrading::tierOf(matches, (draw.bonus & l.mask) != 0);
                total += static_cast<double>(l.units)
                    * money.prize[static_cast<std::size_t>(tier - 1)];
            }
        }
        return m_total;
    }

private:
    const std::vector<BookDraw> &m_lines;
    const std::vector<DrawMoney> &m_money;
    PortableRandom m_random{20261208};
    std::vector<double> m_total;
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
    ChartPanel panel;
    panel.xAxis.label = "回";
    panel.xAxis.wholeNumbers = true;
    panel.yAxis.label = "累積金額";
    panel.yAxis.unit = "円";
    panel.yAxis.min = 0;
    const std::map<int, DrawPrizes> none;
    const std::vector<DrawMoney> draws = input.tickets
        ? drawMoney(*input.tickets, input.prizes ? *input.prizes : none)
        : std::vector<DrawMoney>{};
    const std::vector<BookDraw> noLines;
    FairHistories books(input.tickets ? input.tickets->bookDraws() : noLines, draws);
    // The title names the draws the book was graded on, not the whole history.
    c.title = "購入番号の収支　"
        + (draws.empty() ? historyRangeText(input.history)
                         : drawRangeText(draws.front().drawNo, draws.back().drawNo, draws.size()));
    ChartSeries spent{"購入額", ChartSeries::Role::Reference, ChartSeries::Mark::Line,
        chartcolors::Secondary, {}, {}};
    ChartSeries won{"当せん額", ChartSeries::Role::Observed, ChartSeries::Mark::Steps,
        chartcolors::Observed, {}, {}};
    ChartSeries expected{"無作為の購入での期待値", ChartSeries::Role::Expected,
        ChartSeries::Mark::Line, chartcolors::Expected, {}, {}};
    ChartBand band{"公平な抽選での95%", 0.95, chartcolors::Band, {}, {}, {}};
    double cost = 0, gain = 0, mean = 0;
    for (std::size_t d = 0; d < draws.size(); ++d) {
        cost += draws[d].spent;
        gain += draws[d].won;
        for (int t = 1; t <= TicketGrading::Tiers; ++t)
            mean += static_cast<double>(draws[d].units) * TicketGrading::tierChance(t)
                * draws[d].prize[static_cast<std::size_t>(t - 1)];
        const auto [low, high] = outerQuantiles(books.play(d), books.size() / 40);
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
    // Without a graded draw there is nothing to plot: the chart is its title and its note, not
    // empty axes.
    if (!draws.empty())
        c.panels.push_back(std::move(panel));
    c.note = draws.empty() ? std::string("照合できる購入番号がありません。購入番号を追加すると、抽"
                                         "選済みの回の収支を表示します。")
                           : "購入額 " + yenText(static_cast<long long>(cost)) + "、当せん額 "
            + yenText(static_cast<long long>(gain))
            + "。帯はこの購入番号と口数のまま公平な抽選を受けた場合の当せん額が"
            + "95%の確率で入る範囲（" + groupedText(books.size())
            + "回の模擬抽選。同じ組の口や数字を共有する組はそろって当たり外れします）です。払戻金が"
              "保存されていない回の当せんは金額に含みません。";
    return c;
}

} // namespace loto6
