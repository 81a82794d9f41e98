#include "store/packedprizes.h"

#include <limits>

namespace loto6 {

namespace {

// The optional amounts of a payout in a fixed order: the five prizes, carry-over, sales.
template<typename Prizes>
auto amountsOf(Prizes &p)
{
    return std::array{&p.tiers[0].prize, &p.tiers[1].prize, &p.tiers[2].prize, &p.tiers[3].prize,
        &p.tiers[4].prize, &p.carryOver, &p.sales};
}

} // namespace

std::optional<PackedPrizes> PackedPrizes::pack(const DrawPrizes &prizes)
{
    PackedPrizes p;
    p.m_drawNo = prizes.drawNo;
    for (std::size_t t = 0; t < p.m_winners.size(); ++t) {
        const long long winners = prizes.tiers[t].winners;
        if (winners < 0 || winners > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
        p.m_winners[t] = static_cast<std::uint32_t>(winners);
    }
    const auto amounts = amountsOf(prizes);
    for (std::size_t k = 0; k < amounts.size(); ++k)
        if (*amounts[k]) {
            p.m_present |= 1u << k;
            p.m_amounts[k] = **amounts[k];
        }
    return p;
}

DrawPrizes PackedPrizes::unpack() const
{
    DrawPrizes prizes;
    prizes.drawNo = m_drawNo;
    for (std::size_t t = 0; t < m_winners.size(); ++t)
        prizes.tiers[t].winners = m_winners[t];
    const auto amounts = amountsOf(prizes);
    for (std::size_t k = 0; k < amounts.size(); ++k)
        if (m_present & (1u << k))
            *amounts[k] = m_amounts[k];
    return prizes;
}

} // namespace loto6
