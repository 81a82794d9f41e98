#pragma once

#include "grid/sheet.h"
#include "prediction/prediction.h"
#include "prediction/predictionoptions.h"
#include "store/drawhistory.h"
#include "store/drawprizes.h"
#include "store/result.h"
#include "tickets/predictionrecord.h"
#include "tickets/ticket.h"
#include "tickets/ticketgrading.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace loto6 {

namespace popularity {
class PopularityEstimate;
}

// What one draw did, for the draw-day summary (今回の結果): the draw and its payouts, every
// ticket of the book that covered it graded with the running 収支, the recorded predictions
// for it, and the prediction for the draw after it.
//
// How the parts fit: summarizeDraw gathers the figures once (two gradings of the book: the
// tickets on this draw alone, and the book cut after it for the running totals); the sheets
// are made from them by summarySheets, one block after another. A further block (such as the
// popularity model's winners beside the actual ones) is one more field here and one more
// sheet function in summarySheets.
struct DrawSummaryInput
{
    const DrawHistory &history; // the whole history in use
    const std::map<int, DrawPrizes> &prizes;
    const std::vector<Ticket> &tickets;
    const std::vector<PredictionRecord> &records;
    PredictionOptions options; // the switches of the next draw's prediction
    // The popularity estimate of the history in use; null when there is none, and then
    // estimatePending says whether it is still being made (shown as 計算中…).
    const popularity::PopularityEstimate *estimate = nullptr;
    bool estimatePending = false;
};

// What the popularity model said of the draw and says of the next draw's lines.
struct SummaryPopularity
{
    enum class State { None, Pending, Ready };
    State state = State::None;
    int learntDraws = 0;               // draws with known sales the model learnt from
    std::optional<double> tickets;     // tickets sold at the draw (sales / 200), when known
    std::array<double, 5> predicted{}; // expected winners of tiers 1..5, when tickets known
    std::array<std::pair<long long, long long>, 5> interval{}; // and their 95% intervals
    std::optional<Sheet> nextPopularity; // the next lines' popularity and expected yen
};

// One labelled six-number line of a prediction: 1発, 消去法1..3, 連発.
struct PredictionLine
{
    std::string label;
    std::array<int, MainNumberCount> numbers{};
};
// The buyable lines of a prediction, each sorted: the one-shot line, the elimination cells six
// at a time and the consecutive numbers after the one-shot line; a short line is left out.
std::vector<PredictionLine> predictionLineList(const Prediction &prediction);

struct DrawSummary
{
    DrawRecord draw;
    std::optional<DrawPrizes> prizes;
    // The book's tickets that covered the draw, each on this draw only.
    TicketGrading onDraw{{}, DrawHistory(), {}};
    // Every ticket of the book on the draws up to and including this one.
    TicketGrading upToDraw{{}, DrawHistory(), {}};

    // A recorded prediction for this draw and its lines as graded (rows of onDraw).
    struct Record
    {
        PredictionRecord record;
        bool sameHistory = false; // made from the draws before this one as held now
        std::vector<TicketGrading::Row> lines;
    };
    std::vector<Record> records;

    PredictionOptions options;
    Prediction next; // for draw draw.drawNo + 1, from the draws up to this one
    std::vector<PredictionLine> nextLines;

    SummaryPopularity popularity;
};

// The summary of draw drawNo; refuses a draw the history does not hold complete.
Status summarizeDraw(const DrawSummaryInput &input, int drawNo, DrawSummary &out);
// The newest complete draw of the history, 0 when it holds none.
int newestCompleteDraw(const DrawHistory &history);

// The sheets in order: summary-draw, summary-payouts, summary-popularity, summary-tickets,
// summary-balance, summary-predictions, summary-next, summary-next-popularity.
std::vector<Sheet> summarySheets(const DrawSummary &summary);

} // namespace loto6
