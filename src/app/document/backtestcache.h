#pragma once

#include "prediction/backtest.h"
#include "prediction/backtestreport.h"
#include "store/drawhistory.h"
#include "store/drawprizes.h"
#include "store/result.h"

#include <map>
#include <memory>

namespace loto6 {

// The prediction check of the last history checked and its report, kept for the program's run
// so that 予想の検証 opens at once: the report of the same draws and payouts is given as kept;
// a history that only grew (a new draw typed, imported or fetched) is checked on the new draws
// only, the earlier ones being what a new draw does not change; any other history is checked
// whole.
class BacktestCache
{
public:
    using Report = std::shared_ptr<const BacktestReport>;
    // The kept report of exactly these draws and payouts; null when it is not kept.
    static Report find(const DrawHistory &history, const std::map<int, DrawPrizes> &prizes);
    // The report of these draws and payouts from what is kept, which it then keeps. Safe on
    // any thread; progress may stop it (then it fails and keeps what it had).
    static Status make(const DrawHistory &history, const std::map<int, DrawPrizes> &prizes,
        const Backtest::Progress &progress, Report &out);
    // Forgets the kept check.
    static void clear();
};

} // namespace loto6
