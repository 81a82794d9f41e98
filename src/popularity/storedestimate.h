#pragma once

#include "popularity/backtestsummary.h"
#include "popularity/popularitybacktest.h"
#include "popularity/popularityestimate.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace loto6 {
class Database;
}

namespace loto6::popularity {

// How an estimate was come by.
enum class EstimateOrigin {
    Stored,   // read from the database under its key
    Made,     // made and stored
    MadeOnly, // made and not stored (a database that cannot be written)
};

struct StoredEstimate
{
    std::shared_ptr<const PopularityEstimate> estimate;
    EstimateOrigin origin = EstimateOrigin::Made;
};

// The estimate of these draws: the one stored under their key when it reads back whole, else
// made, stored in a short transaction of its own (when the database can be written) and
// given. An entry that is damaged, of another version or of other draws is made again. Never
// fails for the database's sake: one that cannot be read or written costs only the making.
StoredEstimate storedEstimate(Database &db, const std::vector<DrawObservation> &draws);

// The same over a connection of its own to the database file (for a worker thread, or a
// caller holding the file read-only); made in memory when the file is empty or cannot be
// opened.
StoredEstimate storedEstimate(
    const std::filesystem::path &file, const std::vector<DrawObservation> &draws);

// The backtest's fit on the draws before `from` the same way, and the running backtest with
// such fits (one per block of RefitEvery draws from `from` on).
PopularityModel storedFit(Database &db, const std::vector<DrawObservation> &draws, int from,
    const FitSettings &settings = {});
PopularityBacktest storedBacktest(Database &db, const std::vector<DrawObservation> &draws, int from,
    const FitSettings &settings = {});

// What the popularity chart draws of the running backtest from `from` (default settings), the
// same way: stored under the learning key of all the draws and `from`, made from the stored
// fits when missing or not whole.
BacktestSummary storedBacktestSummary(
    Database &db, const std::vector<DrawObservation> &draws, int from);
BacktestSummary storedBacktestSummary(
    const std::filesystem::path &file, const std::vector<DrawObservation> &draws, int from);

} // namespace loto6::popularity
