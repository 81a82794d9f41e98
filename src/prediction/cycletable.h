#pragma once

#include <array>
#include <string>

namespace loto6 {

// The cycle methods' numbers by position (1..7, 7 = bonus) and method (0..3 = the 7-, 9-, 11-
// and 12-draw cycles): each cell holds the number that last reappeared at that position exactly
// that many draws after its previous appearance, unless the method already listed it elsewhere.
class CycleTable
{
public:
    static constexpr int Positions = 7;
    static constexpr int Methods = 4;
    static constexpr std::array<int, Methods> Intervals = {7, 9, 11, 12};

    // Method selected by an interval, or -1 for an interval no method uses.
    static int methodOf(int interval);

    // Offers the number found at a position with the given interval to its previous
    // appearance; returns whether a cell changed or was written.
    bool offer(int position, int interval, int number);
    // Stores the number in the cell unless the same number stands in the method at another
    // position (the bonus position included); a later number overwrites an earlier one.
    bool offerToMethod(int position, int method, int number);

    // Number of a cell, 0 while empty; the text is empty while the cell is empty.
    int number(int position, int method) const;
    std::string text(int position, int method) const;
    bool empty(int position, int method) const { return text(position, method).empty(); }

    bool operator==(const CycleTable &) const = default;

private:
    // The cells hold whole numbers; equal decimal texts are equal numbers, so comparing the
    // numbers is comparing the texts.
    std::array<std::array<int, Methods>, Positions> m_cells{};
    std::array<std::array<bool, Methods>, Positions> m_filled{};
};

} // namespace loto6
