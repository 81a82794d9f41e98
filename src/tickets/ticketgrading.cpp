#include "tickets/ticketgrading.h"

#include "analysis/probability.h"
#include "grid/numbertext.h"
#include "prediction/backtestreport.h"
#include "store/drawrecord.h"

#include <algorithm>
#include <bit>
#include <numeric>

namespace loto6 {

int TicketGrading::tierOf(int matches, bool bonus) { return prizeClass(matches, bonus); }

double TicketGrading::tierChance(int tier)
{
    static const auto chances = prizeChances();
    return tier >= 1 && tier <= Tiers ? chances[static_cast<std::size_t>(tier - 1)] : 0.0;
}

double TicketGrading::anyPrizeChance()
{
    double p = 0;
    for (int t = 1; t <= Tiers; ++t)
        p += tierChance(t);
    return p;
}

std::string_view TicketGrading::tierName(int tier)
{
    static constexpr std::string_view Names[] = {"—", "1等", "2等", "3等", "4等", "5等"};
    return tier >= 1 && tier <= Tiers ? Names[tier] : Names[0];
}

TicketGrading::TicketGrading(std::vector<Ticket> tickets, const DrawHistory &history,
    const std::map<int, DrawPrizes> &prizes)
    : m_tickets(std::move(tickets))
    , m_prizes(prizes)
{
    m_draws.reserve(history.size());
    for (const DrawRecord &r : history) {
        if (!r.isComplete() || r.drawNo < 1)
            continue;
        Draw d{r.drawNo, 0, 0, false, false, 0.0};
        for (int i = 0; i < 6; ++i)
            if (const long long n = r.mainNumber(i); n >= 1 && n <= HighestNumber)
                d.mains |= std::uint64_t{1} << n;
        if (const long long b = r.bonus(); b >= 1 && b <= HighestNumber)
            d.bonus = std::uint64_t{1} << b;
        if (const auto it = m_prizes.find(r.drawNo); it != m_prizes.end()) {
            d.hasPrizes = true;
            for (int t = 1; t <= Tiers; ++t) {
                if (const auto &prize = it->second.tier(t).prize; prize && *prize > 0)
                    d.expectedYenPerUnit += tierChance(t) * static_cast<double>(*prize);
                else
                    d.tierWithoutWinner = true;
            }
        }
        m_draws.push_back(d);
        m_latestDrawNo = std::max(m_latestDrawNo, r.drawNo);
    }
    // The view reads in ascending 回数; a history built by hand may not be. A repeated 回数
    // is graded once.
    std::stable_sort(m_draws.begin(), m_draws.end(),
        [](const Draw &a, const Draw &b) { return a.drawNo < b.drawNo; });
    m_draws.erase(std::unique(m_draws.begin(), m_draws.end(),
                      [](const Draw &a, const Draw &b) { return a.drawNo == b.drawNo; }),
        m_draws.end());
    grade();
    collectBookDraws();
    compareWithChance();
}

const TicketGrading::Draw *TicketGrading::findDraw(int drawNo) const
{
    const auto it = std::lower_bound(m_draws.begin(), m_draws.end(), drawNo,
        [](const Draw &d, int no) { return d.drawNo < no; });
    return it != m_draws.end() && it->drawNo == drawNo ? &*it : nullptr;
}

std::uint64_t TicketGrading::matched(const Row &row) const
{
    const Draw *d = findDraw(row.drawNo);
    return d ? d->mains & m_tickets[static_cast<std::size_t>(row.ticket)].mask() : 0;
}

long long TicketGrading::prize(const Row &row) const
{
    if (row.tier == 0)
        return 0;
    const auto it = m_prizes.find(row.drawNo);
    if (it == m_prizes.end() || !it->second.tier(row.tier).prize)
        return Unknown;
    return *it->second.tier(row.tier).prize * m_tickets[static_cast<std::size_t>(row.ticket)].units;
}

void TicketGrading::grade()
{
    Summary &s = m_summary;
    const auto firstOf = [this](int drawNo) {
        return std::lower_bound(m_draws.begin(), m_draws.end(), drawNo,
            [](const Draw &d, int no) { return d.drawNo < no; });
    };
    std::size_t total = 0;
    std::vector<bool> gapCounted(m_draws.size(), false);
    for (const Ticket &t : m_tickets)
        total += static_cast<std::size_t>(firstOf(t.lastDraw() + 1) - firstOf(t.firstDraw));
    m_rows.reserve(total);
    for (std::size_t i = 0; i < m_tickets.size(); ++i) {
        const Ticket &t = m_tickets[i];
        const std::uint64_t mask = t.mask();
        const auto end = firstOf(t.lastDraw() + 1);
        for (auto it = firstOf(t.firstDraw); it != end; ++it) {
            Row row;
            row.ticket = static_cast<std::int32_t>(i);
            row.drawNo = it->drawNo;
            row.matches = static_cast<std::uint8_t>(std::popcount(mask & it->mains));
            if (mask & it->bonus)
                row.bonusNumber = static_cast<std::uint8_t>(std::countr_zero(it->bonus));
            row.tier = static_cast<std::uint8_t>(tierOf(row.matches, row.bonus()));
            if (row.tier > 0) {
                if (const long long yen = prize(row); yen == Unknown)
                    s.unknownUnits += t.units;
                else
                    s.winnings += yen;
                s.tierUnits[row.tier - 1] += t.units;
                s.winningUnits += t.units;
                ++s.winningLines;
            }
            if (it->hasPrizes) {
                s.expectedYen += it->expectedYenPerUnit * t.units;
                s.expectedYenUnits += t.units;
                const auto at = static_cast<std::size_t>(it - m_draws.begin());
                if (it->tierWithoutWinner && !gapCounted[at]) {
                    gapCounted[at] = true;
                    ++s.expectedYenGapDraws;
                }
            }
            m_rows.push_back(row);
        }
        const long long graded = end - firstOf(t.firstDraw);
        s.lines += graded;
        s.units += graded * t.units;
        s.ungraded += t.draws - graded;
    }
    s.cost = s.units * Ticket::UnitPrice;
}

void TicketGrading::collectBookDraws()
{
    // Each ticket's rows lie together, one per draw in order; visiting the tickets by their
    // numbers leaves every draw's lines in order, so equal lines are neighbours.
    std::vector<std::size_t> firstRow(m_tickets.size() + 1, m_rows.size());
    for (std::size_t i = m_rows.size(); i-- > 0;)
        firstRow[static_cast<std::size_t>(m_rows[i].ticket)] = i;
    for (std::size_t t = m_tickets.size(); t-- > 0;)
        firstRow[t] = std::min(firstRow[t], firstRow[t + 1]);
    std::vector<std::size_t> order(m_tickets.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
        [this](std::size_t a, std::size_t b) { return m_tickets[a].mask() < m_tickets[b].mask(); });
    std::vector<std::vector<BookLine>> perDraw(m_draws.size());
    for (const std::size_t t : order) {
        const BookLine line{m_tickets[t].mask(), 1, m_tickets[t].units};
        const std::size_t end = firstRow[t + 1];
        if (firstRow[t] == end)
            continue;
        auto at = static_cast<std::size_t>(findDraw(m_rows[firstRow[t]].drawNo) - m_draws.data());
        for (std::size_t r = firstRow[t]; r < end; ++r, ++at) {
            std::vector<BookLine> &lines = perDraw[at];
            if (!lines.empty() && lines.back().mask == line.mask) {
                ++lines.back().tickets;
                lines.back().units += line.units;
            } else {
                lines.push_back(line);
            }
        }
    }
    for (std::size_t i = 0; i < perDraw.size(); ++i)
        if (!perDraw[i].empty())
            m_bookDraws.push_back({m_draws[i].drawNo, std::move(perDraw[i])});
}

void TicketGrading::compareWithChance()
{
    Summary &s = m_summary;
    const double p = anyPrizeChance();
    for (int t = 1; t <= Tiers; ++t)
        s.expectedTierUnits[static_cast<std::size_t>(t - 1)]
            = static_cast<double>(s.units) * tierChance(t);
    s.expectedWinningUnits = static_cast<double>(s.units) * p;
    s.expectedWinningLines = static_cast<double>(s.lines) * p;
    s.law = winCountLaw(m_bookDraws, s.winningLines);
    s.pAtLeast = s.law.pAtLeast;
    s.pAtMost = s.law.pAtMost;
    if (s.units == 0) {
        s.sentence = "照合できる抽選がまだないため、偶然との比較はできません。";
        return;
    }
    std::string verdict;
    if (s.pAtLeast < 0.05)
        verdict = "偶然より多く当たっており、ランダムな番号では起こりにくい成績です";
    else if (s.pAtMost < 0.05)
        verdict = "偶然より当たりが少なく、ランダムな番号のほうが良い成績になりやすいと言えます";
    else
        verdict = "ランダムな番号と区別できません";
    s.sentence = "照合した" + groupedText(s.lines) + "件（1回の抽選の1組を1件とし、同じ組の口は"
        + "そろって当たり外れします）のうち当せんは" + groupedText(s.winningLines)
        + "件で、同じ件数のランダムな番号なら平均" + fixedText(s.expectedWinningLines, 2)
        + "件です。公平な抽選でこの購入番号が" + groupedText(s.winningLines) + "件以上当たる確率は"
        + pValueText(s.pAtLeast) + "（" + lawMethodText(s.law, true) + "）で、" + verdict + "。";
}

std::string lawMethodText(const WinCountLaw &law, bool atLeast)
{
    if (!law.simulated)
        return "同じ数字を含む組や同じ組の重なりも数えた厳密な値";
    return groupedText(law.simulations) + "回の模擬抽選による推定、誤差±"
        + pValueText(atLeast ? law.errorAtLeast : law.errorAtMost);
}

} // namespace loto6
