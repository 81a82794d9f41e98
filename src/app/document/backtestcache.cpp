#include "document/backtestcache.h"

#include "tickets/predictionrecord.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace loto6 {

namespace {

struct Kept
{
    std::string hash; // historyHash of the draws checked
    int lastDrawNo = 0;
    std::shared_ptr<const Backtest> check;
    std::uint64_t prizesKey = 0; // of the payouts the report was made with
    BacktestCache::Report report;
};

std::mutex s_mutex;
Kept s_kept;

int lastDrawNo(const DrawHistory &history)
{
    return history.empty() ? 0 : history.records().back().drawNo;
}

// FNV-1a over every figure of the payouts the report shows (the yen of the one-shot's wins).
std::uint64_t prizesKey(const std::map<int, DrawPrizes> &prizes)
{
    std::uint64_t h = 1469598103934665603ull;
    const auto mix = [&h](long long v) {
        for (int i = 0; i < 8; ++i) {
            h ^= static_cast<std::uint64_t>(v >> (8 * i)) & 0xffu;
            h *= 1099511628211ull;
        }
    };
    for (const auto &[drawNo, p] : prizes) {
        mix(drawNo);
        for (int t = 1; t <= DrawPrizes::TierCount; ++t) {
            mix(p.tier(t).winners);
            mix(p.tier(t).prize.value_or(-1));
        }
    }
    return h;
}

} // namespace

BacktestCache::Report BacktestCache::find(
    const DrawHistory &history, const std::map<int, DrawPrizes> &prizes)
{
    const std::string hash = historyHash(history);
    const std::uint64_t key = prizesKey(prizes);
    const std::scoped_lock lock(s_mutex);
    return s_kept.hash == hash && s_kept.prizesKey == key ? s_kept.report : nullptr;
}

Status BacktestCache::make(const DrawHistory &history, const std::map<int, DrawPrizes> &prizes,
    const Backtest::Progress &progress, Report &out)
{
    const std::string hash = historyHash(history);
    const std::uint64_t key = prizesKey(prizes);
    Kept kept;
    {
        const std::scoped_lock lock(s_mutex);
        kept = s_kept;
    }
    if (kept.check && kept.hash == hash && kept.prizesKey == key) {
        out = kept.report;
        return Status::success();
    }
    auto check = std::make_shared<Backtest>();
    Status status;
    // Grown only: the draws up to the kept check's last are exactly those it checked.
    if (kept.check && kept.hash == hash) {
        *check = *kept.check; // the same draws, other payouts: only the report is made again
    } else if (kept.check && lastDrawNo(history) > kept.lastDrawNo
        && historyHash(history.cutAfter(kept.lastDrawNo)) == kept.hash) {
        *check = *kept.check;
        status = check->extend(history, progress);
    } else {
        status = check->run(history, Backtest::DefaultFrom, progress);
    }
    if (!status)
        return status;
    out = std::make_shared<const BacktestReport>(makeBacktestReport(*check, prizes));
    const std::scoped_lock lock(s_mutex);
    s_kept = {hash, lastDrawNo(history), check, key, out};
    return status;
}

void BacktestCache::clear()
{
    const std::scoped_lock lock(s_mutex);
    s_kept = {};
}

} // namespace loto6
