#pragma once

#include "grid/sheet.h"
#include "popularity/patterns.h"
#include "prediction/predictionoptions.h"
#include "summary/drawsummary.h"

#include <string>
#include <utility>
#include <vector>

namespace loto6 {

namespace popularity {
class PopularityEstimate;
}

// Lines to buy, as a note on paper: the draw they are for, its draw day, what they were made
// with (the prediction's switches, the designer's conditions) and the lines, each labelled.
struct BuyingNote
{
    int drawNo = 0;
    std::string date; // the draw day, YYYY-MM-DD; empty when not known
    std::vector<std::pair<std::string, std::string>> conditions; // name and setting
    std::vector<PredictionLine> lines;
};

// The note of a prediction made after the draw dated latestDate: the next draw, its draw
// day, the twelve switches and the labelled lines (1発, 消去法1–3, 連発), each sorted.
BuyingNote predictionNote(
    const Prediction &prediction, const PredictionOptions &options, const std::string &latestDate);

// "第2148回の予想（2026-12-14）": the heading of every page of the note.
std::string buyingNoteTitle(const BuyingNote &note);

// The note's tables: the conditions two to a row, then the lines with each one's popularity
// and expected yen at the next draw's conditions when the estimate is given, else the numbers
// alone with a note that says so. A line of the pattern family is marked as such (the fixed
// kinds alone when none is given).
std::vector<Sheet> buyingNoteSheets(const BuyingNote &note,
    const popularity::PopularityEstimate *estimate, const popularity::PatternFamily &patterns = {});

} // namespace loto6
