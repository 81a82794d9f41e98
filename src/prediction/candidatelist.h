#pragma once

#include "store/drawrecord.h"

#include <array>
#include <string>
#include <vector>

namespace loto6 {

class DrawTable;

// The elimination method's 21 candidates of one pass: rule r takes the number at a source
// position of the draw c (+ shift) before the latest, adds the rule's offset and wraps once into
// 1..43. Repeats are dropped; the distinct candidates keep rule order.
class CandidateList
{
public:
    struct Rule
    {
        int position; // 1..7, 7 = bonus
        int offset;
        int lookBack;
    };
    static constexpr int Count = 21;

    // Rule r: group r / 7 adds one to the look-back; the offset belongs to the position.
    static Rule rule(int r);

    // Fills the candidates from the draws before latestDrawNo, moved back by the shift.
    void compute(const DrawTable &draws, int latestDrawNo, int shift);

    int number(int r) const { return m_numbers[static_cast<std::size_t>(r)]; }
    std::string text(int r) const { return std::to_string(number(r)); }
    // The candidates that are no repeat of an earlier one, in rule order.
    const std::vector<int> &distinct() const { return m_distinct; }

    bool operator==(const CandidateList &) const = default;

private:
    std::array<int, Count> m_numbers{};
    std::vector<int> m_distinct;
};

} // namespace loto6
