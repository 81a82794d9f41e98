#pragma once

#include "store/drawhistory.h"

#include <string>
#include <vector>

namespace loto6 {

// Per-number totals computed once at start-up over the complete records.
struct Totals
{
    static constexpr int CountTableSize = 100000; // numbers 0..99999 have their own entry

    int latestDrawNo = 0;
    std::vector<int> appearanceCount = std::vector<int>(CountTableSize, 0);
    int maxAppearance = 0;
    std::vector<std::string> numbersByCount{std::string()};
    int countRowTotal = 0;

    // Count of a number, 0 for a number outside the table.
    int count(long long number) const
    {
        return number >= 0 && number < CountTableSize
            ? appearanceCount[static_cast<std::size_t>(number)]
            : 0;
    }
};

Totals computeTotals(const DrawHistory &history);

} // namespace loto6
