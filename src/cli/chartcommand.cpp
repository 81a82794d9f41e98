#include "cli/cli.h"

#include "chart/chartbands.h"
#include "chart/chartcatalog.h"
#include "chart/chartwriter.h"
#include "popularity/storedestimate.h"
#include "store/prizestore.h"
#include "store/textcodec.h"
#include "tickets/ticketbook.h"
#include "tickets/ticketgrading.h"

#include <charconv>
#include <sstream>

namespace loto6::cli {

namespace {

int listCharts(Context &ctx)
{
    for (const ChartInfo &info : charts()) {
        std::string name(info.name);
        if (info.needsNumber)
            name += " --number N";
        ctx.out << name << std::string(name.size() < 22 ? 22 - name.size() : 1, ' ') << info.caption
                << '\n';
    }
    return ExitOk;
}

// The ticket book graded against the history in use, for the ticket chart.
int gradeTickets(
    Context &ctx, std::map<int, DrawPrizes> &prizes, std::optional<TicketGrading> &grading)
{
    if (!ctx.loadWithPrizes(prizes))
        return ExitFailure;
    std::vector<Ticket> tickets;
    if (Status s = TicketBook(ctx.db).tickets(tickets); !s)
        return ctx.fail(s.message());
    grading.emplace(std::move(tickets), ctx.history, prizes);
    return ExitOk;
}

} // namespace

int chartCommand(Context &ctx)
{
    std::string name, format = "svg", number;
    OutputPath output;
    std::string problem;
    bool list = false;
    bool numberGiven = false;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string &a = ctx.args[i];
        if (const std::optional<Status> taken = takeOutputOption(ctx.args, i, output)) {
            if (!*taken)
                problem = taken->message();
            continue;
        }
        if (a == "--list")
            list = true;
        else if (a == "--format" && i + 1 < ctx.args.size())
            format = ctx.args[++i];
        else if (a == "--number" && i + 1 < ctx.args.size()) {
            number = ctx.args[++i];
            numberGiven = true;
        } else if (name.empty() && !a.starts_with("-"))
            name = a;
        else
            return ctx.usage("chart: unexpected argument " + quotedForMessage(a));
    }
    if (!problem.empty())
        return ctx.usage("chart: " + problem);
    if (list)
        return name.empty() ? listCharts(ctx) : ctx.usage("chart: --list takes no chart name");
    if (name.empty())
        return ctx.usage("chart: name a chart (chart --list shows them)");
    const ChartInfo *info = findChart(name);
    if (!info)
        return ctx.usage(
            "chart: unknown chart " + quotedForMessage(name) + " (chart --list shows them)");
    ChartFormat chartFormat;
    if (!parseChartFormat(format, chartFormat))
        return ctx.usage("chart: --format is svg, csv or json");
    int n = 1;
    if (numberGiven) {
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), n);
        if (ec != std::errc() || end != number.data() + number.size() || n < 1 || n > HighestNumber)
            return ctx.usage("chart: --number is a number from 1 to "
                + std::to_string(HighestNumber) + ", not " + quotedForMessage(number));
        if (!info->needsNumber)
            return ctx.usage("chart: " + quotedForMessage(name) + " takes no --number");
    } else if (info->needsNumber) {
        return ctx.usage("chart: " + quotedForMessage(name)
            + " charts one number: give it with --number N (1 to " + std::to_string(HighestNumber)
            + ")");
    }
    std::map<int, DrawPrizes> prizes;
    std::optional<TicketGrading> grading;
    if (info->needsTickets) {
        if (const int code = gradeTickets(ctx, prizes, grading); code != ExitOk)
            return code;
    } else if (info->needsPayouts ? !ctx.loadWithPrizes(prizes) : !ctx.load()) {
        return ExitFailure;
    }
    const ChartInput input{ctx.history, *ctx.totals, n, grading ? &*grading : nullptr, &prizes,
        [&ctx](const std::vector<popularity::DrawObservation> &draws, int from) {
            return popularity::storedBacktestSummary(ctx.db, draws, from);
        }};
    const Chart chart = buildChart(*info, input);
    return writeOutput(
        ctx, output, [&](std::ostream &out) { writeChart(out, chart, chartFormat); });
}

} // namespace loto6::cli
