#include "cli/cli.h"
#include "cli/ticketpopularity.h"

#include "grid/sheetwriter.h"
#include "store/drawvalidation.h"
#include "store/textcodec.h"
#include "summary/drawsummary.h"
#include "tickets/ticketbook.h"

#include <optional>
#include <sstream>

namespace loto6::cli {

namespace {

// The figures of the summary for scripts, beside its tables.
std::string summaryFields(const DrawSummary &s)
{
    const auto yen = [](const TicketGrading::Summary &t, long long v) {
        return t.winningsKnown() ? std::to_string(v) : std::string("null");
    };
    const TicketGrading::Summary &on = s.onDraw.summary();
    const TicketGrading::Summary &upTo = s.upToDraw.summary();
    std::ostringstream o;
    o << ", \"draw\": " << s.draw.drawNo << ", \"nextDraw\": " << s.draw.drawNo + 1
      << ",\n \"onDraw\": {\"units\": " << on.units << ", \"cost\": " << on.cost
      << ", \"winnings\": " << yen(on, on.winnings) << ", \"balance\": " << yen(on, on.balance())
      << "},\n \"upToDraw\": {\"units\": " << upTo.units << ", \"cost\": " << upTo.cost
      << ", \"winnings\": " << yen(upTo, upTo.winnings)
      << ", \"balance\": " << yen(upTo, upTo.balance()) << "}";
    // The model's expected winners per tier at the draw's sales, null where not known.
    const SummaryPopularity &p = s.popularity;
    o << ",\n \"predictedWinners\": ";
    if (p.state == SummaryPopularity::State::Ready && p.tickets) {
        o << '[';
        for (std::size_t t = 0; t < p.predicted.size(); ++t)
            o << (t ? ", " : "") << jsonNumber(p.predicted[t]);
        o << "],\n \"predictedWinnersInterval\": [";
        for (std::size_t t = 0; t < p.interval.size(); ++t)
            o << (t ? ", " : "") << '[' << p.interval[t].first << ", " << p.interval[t].second
              << ']';
        o << ']';
    } else {
        o << "null,\n \"predictedWinnersInterval\": null";
    }
    return o.str();
}

std::string writeSummary(const DrawSummary &summary, const std::string &format)
{
    const std::vector<Sheet> sheets = summarySheets(summary);
    std::ostringstream o;
    if (format == "json") {
        o << "{\"name\": \"summary\"" << summaryFields(summary) << ",\n \"grids\": [";
        for (std::size_t g = 0; g < sheets.size(); ++g) {
            o << (g ? ",\n" : "\n");
            writeSheetJsonObject(o, sheets[g]);
        }
        o << "\n]}\n";
    } else if (format == "html") {
        writeSheetsHtml(o, "今回の結果", sheets);
    } else {
        o << "今回の結果\n";
        for (const Sheet &sheet : sheets) {
            o << '\n' << sheet.caption() << '\n';
            writeSheetText(o, sheet);
        }
    }
    return o.str();
}

} // namespace

int summaryCommand(Context &ctx)
{
    SwitchArgs switches;
    std::string format = "text";
    std::optional<int> drawNo;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string &a = ctx.args[i];
        if (switches.take(ctx.args, i))
            continue;
        if (a == "--format" && i + 1 < ctx.args.size()) {
            format = ctx.args[++i];
            continue;
        }
        if (a.starts_with("-") || drawNo)
            return ctx.usage("summary: unexpected argument " + quotedForMessage(a));
        int n = 0;
        if (const std::string problem = drawNumberProblem(a, n); !problem.empty())
            return ctx.usage("summary: draw " + quotedForMessage(a) + " " + problem);
        drawNo = n;
    }
    if (format != "text" && format != "json" && format != "html")
        return ctx.usage("summary: --format is text, json or html");
    PredictionOptions options;
    if (const int code = loadSwitches(ctx, "summary", switches, options); code != ExitOk)
        return code;
    std::map<int, DrawPrizes> prizes;
    if (!ctx.loadWithPrizes(prizes))
        return ExitFailure;
    const int newest = newestCompleteDraw(ctx.history);
    if (newest == 0)
        return ctx.fail("summary: the history holds no complete draw yet; import or add one");
    std::vector<Ticket> tickets;
    std::vector<PredictionRecord> records;
    const TicketBook book(ctx.db);
    if (Status s = book.tickets(tickets); !s)
        return ctx.fail("summary: " + s.message());
    if (Status s = book.records(records); !s)
        return ctx.fail("summary: " + s.message());
    DrawSummary summary;
    const auto estimate = fittedPopularity(ctx, prizes);
    const DrawSummaryInput input{ctx.history, prizes, tickets, records, options, estimate.get()};
    if (Status s = summarizeDraw(input, drawNo.value_or(newest), summary); !s)
        return ctx.fail("summary: " + s.message() + "; the newest complete draw is "
            + std::to_string(newest) + " (give no draw number for it)");
    return writeOutput(ctx, {}, writeSummary(summary, format));
}

} // namespace loto6::cli
