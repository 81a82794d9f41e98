#include "summary/drawsummary.h"

#include "popularity/patterns.h"
#include "popularity/popularityestimate.h"
#include "popularity/popularitysheets.h"
#include "prediction/predictionengine.h"

#include <algorithm>

namespace loto6 {

namespace {

// Lines of six from numbers[from..]; a short rest is left out.
void addLines(std::vector<PredictionLine> &lines, const std::vector<int> &numbers, std::size_t from,
    std::size_t count, const std::string &label, bool numbered)
{
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t at = from + k * MainNumberCount;
        if (at + MainNumberCount > numbers.size())
            return;
        PredictionLine line{numbered ? label + std::to_string(k + 1) : label, {}};
        std::copy_n(numbers.begin() + static_cast<long>(at), MainNumberCount, line.numbers.begin());
        std::sort(line.numbers.begin(), line.numbers.end());
        lines.push_back(line);
    }
}

// The book's tickets that cover drawNo, as tickets of that draw alone.
std::vector<Ticket> ticketsOn(const std::vector<Ticket> &tickets, int drawNo)
{
    std::vector<Ticket> out;
    for (Ticket t : tickets) {
        if (!t.covers(drawNo))
            continue;
        t.firstDraw = drawNo;
        t.draws = 1;
        out.push_back(t);
    }
    return out;
}

// The book cut after drawNo: what had been bought and drawn by then.
std::vector<Ticket> ticketsUpTo(const std::vector<Ticket> &tickets, int drawNo)
{
    std::vector<Ticket> out;
    for (Ticket t : tickets) {
        if (t.firstDraw > drawNo)
            continue;
        t.draws = std::min(t.lastDraw(), drawNo) - t.firstDraw + 1;
        out.push_back(t);
    }
    return out;
}

// The model's expected winners of each tier at the draw (at its own sales) and the next
// lines' popularity, from the estimate of the history in use.
SummaryPopularity popularityOf(const DrawSummaryInput &input, const DrawSummary &s)
{
    SummaryPopularity out;
    const popularity::PopularityEstimate *e = input.estimate;
    if (!e || !e->fitted()) {
        out.state = input.estimatePending ? SummaryPopularity::State::Pending
                                          : SummaryPopularity::State::None;
        return out;
    }
    out.state = SummaryPopularity::State::Ready;
    out.learntDraws = e->training().withSales;
    if (s.prizes && s.prizes->sales && *s.prizes->sales > 0) {
        out.tickets = static_cast<double>(*s.prizes->sales) / Ticket::UnitPrice;
        popularity::Combination numbers{};
        for (int i = 0; i < MainNumberCount; ++i)
            numbers[static_cast<std::size_t>(i)] = s.draw.mainNumber(i);
        const auto shares = e->model().expectedWinnerShares(numbers, s.draw.bonus());
        // Each tier's count law about the model's mean: its mean and 95% interval.
        for (std::size_t t = 0; t < shares.size(); ++t) {
            const popularity::CountLaw &law = e->model().countLaw(static_cast<int>(t) + 1);
            out.predicted[t] = law.mean(*out.tickets * shares[t]);
            out.interval[t] = law.interval(*out.tickets * shares[t], popularity::PredictedInterval);
        }
    }
    std::vector<popularity::LabelledCombination> lines;
    for (const PredictionLine &l : s.nextLines)
        lines.push_back({l.label, l.numbers});
    const popularity::TicketValuer valuer = e->nextDrawValuer();
    out.nextPopularity = popularity::ticketPopularitySheet(lines, *e, valuer, e->spectrum(valuer),
        popularity::PatternFamily::fromHistory(input.history));
    return out;
}

} // namespace

std::vector<PredictionLine> predictionLineList(const Prediction &prediction)
{
    std::vector<PredictionLine> lines;
    addLines(lines, prediction.oneShot, 0, 1, "1発", false);
    addLines(lines, prediction.elimination, 0, Prediction::EliminationCells / MainNumberCount,
        "消去法", true);
    // The consecutive numbers start with the one-shot line.
    addLines(lines, prediction.consecutive, MainNumberCount, 1, "連発", false);
    return lines;
}

int newestCompleteDraw(const DrawHistory &history)
{
    int newest = 0;
    for (const DrawRecord &r : history)
        if (r.isComplete())
            newest = std::max(newest, r.drawNo);
    return newest;
}

Status summarizeDraw(const DrawSummaryInput &input, int drawNo, DrawSummary &out)
{
    const auto held = std::find_if(input.history.begin(), input.history.end(),
        [drawNo](const DrawRecord &r) { return r.drawNo == drawNo; });
    if (held == input.history.end())
        return Status::failure("draw " + std::to_string(drawNo) + " is not in the history");
    if (!held->isComplete())
        return Status::failure("draw " + std::to_string(drawNo)
            + " is not complete in the history (a number is missing); complete it first");
    out.draw = *held;
    const auto prizes = input.prizes.find(drawNo);
    out.prizes
        = prizes == input.prizes.end() ? std::nullopt : std::optional<DrawPrizes>(prizes->second);
    out.onDraw = TicketGrading(ticketsOn(input.tickets, drawNo), input.history, input.prizes);
    out.upToDraw = TicketGrading(ticketsUpTo(input.tickets, drawNo), input.history, input.prizes);

    // cutAfter(0) keeps everything: before draw 1 there is nothing.
    const std::string before
        = historyHash(drawNo > 1 ? input.history.cutAfter(drawNo - 1) : DrawHistory());
    out.records.clear();
    for (const PredictionRecord &r : input.records) {
        if (r.latestDrawNo != drawNo - 1)
            continue;
        DrawSummary::Record made{r, r.historyHash == before, {}};
        for (const TicketGrading::Row &row : out.onDraw.rows())
            if (out.onDraw.tickets()[static_cast<std::size_t>(row.ticket)].recordId == r.id)
                made.lines.push_back(row);
        out.records.push_back(std::move(made));
    }

    out.options = input.options;
    PredictionEngine engine;
    engine.scan(input.history.cutAfter(drawNo));
    out.next = engine.predict(drawNo, input.options);
    out.nextLines = predictionLineList(out.next);
    out.popularity = popularityOf(input, out);
    return Status::success();
}

} // namespace loto6
