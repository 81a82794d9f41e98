#pragma once

#include "prediction/prediction.h"
#include "prediction/predictionengine.h"
#include "prediction/predictionoptions.h"
#include "prediction/reflectionshift.h"
#include "store/drawhistory.h"
#include "store/result.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace loto6 {

// Walk-forward check of the prediction methods against the draws that followed them.
//
// How the parts fit: one fresh engine is fed the history draw by draw. Just before a checked
// draw t is fed, the engine holds exactly the draws before t, which is what a window opened on
// a history cut after t - 1 would have scanned (the scan only looks backwards), so the
// prediction at t is the pass with the latest draw before t, for every shift 0..92 from that
// one state. Each method's list is compared with t's numbers, and the outcomes are kept per
// method and shift for BacktestReport. Nothing is rescanned from the start.
class Backtest
{
public:
    enum Method { Cycle7, Cycle9, Cycle11, Cycle12, Elimination, Consecutive, OneShot };
    static constexpr int MethodCount = 7;
    static constexpr int ShiftCount = ReflectionShift::Max + 1;
    static constexpr int DefaultFrom = 30;

    // What one method's list did on one checked draw.
    struct Outcome
    {
        std::uint8_t picks = 0;   // distinct numbers in the list (k)
        std::uint8_t matches = 0; // of them among the six main numbers (m)
        bool bonus = false;       // the bonus number is in the list

        bool operator==(const Outcome &) const = default;
    };

    // Which switch settings give a shift: how many of the 4096, and one with the fewest on.
    struct ShiftSettings
    {
        int settings = 0;
        PredictionOptions example;
    };

    static bool dependsOnShift(Method m) { return m >= Elimination; }
    // Label as in the prediction window (" 7回周期法", "消去法", ...) and a stable key.
    static std::string_view title(Method m);
    static std::string_view key(Method m);
    // The numbers a method shows: a cycle row's filled cells of positions 1..6, the
    // elimination cells, the consecutive or the one-shot numbers.
    static std::vector<int> numbers(const Prediction &prediction, Method m);
    // Compares a list with a draw; numbers outside 1..43 and repeats are not counted.
    static Outcome compare(const std::vector<int> &numbers, const DrawRecord &draw);
    static ShiftSettings settingsFor(int shift);

    using Visitor = std::function<void(
        const DrawRecord &draw, int latestBefore, const PredictionEngine &engine)>;
    // Visits every complete draw from the from-th complete draw (counted from 1) on, with a
    // fresh engine that has been fed only the complete draws before it and the draw number of
    // the last of them (0 when none). Returns how many draws were visited.
    static int walk(const DrawHistory &history, int from, const Visitor &visit);

    // Told after each checked draw how many are done out of how many; returning false stops
    // the check, which then fails and keeps nothing.
    using Progress = std::function<bool(int done, int total)>;

    // Runs the whole check; fails when from is below 1, no draw is left to check or progress
    // stopped it.
    Status run(const DrawHistory &history, int from = DefaultFrom, const Progress &progress = {});
    // Checks only the draws after those checked so far, with the same from: `history` must
    // begin with exactly the draws the check was run on (the caller makes sure, e.g. by their
    // digest), so that the outcomes are those of a whole run. Stopped, it keeps what it had.
    // Never run before, it runs the whole check.
    Status extend(const DrawHistory &history, const Progress &progress = {});

    int from() const { return m_from; }
    int completeDraws() const { return m_completeDraws; }
    // The checked draws, in history order.
    const std::vector<int> &drawNos() const { return m_drawNos; }
    int checkedCount() const { return static_cast<int>(m_drawNos.size()); }
    // One outcome per checked draw; the shift is ignored for the cycle methods.
    const std::vector<Outcome> &outcomes(Method m, int shift) const;

private:
    static int slot(Method m, int shift);
    Status checkNew(const DrawHistory &history, const Progress &progress);

    int m_from = DefaultFrom;
    int m_completeDraws = 0;
    std::vector<int> m_drawNos;
    std::vector<std::vector<Outcome>> m_outcomes;
};

} // namespace loto6
