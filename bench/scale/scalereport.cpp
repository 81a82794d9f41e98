// How every table scales with the length of the history: the time to build each table and the
// memory its sheet holds on the bundled history, on 30,000 and on 100,000 generated draws, with
// the ratios to the bundled history. A table on 30,000 draws may cost at most 15 times its time
// on the bundled history and at most 20 MB; the exit status is 1 when one does not.
//
// Each build is timed twice over: cold, as the programs build a table (once, when a window
// opens or a command runs, after other work has filled the caches), and warm, built again at
// once so that a short history's sheet is still in the processor's cache. The limit holds for
// cold builds; the warm ratio shows how much of a long history's time is memory the cache
// cannot hold.
//   loto6_scale [ROUNDS] [TABLE]   (TABLE: only the table of that name)

#include "benchdata.h"

#include "analysis/catalog.h"
#include "analysis/chance.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <time.h>
#include <vector>

namespace {

using namespace loto6;

constexpr double MaxTimeRatio = 15.0;
constexpr double MaxMegabytes = 20.0;

struct Table
{
    std::string name;
    Sheet (*build)(const DrawHistory &, const Totals &);
};

struct Measure
{
    double ms = 0;
    double mb = 0;
};

// Processor time of this thread, so that other programs on a busy machine do not count.
double cpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct History
{
    const DrawHistory &draws;
    Totals totals;
};

// One build in processor time, and the bytes its sheet holds.
Measure buildOnce(const Table &table, const History &h)
{
    const double start = cpuMilliseconds();
    const Sheet sheet = table.build(h.draws, h.totals);
    return {
        cpuMilliseconds() - start, static_cast<double>(sheet.storageBytes()) / (1024.0 * 1024.0)};
}

// Reads enough memory to push a sheet and a history out of the processor's caches.
void sweepCaches()
{
    static std::vector<unsigned char> junk(64u << 20, 1);
    unsigned sum = 0;
    for (std::size_t i = 0; i < junk.size(); i += 64)
        sum += junk[i];
    junk[sum % junk.size()] = 1;
}

struct Measures
{
    std::vector<Measure> warm;
    std::vector<Measure> cold;
};

// The fastest build of each history over `rounds` rounds, in processor time. Each round builds
// every size in turn, so that a busy spell of the machine slows the sizes alike instead of
// deciding their ratio. A cold build follows a sweep of the caches; warm builds follow each
// other at once (the short history's several times, since one of them is over in a moment).
Measures measure(const Table &table, const std::vector<History> &sizes, int rounds)
{
    const int warmBuilds[] = {5, 2, 1};
    Measures best{std::vector<Measure>(sizes.size(), Measure{1e300, 0}),
        std::vector<Measure>(sizes.size(), Measure{1e300, 0})};
    auto keep = [](Measure &b, const Measure &m) { b = {std::min(b.ms, m.ms), m.mb}; };
    for (int round = 0; round < rounds; ++round)
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            sweepCaches();
            keep(best.cold[i], buildOnce(table, sizes[i]));
            for (int k = 0; k < warmBuilds[i]; ++k)
                keep(best.warm[i], buildOnce(table, sizes[i]));
        }
    return best;
}

std::vector<Table> tables()
{
    std::vector<Table> out;
    for (const AnalysisInfo &info : analyses())
        out.push_back({std::string(info.name), info.build});
    out.push_back({"chance", buildChance});
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string only = argc > 2 ? argv[2] : "";
    const DrawHistory &bundled = bench::bundledHistory();
    const DrawHistory large = bench::generatedHistory(30000);
    const DrawHistory huge = bench::generatedHistory(100000);
    const std::vector<History> sizes = {{bundled, computeTotals(bundled)},
        {large, computeTotals(large)}, {huge, computeTotals(huge)}};

    std::printf("%-20s %9s %9s %9s %8s %8s %8s %8s %7s %7s %7s\n", "table",
        (std::to_string(bundled.size()) + " ms").c_str(), "30000 ms", "100000 ms", "30k/b",
        "100k/30k", "warm b", "warm 30k", "MB b", "MB 30k", "MB 100k");
    bool within = true;
    for (const Table &t : tables()) {
        if (!only.empty() && t.name != only)
            continue;
        const Measures m = measure(t, sizes, rounds);
        const double ratio = m.cold[1].ms / m.cold[0].ms;
        const bool ok = ratio <= MaxTimeRatio && m.cold[1].mb <= MaxMegabytes;
        within = within && ok;
        std::printf("%-20s %9.3f %9.3f %9.3f %8.2f %8.2f %8.2f %8.2f %7.2f %7.2f %7.2f%s\n",
            t.name.c_str(), m.cold[0].ms, m.cold[1].ms, m.cold[2].ms, ratio,
            m.cold[2].ms / m.cold[1].ms, m.warm[0].ms, m.warm[1].ms / m.warm[0].ms, m.cold[0].mb,
            m.cold[1].mb, m.cold[2].mb, ok ? "" : "  over the limit");
    }
    std::printf("limits on 30,000 draws: at most %.0fx the bundled time and %.0f MB: %s\n",
        MaxTimeRatio, MaxMegabytes, within ? "every table within" : "NOT within");
    return within ? 0 : 1;
}
