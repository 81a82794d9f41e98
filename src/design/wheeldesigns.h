#pragma once

#include <cstdint>
#include <vector>

namespace loto6::design {

// Wheels over positions 0..n-1 of a pool at the smallest size known, each ticket a bit set of
// positions: built by known constructions (the Steiner system S(5,6,12) as the orbit of one
// block under PSL(2,11), the designs derived from it, and coverings joined from them) or found
// once by a long search and held as data (wheeldata.cpp). buildWheel maps one onto the pool
// and checks it on every subset before it uses it.
struct WheelDesign
{
    std::vector<std::uint32_t> tickets;
    int bestKnown = 0; // the smallest size published or known for this guarantee
};

// The held design for n numbers and the guarantee, or an empty one.
WheelDesign shippedWheel(int n, int win, int ifDrawn);

// The smallest size published or known for n numbers and the guarantee, 0 when none is held.
int bestKnownWheelSize(int n, int win, int ifDrawn);

// The blocks of the Steiner system S(5,6,12) on points 0..11 (11 standing for infinity): the
// orbit of {inf, 1, 3, 4, 5, 9} under x -> x + 1 and x -> -1/x over GF(11).
std::vector<std::uint32_t> steinerS5612();

// A covering of every t-subset of 0..v-1 by k-subsets where one is constructed here (the
// Steiner systems derived from S(5,6,12), C(v, k, 1), and C(v, k, t) from C(v-1, k, t) and
// C(v-1, k-1, t-1) joined by the last point), else empty.
std::vector<std::uint32_t> constructedCovering(int v, int k, int t);

} // namespace loto6::design
