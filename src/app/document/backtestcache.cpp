#include "document/backtestcache.h"

#include "tickets/predictionrecord.h"

#include <mutex>
#include <string>

namespace loto6 {

namespace {

struct Kept
{
    std::string hash; // historyHash of the draws checked
    int lastDrawNo = 0;
    std::shared_ptr<const Backtest> check;
};

std::mutex s_mutex;
Kept s_kept;

int lastDrawNo(const DrawHistory &history)
{
    return history.empty() ? 0 : history.records().back().drawNo;
}

} // namespace

std::shared_ptr<const Backtest> BacktestCache::find(const DrawHistory &history)
{
    const std::string hash = historyHash(history);
    const std::scoped_lock lock(s_mutex);
    return s_kept.hash == hash ? s_kept.check : nullptr;
}

Status BacktestCache::make(const DrawHistory &history, const Backtest::Progress &progress,
    std::shared_ptr<const Backtest> &out)
{
    const std::string hash = historyHash(history);
    Kept kept;
    {
        const std::scoped_lock lock(s_mutex);
        kept = s_kept;
    }
    if (kept.check && kept.hash == hash) {
        out = kept.check;
        return Status::success();
    }
    auto check = std::make_shared<Backtest>();
    Status status;
    // Grown only: the draws up to the kept check's last are exactly those it checked.
    if (kept.check && lastDrawNo(history) > kept.lastDrawNo
        && historyHash(history.cutAfter(kept.lastDrawNo)) == kept.hash) {
        *check = *kept.check;
        status = check->extend(history, progress);
    } else {
        status = check->run(history, Backtest::DefaultFrom, progress);
    }
    if (!status)
        return status;
    out = check;
    const std::scoped_lock lock(s_mutex);
    s_kept = {hash, lastDrawNo(history), check};
    return status;
}

void BacktestCache::clear()
{
    const std::scoped_lock lock(s_mutex);
    s_kept = {};
}

} // namespace loto6
