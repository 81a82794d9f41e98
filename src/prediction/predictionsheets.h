#pragma once

#include "grid/sheet.h"
#include "prediction/prediction.h"

#include <array>

namespace loto6 {

// The four result grids of the prediction window, in window order.
enum PredictionGrid { CycleGrid = 0, EliminationGrid = 1, ConsecutiveGrid = 2, OneShotGrid = 3 };
inline constexpr int PredictionGridCount = 4;

// One grid set up with its sizes, borders, heading row and labels, and no numbers. Its name is
// cycle, elimination, consecutive or one-shot; its caption is the heading shown above it.
Sheet predictionSheet(PredictionGrid grid);

// The four grids filled from one prediction pass. Every pass fills fresh grids, so no number of
// an earlier pass is left standing.
std::array<Sheet, PredictionGridCount> buildPredictionSheets(const Prediction &prediction);

} // namespace loto6
