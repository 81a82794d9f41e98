#include "prediction/candidatelist.h"

#include "prediction/drawtable.h"

#include <algorithm>

namespace loto6 {

namespace {

struct PositionRule
{
    int offset;
    int lookBack; // in group 0
};

constexpr std::array<PositionRule, 7> PositionRules = {{
    {22, 4},
    {16, 5},
    {17, 5},
    {24, 9},
    {32, 12},
    {1, 19},
    {12, 20},
}};

} // namespace

CandidateList::Rule CandidateList::rule(int r)
{
    const int group = r / 7;
    const int position = r % 7 + 1;
    const PositionRule &p = PositionRules[static_cast<std::size_t>(position - 1)];
    return {position, p.offset, p.lookBack + group};
}

void CandidateList::compute(const DrawTable &draws, int latestDrawNo, int shift)
{
    m_distinct.clear();
    for (int r = 0; r < Count; ++r) {
        const Rule rl = rule(r);
        // A source draw that does not exist reads as 0: the candidate is the bare offset.
        int x = draws.at(rl.position, static_cast<long long>(latestDrawNo) - rl.lookBack - shift)
            + rl.offset;
        if (x > HighestNumber)
            x -= HighestNumber;
        else if (x <= 0)
            x += HighestNumber;
        m_numbers[static_cast<std::size_t>(r)] = x;
        if (std::find(m_distinct.begin(), m_distinct.end(), x) == m_distinct.end())
            m_distinct.push_back(x);
    }
}

} // namespace loto6
