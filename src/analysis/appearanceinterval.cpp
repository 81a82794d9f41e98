#include "analysis/builders.h"
#include "analysis/intervalheadings.h"
#include "store/drawrecord.h"

#include <array>
#include <string>

namespace loto6 {

namespace {

std::string intervalText(int interval)
{
    return interval == 0 ? std::string("初回") : std::to_string(interval) + "回前";
}

} // namespace

// Every draw with, beside each of its seven numbers, how many draws back that number was last
// drawn (as a main or bonus number), or "初回" for its first appearance.
Sheet buildAppearanceInterval(const DrawHistory &history, const Totals &totals)
{
    using namespace intervalsheet;
    const int latest = totals.latestDrawNo;
    Sheet s = makeIntervalSheet(latest, IntervalKind::Appearance);

    // Draw number of each number's most recent appearance, 0 for none. The history comes in
    // ascending draw numbers, so this is the nearest earlier draw holding the number; only draws
    // numbered 1 and up count as earlier appearances. Values outside 1..43 are never found.
    std::array<int, HighestNumber + 1> lastSeen{};
    auto slot = [&](long long v) -> int * {
        return v >= 1 && v <= HighestNumber ? &lastSeen[static_cast<std::size_t>(v)] : nullptr;
    };

    int row = FirstDataRow;
    for (const DrawRecord &r : history) {
        const int thisRow = row++;
        if (!r.isComplete())
            continue; // a blank row; the record never counts as an earlier appearance
        // Records beyond the last draw row would run into the bottom headings.
        const bool shown = thisRow <= lastDataRow(latest);
        if (shown)
            s.setText(1, thisRow, r.drawNo);
        for (int k = 1; k <= DrawRecord::FieldCount; ++k) {
            const long long v = r.number(k - 1);
            int interval = 0;
            if (const int *seen = slot(v); seen && *seen >= 1 && *seen < r.drawNo)
                interval = r.drawNo - *seen;
            if (shown) {
                s.setText(numberColumn(k), thisRow, v);
                s.setText(numberColumn(k) + 1, thisRow, intervalText(interval));
            }
        }
        if (r.drawNo >= 1)
            for (int f = 0; f < DrawRecord::FieldCount; ++f)
                if (int *seen = slot(r.number(f)))
                    *seen = r.drawNo;
    }
    return s;
}

} // namespace loto6
