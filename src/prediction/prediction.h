#pragma once

#include "prediction/candidatelist.h"
#include "prediction/cycletable.h"

#include <vector>

namespace loto6 {

// The outcome of one prediction pass: what the four grids of the prediction window show.
struct Prediction
{
    static constexpr int EliminationCells = 18; // grid rows 2..4, six numbers each
    static constexpr int ConsecutiveCount = 12;

    int latestDrawNo = 0;
    int reflectionShift = 0;
    CycleTable cycles;
    CandidateList candidates;
    std::vector<int> elimination; // the distinct candidates that have a cell, at most 18
    std::vector<int> consecutive; // at most 12
    std::vector<int> oneShot;     // at most 6, the first of the consecutive numbers

    bool operator==(const Prediction &) const = default;
};

} // namespace loto6
