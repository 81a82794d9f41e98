#pragma once

#include "store/drawprizes.h"

#include <array>
#include <cstdint>
#include <optional>

namespace loto6 {

// A draw's payout as an import holds the payouts already stored: 88 bytes where a DrawPrizes
// in a map takes about 210, so that a database of hundreds of thousands of payouts is held in
// a few times the size of the file that brought them.
class PackedPrizes
{
public:
    PackedPrizes() = default;

    // Nothing when a winner count does not fit the packed form (below 0 or above 2^32-1).
    static std::optional<PackedPrizes> pack(const DrawPrizes &prizes);
    DrawPrizes unpack() const;

    int drawNo() const { return m_drawNo; }

private:
    static constexpr int AmountCount = DrawPrizes::TierCount + 2; // the prizes, carry-over, sales

    std::int32_t m_drawNo = 0;
    std::uint32_t m_present = 0; // bit k: amount k is known
    std::array<std::uint32_t, DrawPrizes::TierCount> m_winners{};
    std::array<std::int64_t, AmountCount> m_amounts{};
};

} // namespace loto6
