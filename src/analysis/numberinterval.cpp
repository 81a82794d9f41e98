#include "analysis/builders.h"
#include "analysis/intervalheadings.h"

#include <array>
#include <string>

namespace loto6 {

namespace {

constexpr Rgb FallBack = colors::lightMagenta;

std::string differenceText(long long d)
{
    return d > 0 ? "+" + std::to_string(d) : std::to_string(d);
}

} // namespace

// Every draw with, beside each of its seven numbers, the signed difference to the number in the
// same position of the previous complete draw; a fall is shown on light magenta.
Sheet buildNumberInterval(const DrawHistory &history, const Totals &totals)
{
    using namespace intervalsheet;
    const int latest = totals.latestDrawNo;
    Sheet s = makeIntervalSheet(latest, IntervalKind::Difference);

    // Zero until the first complete record: when the first record is incomplete, the next one
    // is compared with zeros and every difference equals its number.
    std::array<long long, DrawRecord::FieldCount> previous{};
    int row = FirstDataRow;
    for (const DrawRecord &r : history) {
        const int thisRow = row++;
        if (!r.isComplete())
            continue; // a blank row; the previous numbers stay
        // Records beyond the last draw row would run into the bottom headings.
        if (thisRow <= lastDataRow(latest)) {
            s.setText(1, thisRow, r.drawNo);
            for (int k = 1; k <= DrawRecord::FieldCount; ++k) {
                const long long v = r.number(k - 1);
                s.setText(numberColumn(k), thisRow, v);
                // The first data row has nothing to compare with.
                if (thisRow == FirstDataRow)
                    continue;
                const long long d = v - previous[static_cast<std::size_t>(k - 1)];
                const int col = numberColumn(k) + 1;
                s.setText(col, thisRow, differenceText(d));
                if (d < 0)
                    s.setBackColor(col, thisRow, col, thisRow, FallBack);
            }
        }
        for (int f = 0; f < DrawRecord::FieldCount; ++f)
            previous[static_cast<std::size_t>(f)] = r.number(f);
    }
    return s;
}

} // namespace loto6
