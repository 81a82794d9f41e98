#pragma once

// A ticket as the tests write one, for the core's tests and the desktop's.
#include "tickets/ticket.h"

#include <array>

namespace loto6::test {

// A ticket of these numbers bought from draw `first` for `draws` draws, `units` units a draw.
inline Ticket ticket(
    std::array<int, MainNumberCount> numbers, int first = 1, int draws = 1, int units = 1)
{
    Ticket t;
    t.numbers = numbers;
    t.firstDraw = first;
    t.draws = draws;
    t.units = units;
    return t;
}

} // namespace loto6::test
