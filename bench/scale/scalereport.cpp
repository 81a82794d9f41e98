// How every table scales with the length of the history: the time to build each table and the
// memory its sheet holds on the bundled history, on 30,000 and on 100,000 generated draws, with
// the ratios to the bundled history. A table on 30,000 draws may cost at most 15 times its time
// on the bundled history and at most 20 MB; the exit status is 1 when one does not.
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

// The fastest build of each history (the least disturbed by the rest of the machine) over
// `rounds` rounds. Each round builds every size in turn, so that a busy spell of the machine
// slows the sizes alike instead of deciding their ratio; the short history is built several
// times a round, since one of its builds is over in a moment.
std::vector<Measure> measure(const Table &table, const std::vector<History> &sizes, int rounds)
{
    std::vector<Measure> best(sizes.size(), Measure{1e300, 0});
    for (int round = 0; round < rounds; ++round)
        for (std::size_t i = 0; i < sizes.size(); ++i)
            for (int k = 0; k < (i == 0 ? 5 : 1); ++k) {
                const Measure m = buildOnce(table, sizes[i]);
                best[i] = {std::min(best[i].ms, m.ms), m.mb};
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

    std::printf("%-20s %10s %10s %10s %9s %9s %8s %8s %8s\n", "table",
        (std::to_string(bundled.size()) + " ms").c_str(), "30000 ms", "100000 ms", "30k/b",
        "100k/b", "MB b", "MB 30k", "MB 100k");
    bool within = true;
    for (const Table &t : tables()) {
        if (!only.empty() && t.name != only)
            continue;
        const std::vector<Measure> m = measure(t, sizes, rounds);
        const double lr = m[1].ms / m[0].ms;
        const double hr = m[2].ms / m[0].ms;
        const bool ok = lr <= MaxTimeRatio && m[1].mb <= MaxMegabytes;
        within = within && ok;
        std::printf("%-20s %10.3f %10.3f %10.3f %9.2f %9.2f %8.2f %8.2f %8.2f%s\n", t.name.c_str(),
            m[0].ms, m[1].ms, m[2].ms, lr, hr, m[0].mb, m[1].mb, m[2].mb,
            ok ? "" : "  over the limit");
    }
    std::printf("limits on 30,000 draws: at most %.0fx the bundled time and %.0f MB: %s\n",
        MaxTimeRatio, MaxMegabytes, within ? "every table within" : "NOT within");
    return within ? 0 : 1;
}
