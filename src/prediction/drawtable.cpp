#include "prediction/drawtable.h"

#include <algorithm>

namespace loto6 {

void DrawTable::set(int drawNo, const Numbers &numbers)
{
    if (drawNo < 1)
        return;
    m_highest = std::max(m_highest, drawNo);
    if (drawNo >= DenseLimit) {
        m_far[drawNo] = numbers;
        return;
    }
    const auto index = static_cast<std::size_t>(drawNo);
    if (index >= m_draws.size()) {
        // Grow geometrically so that feeding draws one by one stays linear.
        const std::size_t size
            = std::min<std::size_t>(std::max(index + 1, m_draws.size() * 2), DenseLimit);
        m_draws.resize(size, Numbers{});
        m_stored.resize(size, false);
    }
    m_draws[index] = numbers;
    m_stored[index] = true;
}

bool DrawTable::holds(long long drawNo, int value) const
{
    const Numbers *n = find(drawNo);
    return n && std::find(n->begin(), n->end(), value) != n->end();
}

int DrawTable::previousOccurrence(int value, int drawNo) const
{
    // Far draws newest first, then the dense ones; draws never stored cannot match.
    for (auto it = m_far.lower_bound(drawNo); it != m_far.begin();) {
        --it;
        if (std::find(it->second.begin(), it->second.end(), value) != it->second.end())
            return static_cast<int>(it->first);
    }
    const int denseTop = static_cast<int>(m_draws.size()) - 1;
    for (int m = std::min(drawNo - 1, denseTop); m >= 1; --m)
        if (holds(m, value))
            return m;
    return 0;
}

} // namespace loto6
