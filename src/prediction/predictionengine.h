#pragma once

#include "prediction/cycletable.h"
#include "prediction/drawtable.h"
#include "prediction/prediction.h"
#include "prediction/predictionoptions.h"
#include "store/drawhistory.h"

#include <vector>

namespace loto6 {

// The prediction engine and the state it keeps for the whole run.
//
// How the parts fit: the history scan feeds every complete draw, in 回数 order, into the
// DrawTable and offers each number's interval to its previous appearance to the CycleTable.
// The prediction pass reads both: the cycle methods as they stand, and the elimination,
// consecutive and one-shot methods from the draws before the latest, moved back by the
// ReflectionShift of the switches. Neither table is cleared between scans: the window keeps one
// engine for the run, so a later scan starts from the entries an earlier one left. Feeding
// draws one at a time with addDraw() and calling predict() in between gives the prediction as
// it stood after each draw.
class PredictionEngine
{
public:
    // Scans the complete records of the history (others are skipped) and returns the draw
    // number of the last one scanned, 0 when none was.
    int scan(const DrawHistory &history);
    // Feeds one draw; returns false, and changes nothing, for an incomplete record or a draw
    // number below 1.
    bool addDraw(const DrawRecord &record);
    bool addDraw(int drawNo, const DrawTable::Numbers &numbers);

    // The prediction pass for the given latest draw number and shift.
    Prediction predict(int latestDrawNo, int shift) const;
    Prediction predict(int latestDrawNo, const PredictionOptions &options) const;

    // Numbers that occur exactly once among the 28 numbers of the draws S0, S0 - 1, S0 - 2 and
    // S0 - 3 (bonus numbers included), draw by draw and position by position, at most limit of
    // them. A draw without an entry reads as 0 and is passed over.
    std::vector<int> singles(long long firstSourceDrawNo, int limit) const;

    const DrawTable &draws() const { return m_draws; }
    const CycleTable &cycles() const { return m_cycles; }

private:
    DrawTable m_draws;
    CycleTable m_cycles;
};

} // namespace loto6
