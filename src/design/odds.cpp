#include "design/odds.h"

#include "analysis/probability.h"

#include <algorithm>
#include <bit>

namespace loto6::design {

namespace {

constexpr std::array<double, TierCount> TierWays{1, 6, 216, 9990, 155400};
constexpr int BonusLeft = HighestNumber - MainNumberCount; // 37

struct Tally
{
    std::array<std::uint64_t, TierCount + 1> ways{};
};

// For one draw of six: which match counts occur among the tickets, and the numbers that the
// tickets with five matches miss (one of them drawn as bonus makes that ticket 2等); `draws`
// such draws alike (the same numbers among the tickets') count at once.
void tallyDraw(
    NumberMask draw, const std::vector<NumberMask> &tickets, Tally &t, std::uint64_t draws = 1)
{
    unsigned seen = 0;
    NumberMask missing = 0;
    for (NumberMask b : tickets) {
        const int m = std::popcount(draw & b);
        seen |= 1u << m;
        if (m == 5)
            missing |= b & ~draw;
    }
    if (!(seen & 0b1111000))
        return;
    const std::uint64_t x = static_cast<std::uint64_t>(std::popcount(missing));
    t.ways[0] += draws * (seen >> 6 & 1) * BonusLeft;
    t.ways[1] += draws * x; // the bonus is one of them
    t.ways[2]
        += draws * (x >= 2 ? BonusLeft : x * (BonusLeft - 1)); // a five-match ticket misses it
    t.ways[3] += draws * (seen >> 4 & 1) * BonusLeft;
    t.ways[4] += draws * (seen >> 3 & 1) * BonusLeft;
    t.ways[5] += draws * BonusLeft;
}

// Every draw by its numbers among the tickets' numbers: a set of at most six of them stands
// for the draws that hold it and no other of them, C(others, 6 - its size) of them, since the
// numbers no ticket holds change neither a match nor a missed number.
class TicketNumberDraws
{
public:
    explicit TicketNumberDraws(const std::vector<NumberMask> &tickets)
        : m_tickets(tickets)
    {
        NumberMask all = 0;
        for (NumberMask m : tickets)
            all |= m;
        m_numbers = numbersOf(all);
        m_others = HighestNumber - static_cast<int>(m_numbers.size());
    }

    // The sets to visit, against the 6,096,454 draws of the whole enumeration.
    std::uint64_t sets() const
    {
        std::uint64_t n = 0;
        for (int d = 0; d <= MainNumberCount; ++d)
            n += binomialCoefficient(static_cast<int>(m_numbers.size()), d);
        return n;
    }

    bool tally(Tally &t, const std::function<bool(double)> &progress) const
    {
        for (std::size_t first = 0; first < m_numbers.size(); ++first) {
            if (progress
                && !progress(static_cast<double>(first) / static_cast<double>(m_numbers.size())))
                return false;
            visit(first + 1, NumberMask{1} << m_numbers[first], 1, t);
        }
        visit(m_numbers.size(), 0, 0, t); // no number of the tickets drawn
        return true;
    }

private:
    void visit(std::size_t from, NumberMask drawn, int size, Tally &t) const
    {
        if (MainNumberCount - size <= m_others)
            tallyDraw(drawn, m_tickets, t, binomialCoefficient(m_others, MainNumberCount - size));
        if (size == MainNumberCount)
            return;
        for (std::size_t i = from; i < m_numbers.size(); ++i)
            visit(i + 1, drawn | NumberMask{1} << m_numbers[i], size + 1, t);
    }

    const std::vector<NumberMask> &m_tickets;
    std::vector<int> m_numbers;
    int m_others = 0;
};

Status finish(const Tally &tally, TicketOdds &out)
{
    out.ways = tally.ways;
    for (std::size_t i = 0; i < out.ways.size(); ++i)
        out.atLeastOne[i] = static_cast<double>(out.ways[i]) / (AllCombinations * BonusLeft);
    return Status::success();
}

bool valid(const Combination &c)
{
    const NumberMask m = maskOf(c);
    return std::popcount(m) == MainNumberCount && (m & 1) == 0 && (m >> (HighestNumber + 1)) == 0;
}

} // namespace

double singleTicketChance(int tier)
{
    return TierWays[static_cast<std::size_t>(tier - 1)] / static_cast<double>(AllCombinations);
}

AveragePrizeModel::AveragePrizeModel(const std::map<int, DrawPrizes> &prizes)
{
    std::array<double, TierCount> total{};
    for (const auto &[drawNo, p] : prizes) {
        for (int t = 1; t <= TierCount; ++t) {
            const TierPayout &tier = p.tier(t);
            if (tier.winners > 0 && tier.prize && *tier.prize > 0) {
                total[static_cast<std::size_t>(t - 1)] += static_cast<double>(*tier.prize);
                ++m_draws[static_cast<std::size_t>(t - 1)];
            }
        }
    }
    for (std::size_t i = 0; i < total.size(); ++i)
        m_average[i] = m_draws[i] ? total[i] / m_draws[i] : 0;
}

double AveragePrizeModel::expectedPrize(const Combination &, int tier) const
{
    return m_average[static_cast<std::size_t>(tier - 1)];
}

bool AveragePrizeModel::known(int tier) const
{
    return m_draws[static_cast<std::size_t>(tier - 1)] > 0;
}

void weighPrizes(const std::vector<Combination> &tickets, const PrizeModel &model, TicketOdds &out)
{
    out.prizesPerTicket = model.perTicket();
    out.returnComplete = true;
    out.expectedReturn = 0;
    for (int t = 1; t <= TierCount; ++t) {
        const std::size_t i = static_cast<std::size_t>(t - 1);
        out.expectedCount[i] = singleTicketChance(t) * static_cast<double>(tickets.size());
        out.returnComplete = out.returnComplete && model.known(t);
        out.expectedYen[i] = 0;
        for (const Combination &c : tickets)
            out.expectedYen[i] += singleTicketChance(t) * model.expectedPrize(c, t);
        out.expectedReturn += out.expectedYen[i];
    }
}

Status ticketOdds(const std::vector<Combination> &tickets, const PrizeModel &model, TicketOdds &out,
    const std::function<bool(double)> &progress)
{
    out = {};
    if (tickets.empty())
        return Status::failure(Fault{.kind = FaultKind::NoTicketsToWeigh});
    if (tickets.size() > static_cast<std::size_t>(MaxOddsTickets))
        return Status::failure(Fault{.kind = FaultKind::TooManyToWeigh,
            .value = std::to_string(tickets.size()),
            .limit = MaxOddsTickets});
    std::vector<NumberMask> masks;
    for (const Combination &c : tickets) {
        if (!valid(c))
            return Status::failure(Fault{.kind = FaultKind::NotSixNumbers,
                .value = combinationText(c),
                .limit = HighestNumber});
        masks.push_back(maskOf(c));
    }
    out.tickets = static_cast<int>(tickets.size());
    out.cost = static_cast<long long>(tickets.size()) * TicketPrice;
    weighPrizes(tickets, model, out);
    std::sort(masks.begin(), masks.end());
    masks.erase(std::unique(masks.begin(), masks.end()), masks.end());
    out.distinct = static_cast<int>(masks.size());
    Tally tally;
    const TicketNumberDraws byTicketNumbers(masks);
    if (byTicketNumbers.sets() < AllCombinations / 2) {
        if (!byTicketNumbers.tally(tally, progress))
            return Status::failure(Fault{.kind = FaultKind::OddsCancelled});
        return finish(tally, out);
    }
    for (int a = 1; a <= HighestNumber - 5; ++a) {
        if (progress && !progress(static_cast<double>(a - 1) / (HighestNumber - 5)))
            return Status::failure(Fault{.kind = FaultKind::OddsCancelled});
        const NumberMask ma = NumberMask{1} << a;
        for (int b = a + 1; b <= HighestNumber - 4; ++b)
            for (int c = b + 1; c <= HighestNumber - 3; ++c)
                for (int d = c + 1; d <= HighestNumber - 2; ++d)
                    for (int e = d + 1; e <= HighestNumber - 1; ++e) {
                        const NumberMask m5 = ma | NumberMask{1} << b | NumberMask{1} << c
                            | NumberMask{1} << d | NumberMask{1} << e;
                        for (int f = e + 1; f <= HighestNumber; ++f)
                            tallyDraw(m5 | NumberMask{1} << f, masks, tally);
                    }
    }
    return finish(tally, out);
}

} // namespace loto6::design
