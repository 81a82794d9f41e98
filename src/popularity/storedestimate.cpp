#include "popularity/storedestimate.h"

#include "popularity/estimateblob.h"
#include "store/database.h"
#include "store/estimatestore.h"

namespace loto6::popularity {

namespace {

constexpr const char *EstimateKind = "estimate";
constexpr const char *FitKind = "backtest-fit";
constexpr const char *SummaryKind = "backtest-summary";
// A running backtest keeps a fit per block (small: a few kilobytes each).
constexpr int FitsKept = 64;

} // namespace

StoredEstimate storedEstimate(Database &db, const std::vector<DrawObservation> &draws)
{
    const Digest key = PopularityEstimate::keyOf(draws);
    const std::string keyText = digestText(key);
    if (const std::optional<std::string> blob = readStoredEstimate(db, EstimateKind, keyText))
        if (auto e = PopularityEstimate::fromBlob(*blob, key))
            return {std::move(e), EstimateOrigin::Stored};
    const std::string blob = PopularityEstimate::makeBlob(draws);
    // What cannot be stored is still given: the next use makes it again.
    const bool stored = static_cast<bool>(storeEstimate(db, EstimateKind, keyText, blob));
    return {PopularityEstimate::fromBlob(blob, key),
        stored ? EstimateOrigin::Made : EstimateOrigin::MadeOnly};
}

StoredEstimate storedEstimate(
    const std::filesystem::path &file, const std::vector<DrawObservation> &draws)
{
    Database db;
    if (!file.empty() && db.open(file))
        return storedEstimate(db, draws);
    return {PopularityEstimate::build(draws), EstimateOrigin::MadeOnly};
}

PopularityModel storedFit(
    Database &db, const std::vector<DrawObservation> &draws, int from, const FitSettings &settings)
{
    const Digest key = learningKey(draws, from, settings);
    const std::string keyText = digestText(key);
    if (const std::optional<std::string> blob = readStoredEstimate(db, FitKind, keyText))
        if (std::optional<PopularityModel> model = fitFromBlob(*blob, key))
            return std::move(*model);
    const std::string blob = fitBlob(fitPopularity(draws, from, settings), key);
    storeEstimate(db, FitKind, keyText, blob, FitsKept);
    // Read back from what was stored, so that a fresh fit and a stored one are the same bits.
    return *fitFromBlob(blob, key);
}

PopularityBacktest storedBacktest(
    Database &db, const std::vector<DrawObservation> &draws, int from, const FitSettings &settings)
{
    return runRunningBacktest(
        draws, from, [&](int before) { return storedFit(db, draws, before, settings); });
}

BacktestSummary storedBacktestSummary(
    Database &db, const std::vector<DrawObservation> &draws, int from)
{
    const Digest key = learningKey(draws, 0, {});
    const std::string keyText = digestText(key) + "/" + std::to_string(from);
    if (const std::optional<std::string> blob = readStoredEstimate(db, SummaryKind, keyText))
        if (std::optional<BacktestSummary> summary = summaryFromBlob(*blob, key, from))
            return std::move(*summary);
    BacktestSummary made = summariseBacktest(storedBacktest(db, draws, from));
    const std::string blob = summaryBlob(made, key);
    // Read back from what is stored, so that a fresh summary and a stored one are the same; one
    // that would not read back (a value not finite) is given as made and not stored.
    std::optional<BacktestSummary> back = summaryFromBlob(blob, key, from);
    if (!back)
        return made;
    storeEstimate(db, SummaryKind, keyText, blob);
    return std::move(*back);
}

BacktestSummary storedBacktestSummary(
    const std::filesystem::path &file, const std::vector<DrawObservation> &draws, int from)
{
    Database db;
    if (!file.empty() && db.open(file))
        return storedBacktestSummary(db, draws, from);
    return summariseBacktest(
        runRunningBacktest(draws, from, [&](int before) { return fitPopularity(draws, before); }));
}

} // namespace loto6::popularity
