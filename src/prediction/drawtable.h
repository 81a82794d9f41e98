#pragma once

#include <array>
#include <map>
#include <vector>

namespace loto6 {

// The numbers of every scanned draw by position (1..6 main, 7 bonus) and draw number; a draw
// that was never stored reads as 0, which no drawn number equals. Grows with the draw numbers;
// draw numbers from DenseLimit up are kept apart, so a stray huge draw number costs one entry.
class DrawTable
{
public:
    static constexpr int Positions = 7;
    static constexpr int DenseLimit = 1 << 20;
    using Numbers = std::array<int, Positions>;

    // Stores a draw; draw numbers below 1 have no entry and are ignored.
    void set(int drawNo, const Numbers &numbers);
    // Number at position 1..7 of a draw, or 0 for a draw (or position) that has no entry.
    int at(int position, long long drawNo) const
    {
        const Numbers *n = find(drawNo);
        if (!n || position < 1 || position > Positions)
            return 0;
        return (*n)[static_cast<std::size_t>(position - 1)];
    }
    bool contains(long long drawNo) const { return find(drawNo) != nullptr; }
    // Whether any of the seven numbers of a draw equals the value.
    bool holds(long long drawNo, int value) const;
    // The latest draw before drawNo whose seven numbers contain the value, searching draw
    // numbers drawNo - 1 down to 1; 0 when there is none.
    int previousOccurrence(int value, int drawNo) const;
    // Highest draw number that has an entry, 0 when empty.
    int highestDrawNo() const { return m_highest; }

private:
    const Numbers *find(long long drawNo) const
    {
        if (drawNo < 1)
            return nullptr;
        if (static_cast<unsigned long long>(drawNo) < m_draws.size())
            return m_stored[static_cast<std::size_t>(drawNo)]
                ? &m_draws[static_cast<std::size_t>(drawNo)]
                : nullptr;
        if (m_far.empty())
            return nullptr;
        const auto it = m_far.find(drawNo);
        return it == m_far.end() ? nullptr : &it->second;
    }

    std::vector<Numbers> m_draws; // index = draw number below DenseLimit; index 0 unused
    std::vector<bool> m_stored;
    std::map<long long, Numbers> m_far; // draw numbers from DenseLimit up
    int m_highest = 0;
};

} // namespace loto6
