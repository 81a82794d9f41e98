#pragma once

#include "prediction/prediction.h"
#include "prediction/predictionoptions.h"
#include "store/drawhistory.h"

#include <string>
#include <vector>

namespace loto6 {

// One entry of the ledger of recorded predictions: what the prediction was made from. Its
// tickets are for the draw after latestDrawNo; neither the entry nor its tickets can be edited.
struct PredictionRecord
{
    long long id = 0;
    std::string recordedAt; // local time as stored
    int latestDrawNo = 0;
    int reflectionShift = 0;
    std::string switches; // twelve 0/1 in the order of the settings file
    std::string historyHash;

    // Which rows of the prediction become tickets besides the one-shot line.
    struct Rows
    {
        bool elimination = false;
        bool consecutive = false;
    };

    static std::string switchText(const PredictionOptions &options);
};

// FNV-1a over the complete draws (回数 and the seven numbers), as 16 hex digits: tells later
// whether a record was made from the history the user has now.
std::string historyHash(const DrawHistory &history);

// The six-number lines of a prediction that become tickets: the one-shot line, and on request
// the elimination cells and the consecutive numbers cut into lines of six (a short rest is
// dropped). Each line is sorted and kept once.
std::vector<std::array<int, MainNumberCount>> predictionLines(
    const Prediction &prediction, PredictionRecord::Rows rows);

} // namespace loto6
