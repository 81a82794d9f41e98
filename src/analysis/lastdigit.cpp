#include "analysis/builders.h"
#include "analysis/tablelayout.h"

#include <array>
#include <string>

namespace loto6 {

namespace {

// Background of a digit cell by how many of the draw's seven numbers end in that digit.
Rgb slotColor(std::size_t count)
{
    if (count <= 1)
        return colors::white;
    if (count == 2)
        return colors::lightCyan;
    if (count == 3)
        return colors::lightGreen;
    return colors::lightPink;
}

} // namespace

// One row per complete draw: in the column of each last digit 0..9, the digit written once per
// number of the draw (bonus included) that ends in it, coloured by that count.
Sheet buildLastDigit(const DrawHistory &history, const Totals &totals)
{
    Sheet s = tablelayout::lastDigitSheet(totals.latestDrawNo, {true});
    const int lastDataRow = s.rows() - 2; // the bottom header is never overwritten

    int row = 3;
    for (const DrawRecord &r : history) {
        if (row > lastDataRow)
            break;
        if (!r.isComplete())
            continue;
        std::array<std::string, 10> slots;
        s.setText(1, row, r.drawNo);
        for (int k = 0; k < 7; ++k) {
            const int d = tablelayout::lastDigit(r.number(k));
            slots[static_cast<std::size_t>(d)] += static_cast<char>('0' + d);
        }
        for (int d = 0; d <= 9; ++d) {
            const std::string &slot = slots[static_cast<std::size_t>(d)];
            s.setText(d + 2, row, slot);
            s.selectCell(d + 2, row);
            s.setBackColor(slotColor(slot.size()));
        }
        ++row;
    }
    return s;
}

} // namespace loto6
