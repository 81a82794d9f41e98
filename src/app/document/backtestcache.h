#pragma once

#include "prediction/backtest.h"
#include "store/drawhistory.h"
#include "store/result.h"

#include <memory>

namespace loto6 {

// The prediction check of the last history checked, kept for the program's run so that 予想の
// 検証 opens at once: the check of the same draws is given as kept; a history that only grew
// (a new draw typed, imported or fetched) is checked on the new draws only, the earlier ones
// being what a new draw does not change; any other history is checked whole.
class BacktestCache
{
public:
    // The kept check of exactly these draws; null when it is not kept.
    static std::shared_ptr<const Backtest> find(const DrawHistory &history);
    // The check of these draws from what is kept, which it then keeps. Safe on any thread;
    // progress may stop it (then it fails and keeps what it had).
    static Status make(const DrawHistory &history, const Backtest::Progress &progress,
        std::shared_ptr<const Backtest> &out);
    // Forgets the kept check.
    static void clear();
};

} // namespace loto6
