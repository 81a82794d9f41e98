#pragma once

#include "popularity/neighbourhood.h"
#include "popularity/popularityestimate.h"
#include "popularity/ticketvalue.h"

#include <array>
#include <vector>

namespace loto6::popularity {

// The mean expected value of every 61st combination (also weighed by popularity), and of
// those at or beyond each tail, under each valuer (all over `hood` and the same rules), with
// their ranges from each tier's error of level. A valuer at the first one's sales takes from
// its value what the carry-over does not touch.
std::vector<ValueSpectrum> spectraOf(const Neighbourhood &hood,
    const std::vector<TicketValuer> &valuers, double below, double above,
    const std::array<double, Tiers> &levelError);

} // namespace loto6::popularity
