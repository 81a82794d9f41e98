#include "store/totals.h"

#include "store/drawrecord.h"

namespace loto6 {

Totals computeTotals(const DrawHistory &history)
{
    Totals t;
    if (history.empty())
        return t;
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        for (const auto &f : r.fields)
            if (*f >= 0 && *f < Totals::CountTableSize)
                ++t.appearanceCount[static_cast<std::size_t>(*f)];
        t.latestDrawNo = r.drawNo;
    }
    t.maxAppearance = 0;
    t.countRowTotal = 1;
    for (int n = 1; n <= HighestNumber; ++n) {
        const int c = t.appearanceCount[static_cast<std::size_t>(n)];
        if (c > t.maxAppearance) {
            t.maxAppearance = c;
            t.numbersByCount.resize(static_cast<std::size_t>(c) + 1);
        }
        std::string &entry = t.numbersByCount[static_cast<std::size_t>(c)];
        if (entry.empty()) {
            entry = std::to_string(n);
            ++t.countRowTotal;
        } else {
            entry += ',';
            entry += std::to_string(n);
        }
    }
    return t;
}

} // namespace loto6
