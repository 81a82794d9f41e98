#include "design/wheel.h"

#include "analysis/probability.h"
#include "design/wheeldata.h"
#include "design/wheeldesigns.h"
#include "design/wheelsearch.h"

#include <algorithm>
#include <unordered_set>

namespace loto6::design {

namespace {

long long ceilDiv(long long a, long long b) { return (a + b - 1) / b; }

// Maps the wheel's positions back to the pool's numbers, each ticket sorted.
std::vector<Combination> ticketsOf(
    const std::vector<int> &pool, const std::vector<std::uint32_t> &sets)
{
    std::vector<Combination> out;
    for (std::uint32_t s : sets) {
        NumberMask m = 0;
        for (int p : numbersOf(s))
            m |= NumberMask{1} << pool[static_cast<std::size_t>(p)];
        out.push_back(combinationOf(m));
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::uint32_t> searchWheel(const WheelRequest &request, const Wheel &bounds,
    const WheelProgressFn &progress, bool &cancelled)
{
    const int n = static_cast<int>(request.pool.size());
    const double seconds = request.seconds > 0 ? request.seconds : defaultWheelSeconds(n);
    const auto start = WheelSearch::Clock::now();
    const auto deadline = start
        + std::chrono::duration_cast<WheelSearch::Clock::duration>(
            std::chrono::duration<double>(seconds));
    WheelSearch search(n, request.win, request.ifDrawn, request.seed, deadline, progress);
    std::vector<std::uint32_t> best = search.greedy();
    const long long target = bounds.bestKnown ? bounds.bestKnown : bounds.lowerBound;
    // One smaller size at a time, each attempt from the best wheel with a quarter of the time
    // at most, until the target or the time limit.
    const auto stride = std::chrono::duration_cast<WheelSearch::Clock::duration>(
        std::chrono::duration<double>(std::max(0.5, seconds / 4)));
    while (!best.empty() && static_cast<long long>(best.size()) > target
        && WheelSearch::Clock::now() < deadline && !search.cancelled())
        search.shrink(best, std::min(deadline, WheelSearch::Clock::now() + stride));
    cancelled = search.cancelled();
    return best;
}

} // namespace

Status checkWheelRequest(const WheelRequest &r)
{
    const int n = static_cast<int>(r.pool.size());
    if (n < MinPool || n > MaxPool)
        return Status::failure(
            Fault{.kind = FaultKind::WheelPoolSize, .value = std::to_string(n), .limit = MaxPool});
    NumberMask seen = 0;
    for (int x : r.pool) {
        if (x < 1 || x > HighestNumber)
            return Status::failure(Fault{.kind = FaultKind::WheelNumberOutside,
                .value = std::to_string(x),
                .limit = HighestNumber});
        if (seen & (NumberMask{1} << x))
            return Status::failure(
                Fault{.kind = FaultKind::WheelNumberTwice, .value = std::to_string(x)});
        seen |= NumberMask{1} << x;
    }
    if (r.full)
        return Status::success();
    if (r.win < 3 || r.ifDrawn > MainNumberCount || r.win > r.ifDrawn)
        return Status::failure(Fault{
            .kind = FaultKind::WheelGuarantee, .value = std::to_string(r.win), .limit = r.ifDrawn});
    return Status::success();
}

double defaultWheelSeconds(int poolSize) { return poolSize <= 15 ? 4.5 : 28.0; }

long long schoenheimBound(int n, int t)
{
    // L(v, k, t) = ceil(v / k * L(v - 1, k - 1, t - 1)), L(v, k, 0) = 1.
    long long bound = 1;
    for (int i = t - 1; i >= 0; --i)
        bound = ceilDiv((n - i) * bound, MainNumberCount - i);
    return bound;
}

long long wheelLowerBound(int n, int win, int ifDrawn)
{
    long long reach = 0; // the most ifDrawn-subsets one ticket covers
    for (int j = win; j <= std::min(ifDrawn, MainNumberCount); ++j)
        reach += static_cast<long long>(binomialCoefficient(MainNumberCount, j)
            * binomialCoefficient(n - MainNumberCount, ifDrawn - j));
    const long long counting
        = ceilDiv(static_cast<long long>(binomialCoefficient(n, ifDrawn)), std::max(reach, 1LL));
    long long bound = win == ifDrawn ? std::max(counting, schoenheimBound(n, win)) : counting;
    for (const KnownWheelSize &k : knownWheelSizes())
        if (k.n == n && k.win == win && k.ifDrawn == ifDrawn)
            bound = std::max<long long>(bound, k.lowerBound);
    return bound;
}

int knownWheelMinimum(int n, int win, int ifDrawn)
{
    const int best = bestKnownWheelSize(n, win, ifDrawn);
    return best > 0 && best == wheelLowerBound(n, win, ifDrawn) ? best : 0;
}

bool wheelCovers(
    const std::vector<int> &pool, const std::vector<Combination> &tickets, int win, int ifDrawn)
{
    std::vector<NumberMask> masks;
    for (const Combination &t : tickets)
        masks.push_back(maskOf(t));
    NumberMask poolMask = 0;
    for (int x : pool)
        poolMask |= NumberMask{1} << x;
    if (win == MainNumberCount
        && ifDrawn == MainNumberCount) { // every six of the pool must be a ticket
        const std::unordered_set<NumberMask> held(masks.begin(), masks.end());
        for (std::uint32_t s : positionSubsets(static_cast<int>(pool.size()), MainNumberCount)) {
            NumberMask m = 0;
            for (int p : numbersOf(s))
                m |= NumberMask{1} << pool[static_cast<std::size_t>(p)];
            if (!held.contains(m))
                return false;
        }
        return true;
    }
    for (std::uint32_t s : positionSubsets(static_cast<int>(pool.size()), ifDrawn)) {
        NumberMask m = 0;
        for (int p : numbersOf(s))
            m |= NumberMask{1} << pool[static_cast<std::size_t>(p)];
        if (std::none_of(masks.begin(), masks.end(),
                [&](NumberMask t) { return (t & ~poolMask) == 0 && std::popcount(t & m) >= win; }))
            return false;
    }
    return true;
}

Status buildWheel(const WheelRequest &request, Wheel &out, const WheelProgressFn &progress)
{
    out = {};
    if (Status s = checkWheelRequest(request); !s)
        return s;
    const auto start = WheelSearch::Clock::now();
    const int n = static_cast<int>(request.pool.size());
    out.win = request.full ? MainNumberCount : request.win;
    out.ifDrawn = request.full ? MainNumberCount : request.ifDrawn;
    out.lowerBound = wheelLowerBound(n, out.win, out.ifDrawn);
    out.knownMinimum = knownWheelMinimum(n, out.win, out.ifDrawn);
    out.bestKnown = bestKnownWheelSize(n, out.win, out.ifDrawn);
    std::vector<std::uint32_t> sets;
    if (request.full)
        sets = positionSubsets(n, MainNumberCount);
    else if (WheelDesign known = shippedWheel(n, out.win, out.ifDrawn); !known.tickets.empty()) {
        sets = std::move(known.tickets); // checked below like a searched one
        out.held = true;
    } else
        sets = searchWheel(request, out, progress, out.cancelled);
    if (sets.empty())
        return Status::failure(Fault{.kind = FaultKind::WheelCancelled});
    out.tickets = ticketsOf(request.pool, sets);
    out.verified = wheelCovers(request.pool, out.tickets, out.win, out.ifDrawn);
    out.seconds = std::chrono::duration<double>(WheelSearch::Clock::now() - start).count();
    if (!out.verified)
        return Status::failure(Fault{.kind = FaultKind::WheelNotKept});
    return Status::success();
}

} // namespace loto6::design
