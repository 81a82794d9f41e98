#include "popularity/observations.h"

#include <algorithm>
#include <cstddef>

namespace loto6::popularity {

namespace {

// Six distinct numbers 1..43 and a bonus 1..43 apart from them; anything else is left out
// rather than read out of bounds.
bool isValidDraw(const Combination &c, int bonus)
{
    for (std::size_t i = 0; i < c.size(); ++i)
        if (c[i] < 1 || c[i] > HighestNumber || (i > 0 && c[i] == c[i - 1]) || c[i] == bonus)
            return false;
    return bonus >= 1 && bonus <= HighestNumber;
}

} // namespace

std::optional<double> DrawObservation::tickets() const
{
    if (!sales || *sales <= 0)
        return std::nullopt;
    return static_cast<double>(*sales) / 200.0;
}

std::vector<DrawObservation> observationsOf(
    const DrawHistory &history, const std::map<int, DrawPrizes> &prizes)
{
    std::vector<DrawObservation> out;
    for (const DrawRecord &r : history) {
        const auto p = prizes.find(r.drawNo);
        if (!r.isComplete() || p == prizes.end())
            continue;
        DrawObservation o;
        o.drawNo = r.drawNo;
        for (int i = 0; i < MainNumberCount; ++i)
            o.numbers[static_cast<std::size_t>(i)]
                = static_cast<int>(std::clamp<long long>(r.mainNumber(i), 0, HighestNumber + 1));
        std::sort(o.numbers.begin(), o.numbers.end());
        o.bonus = static_cast<int>(std::clamp<long long>(r.bonus(), 0, HighestNumber + 1));
        if (!isValidDraw(o.numbers, o.bonus))
            continue;
        for (int t = 1; t <= Tiers; ++t) {
            o.winners[static_cast<std::size_t>(t - 1)] = p->second.tier(t).winners;
            o.prize[static_cast<std::size_t>(t - 1)] = p->second.tier(t).prize.value_or(0);
        }
        o.carryOver = p->second.carryOver.value_or(0);
        o.sales = p->second.sales;
        out.push_back(o);
    }
    return out;
}

} // namespace loto6::popularity
