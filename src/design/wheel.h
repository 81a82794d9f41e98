#pragma once

#include "design/combination.h"
#include "store/result.h"

#include <functional>
#include <vector>

namespace loto6::design {

// A wheel: tickets from a pool such that whenever at least `ifDrawn` of the six drawn main
// numbers are in the pool, at least one ticket holds at least `win` of them.
struct WheelRequest
{
    std::vector<int> pool; // 6..20 distinct numbers 1..43
    int win = 3;
    int ifDrawn = 3;
    bool full = false;      // every six of the pool (6 if 6)
    double seconds = 0;     // search time limit; 0 takes the default for the pool's size
    std::uint64_t seed = 1; // the search's random choices
};

// The time limit a user may give a wheel's search, in seconds.
inline constexpr double MinWheelSeconds = 0.1;
inline constexpr double MaxWheelSeconds = 3600;

struct Wheel
{
    std::vector<Combination> tickets;
    int win = 0;
    int ifDrawn = 0;
    long long lowerBound = 0; // no wheel of this pool and guarantee has fewer tickets
    int knownMinimum = 0;     // the proven smallest size where known, else 0
    int bestKnown = 0;        // the smallest size published or known, else 0
    bool held = false;        // a known design (constructed or held as data), not searched
    bool verified = false;    // every ifDrawn-subset of the pool checked
    bool cancelled = false;   // the search was stopped; the wheel is the best found by then
    double seconds = 0;
};

// Reported while a wheel is searched; returning false stops the search.
struct WheelProgress
{
    int bestSize = 0;
    double fraction = 0; // of the time limit
};
using WheelProgressFn = std::function<bool(const WheelProgress &)>;

inline constexpr int MinPool = MainNumberCount; // a wheel needs at least one ticket's numbers
inline constexpr int MaxPool = 20;

// Checks the pool (6..20 distinct numbers 1..43) and 3 <= win <= ifDrawn <= 6.
Status checkWheelRequest(const WheelRequest &request);
// The default time limit: 4.5 s up to 15 numbers, 28 s above.
double defaultWheelSeconds(int poolSize);
// Builds the wheel and proves its guarantee; fails when the request is bad, the search is
// stopped before any wheel is found, or the proof fails.
Status buildWheel(const WheelRequest &request, Wheel &out, const WheelProgressFn &progress = {});
// Whether every ifDrawn-subset of the pool meets a ticket in at least `win` numbers.
bool wheelCovers(
    const std::vector<int> &pool, const std::vector<Combination> &tickets, int win, int ifDrawn);

// The Schönheim bound on the smallest number of six-number tickets from n numbers that
// cover every t-subset (win = ifDrawn = t).
long long schoenheimBound(int n, int t);
// The best lower bound known here for the guarantee: Schönheim for win = ifDrawn, else the
// count of ifDrawn-subsets over the most one ticket can cover, or a published bound above it.
long long wheelLowerBound(int n, int win, int ifDrawn);
// The proven smallest size (the best known size where it meets the lower bound), else 0.
int knownWheelMinimum(int n, int win, int ifDrawn);

} // namespace loto6::design
