#include "benchdata.h"

#include "store/database.h"
#include "store/historyfile.h"
#include "store/prizestore.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <numeric>
#include <random>
#include <stdexcept>

namespace loto6::bench {

const DrawHistory &bundledHistory()
{
    static const DrawHistory history = [] {
        HistoryFile file;
        if (!readHistoryFile(BUNDLED_HISTORY, file))
            throw std::runtime_error("cannot read the bundled history");
        return DrawHistory(std::move(file.draws));
    }();
    return history;
}

const Totals &bundledTotals()
{
    static const Totals totals = computeTotals(bundledHistory());
    return totals;
}

const std::vector<popularity::DrawObservation> &bundledObservations()
{
    static const auto draws = [] {
        // A scratch database made from the bundled history, as the programs make theirs.
        const auto path = std::filesystem::temp_directory_path() / "loto6-bench-payouts.db";
        std::filesystem::remove(path);
        Database db;
        std::map<int, DrawPrizes> prizes;
        DrawHistory history;
        if (!db.openOrCreate(path, BUNDLED_HISTORY) || !db.loadHistory(history, Database::NoCut)
            || !readPrizes(db, prizes))
            throw std::runtime_error("cannot read the bundled history and payouts");
        db.close();
        std::filesystem::remove(path);
        return popularity::observationsOf(history, prizes);
    }();
    return draws;
}

DrawHistory generatedHistory(int draws)
{
    std::mt19937 rng(20001005);
    std::vector<int> pool(43);
    std::vector<DrawRecord> out;
    out.reserve(static_cast<std::size_t>(draws));
    for (int d = 1; d <= draws; ++d) {
        std::iota(pool.begin(), pool.end(), 1);
        std::shuffle(pool.begin(), pool.end(), rng);
        std::sort(pool.begin(), pool.begin() + 6);
        DrawRecord r;
        r.drawNo = d;
        for (std::size_t f = 0; f < 7; ++f)
            r.fields[f] = pool[f];
        out.push_back(std::move(r));
    }
    return DrawHistory(std::move(out));
}

const DrawHistory &largeHistory()
{
    static const DrawHistory history = generatedHistory(30000);
    return history;
}

const Totals &largeTotals()
{
    static const Totals totals = computeTotals(largeHistory());
    return totals;
}

} // namespace loto6::bench
