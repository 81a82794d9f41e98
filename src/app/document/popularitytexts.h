#pragma once

#include "grid/sheet.h"
#include "popularity/popularitysheets.h"

#include <QCoreApplication>
#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace loto6 {

class HistoryDocument;
class PopularitySource;

// What every window says about popularity, from the document's estimate: no window serves
// another. Each gives the estimate's value when it has come, 計算中… (pendingText) while it
// is being made, and says when there is none.
class PopularityTexts
{
    Q_DECLARE_TR_FUNCTIONS(PopularityTexts)

public:
    // "計算中…": in place of a value that is being worked out.
    static QString pendingText();
    // Why there is no estimate, with what the user can do.
    static QString unavailableText();
    // The three sentences on what popularity cannot do, with the validation figures.
    static QString caveats();
    // A value in yen as the windows show it.
    static QString yen(double value);

    // One line per combination: its numbers, popularity and expected value under a heading;
    // 計算中… while the estimate is being made, empty without lines or an estimate. With
    // start, asking starts the work.
    static QString linesSummary(PopularitySource &source,
        const std::vector<std::array<int, MainNumberCount>> &lines, bool start);
    // A table of one cell saying 計算中…, in place of a table of values being worked out.
    static Sheet pendingSheet();
    // The popularity and expected value of tickets beside the average ticket's; while the
    // estimate is being made, one cell saying 計算中…; null without an estimate.
    static std::unique_ptr<Sheet> ticketsSheet(
        PopularitySource &source, const std::vector<popularity::LabelledCombination> &tickets);
    // For the prediction check: per method, how popular its picks were on the past draws
    // against random numbers, at one reflection shift, with the caveats.
    static QString methodPopularityText(HistoryDocument &document, int from, int shift);
};

} // namespace loto6
