#include "prediction/drawtable.h"

#include <algorithm>

namespace loto6 {

void DrawTable::set(int drawNo, const Numbers &numbers)
{
    if (drawNo < 1)
        return;
    const auto index = static_cast<std::size_t>(drawNo);
    if (index >= m_draws.size()) {
        // Grow geometrically so that feeding draws one by one stays linear.
        const std::size_t size = std::max(index + 1, m_draws.size() * 2);
        m_draws.resize(size, Numbers {});
        m_stored.resize(size, false);
    }
    m_draws[index] = numbers;
    m_stored[index] = true;
    m_highest = std::max(m_highest, drawNo);
}

bool DrawTable::holds(long long drawNo, int value) const
{
    if (!contains(drawNo))
        return false;
    const Numbers &n = m_draws[static_cast<std::size_t>(drawNo)];
    return std::find(n.begin(), n.end(), value) != n.end();
}

int DrawTable::previousOccurrence(int value, int drawNo) const
{
    for (int m = std::min(drawNo - 1, m_highest); m >= 1; --m)
        if (holds(m, value))
            return m;
    return 0;
}

} // namespace loto6
