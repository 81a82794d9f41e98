#include "prediction/cycletable.h"

namespace loto6 {

int CycleTable::methodOf(int interval)
{
    for (int k = 0; k < Methods; ++k)
        if (Intervals[static_cast<std::size_t>(k)] == interval)
            return k;
    return -1;
}

bool CycleTable::offer(int position, int interval, int number)
{
    const int method = methodOf(interval);
    return method >= 0 && offerToMethod(position, method, number);
}

bool CycleTable::offerToMethod(int position, int method, int number)
{
    if (position < 1 || position > Positions || method < 0 || method >= Methods)
        return false;
    const auto k = static_cast<std::size_t>(method);
    for (int q = 1; q <= Positions; ++q) {
        const auto row = static_cast<std::size_t>(q - 1);
        if (q != position && m_filled[row][k] && m_cells[row][k] == number)
            return false;
    }
    const auto row = static_cast<std::size_t>(position - 1);
    m_cells[row][k] = number;
    m_filled[row][k] = true;
    return true;
}

int CycleTable::number(int position, int method) const
{
    if (position < 1 || position > Positions || method < 0 || method >= Methods)
        return 0;
    return m_cells[static_cast<std::size_t>(position - 1)][static_cast<std::size_t>(method)];
}

std::string CycleTable::text(int position, int method) const
{
    if (position < 1 || position > Positions || method < 0 || method >= Methods)
        return {};
    const auto row = static_cast<std::size_t>(position - 1);
    const auto k = static_cast<std::size_t>(method);
    return m_filled[row][k] ? std::to_string(m_cells[row][k]) : std::string();
}

} // namespace loto6
