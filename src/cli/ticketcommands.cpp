#include "cli/cli.h"

#include "cli/ticketpopularity.h"
#include "grid/sheetwriter.h"
#include "store/drawvalidation.h"
#include "store/textcodec.h"
#include "tickets/predictionrecord.h"
#include "tickets/ticketbook.h"
#include "tickets/ticketsheets.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace loto6::cli {

namespace {

template<typename Int>
bool parseNumber(const std::string &text, Int &value)
{
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

// --format and -o of the grading commands.
struct OutputArgs
{
    std::string format = "text";
    OutputPath output;
    std::string problem; // what is wrong with -o

    bool take(const std::vector<std::string> &args, std::size_t &i)
    {
        if (const std::optional<Status> taken = takeOutputOption(args, i, output)) {
            if (!*taken)
                problem = taken->message();
            return true;
        }
        if (args[i] != "--format" || i + 1 >= args.size())
            return false;
        format = args[++i];
        return true;
    }
};

// Several sheets in one output; JSON as the prediction's grids, with extra top-level fields.
std::string writeSheets(std::string_view name, std::string_view title,
    const std::vector<Sheet> &sheets, SheetFormat format, const std::string &jsonExtra)
{
    std::ostringstream o;
    if (format == SheetFormat::Json) {
        o << "{\"name\": " << jsonString(name) << jsonExtra << ",\n \"grids\": [";
        for (std::size_t g = 0; g < sheets.size(); ++g) {
            o << (g ? ",\n" : "\n");
            writeSheetJsonObject(o, sheets[g]);
        }
        o << "\n]}\n";
    } else if (format == SheetFormat::Csv) {
        writeSheetsCsv(o, sheets);
    } else if (format == SheetFormat::Html) {
        writeSheetsHtml(o, title, sheets);
    } else {
        for (std::size_t g = 0; g < sheets.size(); ++g) {
            o << (g ? "\n" : "") << sheets[g].caption() << '\n';
            writeSheetText(o, sheets[g]);
        }
    }
    return o.str();
}

// The figures of the totals for scripts: counts, yen (null when unknown) and the chance side.
std::string summaryJson(const TicketGrading::Summary &s)
{
    std::ostringstream o;
    const auto array = [&o](const auto &values) {
        o << '[';
        for (std::size_t i = 0; i < values.size(); ++i)
            o << (i ? ", " : "") << jsonNumber(static_cast<double>(values[i]));
        o << ']';
    };
    o << ", \"lines\": " << s.lines << ", \"units\": " << s.units
      << ", \"ungraded\": " << s.ungraded << ", \"cost\": " << s.cost << ", \"winnings\": "
      << (s.winningsKnown() ? std::to_string(s.winnings) : std::string("null"))
      << ", \"knownWinnings\": " << s.winnings << ", \"unknownUnits\": " << s.unknownUnits
      << ",\n \"tierUnits\": ";
    array(s.tierUnits);
    o << ", \"winningUnits\": " << s.winningUnits << ", \"winningLines\": " << s.winningLines
      << ", \"expectedTierUnits\": ";
    array(s.expectedTierUnits);
    o << ", \"expectedWinningUnits\": " << jsonNumber(s.expectedWinningUnits)
      << ", \"expectedWinningLines\": " << jsonNumber(s.expectedWinningLines)
      << ", \"expectedYen\": " << (s.expectedYenUnits ? jsonNumber(s.expectedYen) : "null")
      << ", \"expectedYenGapDraws\": " << s.expectedYenGapDraws
      << ", \"pAtLeast\": " << jsonNumber(s.pAtLeast) << ", \"pAtMost\": " << jsonNumber(s.pAtMost)
      << ", \"law\": {\"method\": \"" << (s.law.simulated ? "simulation" : "exact")
      << "\", \"simulations\": " << s.law.simulations
      << ", \"errorAtLeast\": " << jsonNumber(s.law.errorAtLeast)
      << ", \"errorAtMost\": " << jsonNumber(s.law.errorAtMost) << '}'
      << ",\n \"sentence\": " << jsonString(s.sentence);
    return o.str();
}

int ticketsAdd(Context &ctx)
{
    Ticket t;
    std::string numbers;
    bool fromGiven = false;
    for (std::size_t i = 1; i < ctx.args.size(); ++i) {
        const std::string &a = ctx.args[i];
        const bool hasValue = i + 1 < ctx.args.size();
        int *target = a == "--from" ? &t.firstDraw
            : a == "--draws"        ? &t.draws
            : a == "--units"        ? &t.units
                                    : nullptr;
        if (target && hasValue) {
            const char *what = target == &t.units ? "number of units"
                : target == &t.draws              ? "number of draws"
                                                  : "draw number";
            long long v = 0;
            const std::string problem = wholeNumberProblem(
                ctx.args[++i], 1, target == &t.units ? Ticket::MaxUnits : MaxDrawNumber, what, v);
            if (!problem.empty())
                return ctx.usage(
                    "tickets add: " + a + " " + quotedForMessage(ctx.args[i]) + " " + problem);
            *target = static_cast<int>(v);
            fromGiven = fromGiven || target == &t.firstDraw;
        } else if (a == "--memo" && hasValue) {
            t.memo = ctx.args[++i];
        } else if (a.starts_with("--")) {
            return ctx.usage("tickets add: unexpected argument " + quotedForMessage(a));
        } else {
            numbers += numbers.empty() ? a : " " + a;
        }
    }
    if (Status s = parseTicketNumbers(numbers, t.numbers); !s)
        return ctx.usage("tickets add: " + s.message());
    if (!ctx.load())
        return ExitFailure;
    if (!fromGiven)
        t.firstDraw = ctx.totals->latestDrawNo + 1; // the next draw
    std::vector<Ticket> one{t};
    TicketBook book(ctx.db);
    if (Status s = fromGiven ? book.add(one) : book.addForNextDraw(one, t.firstDraw); !s)
        return ctx.fail("tickets add: " + s.message());
    const Ticket &made = one.front();
    std::ostringstream o;
    o << "added ticket " << made.id << ": " << made.numbersText() << ", draw " << made.firstDraw;
    if (made.draws > 1)
        o << " to " << made.lastDraw();
    o << ", " << made.units << " unit(s)\n";
    return confirmChange(ctx, o.str());
}

int ticketsRemove(Context &ctx)
{
    long long id = 0;
    if (ctx.args.size() != 2 || !parseNumber(ctx.args[1], id))
        return ctx.usage("tickets remove: give one ticket number (see tickets list)");
    if (!ctx.openDatabase())
        return ExitFailure;
    if (Status s = TicketBook(ctx.db).remove(id); !s)
        return ctx.fail("tickets remove: " + s.message());
    ctx.err << "removed ticket " << id << '\n';
    return ExitOk;
}

int ticketsList(Context &ctx)
{
    OutputArgs out;
    for (std::size_t i = 1; i < ctx.args.size(); ++i)
        if (!out.take(ctx.args, i))
            return ctx.usage("tickets list: unexpected argument " + quotedForMessage(ctx.args[i]));
    if (!out.problem.empty())
        return ctx.usage("tickets list: " + out.problem);
    SheetFormat format;
    if (!parseSheetFormat(out.format, format))
        return ctx.usage("tickets list: --format is text, csv, json or html");
    if (!ctx.openDatabase())
        return ExitFailure;
    std::vector<Ticket> tickets;
    if (Status s = TicketBook(ctx.db).tickets(tickets); !s)
        return ctx.fail(s.message());
    return writeOutput(
        ctx, out.output, [&](std::ostream &o) { writeSheet(o, ticketListSheet(tickets), format); });
}

} // namespace

namespace {

// The book's lines, each numbers once, labelled by the ticket numbers that hold them.
std::vector<popularity::LabelledCombination> bookLines(const std::vector<Ticket> &tickets)
{
    std::vector<popularity::LabelledCombination> lines;
    std::map<std::uint64_t, std::size_t> seen;
    for (const Ticket &t : tickets) {
        popularity::LabelledCombination line{"#" + std::to_string(t.id), {}};
        std::copy(t.numbers.begin(), t.numbers.end(), line.numbers.begin());
        std::sort(line.numbers.begin(), line.numbers.end());
        const auto [it, added] = seen.emplace(t.mask(), lines.size());
        if (added)
            lines.push_back(line);
        else
            lines[it->second].label += " " + line.label;
    }
    return lines;
}

int ticketsCheck(Context &ctx)
{
    OutputArgs out;
    for (std::size_t i = 1; i < ctx.args.size(); ++i)
        if (!out.take(ctx.args, i))
            return ctx.usage("tickets check: unexpected argument " + quotedForMessage(ctx.args[i]));
    if (!out.problem.empty())
        return ctx.usage("tickets check: " + out.problem);
    SheetFormat format;
    if (!parseSheetFormat(out.format, format))
        return ctx.usage("tickets check: --format is text, csv, json or html");
    std::map<int, DrawPrizes> prizes;
    if (!ctx.loadWithPrizes(prizes))
        return ExitFailure;
    std::vector<Ticket> tickets;
    if (Status s = TicketBook(ctx.db).tickets(tickets); !s)
        return ctx.fail(s.message());
    const std::vector<popularity::LabelledCombination> lines = bookLines(tickets);
    const TicketGrading grading(std::move(tickets), ctx.history, prizes);
    const Sheet results = ticketResultsSheet(grading);
    if (results.wasCut())
        ctx.err << "loto6zumvel-cli: tickets check: the results table is cut to its first "
                << Sheet::MaxRows << " rows; the totals count every row\n";
    std::vector<Sheet> sheets{results, ticketSummarySheet(grading)};
    std::string extra = summaryJson(grading.summary());
    // Each line's popularity and expected yen, when the payouts hold sales to learn from.
    if (const auto estimate = lines.empty() ? nullptr : fittedPopularity(ctx, prizes)) {
        LinePopularity p
            = linePopularity(lines, *estimate, popularity::PatternFamily::fromHistory(ctx.history));
        sheets.push_back(std::move(p.sheet));
        extra += ",\n \"popularity\": " + p.json;
    }
    const std::string text = writeSheets("ticket-check", "購入番号の照合", sheets, format, extra);
    return writeOutput(ctx, out.output, text);
}

int ticketsRecord(Context &ctx)
{
    SwitchArgs switches;
    PredictionRecord::Rows rows;
    for (std::size_t i = 1; i < ctx.args.size(); ++i) {
        if (switches.take(ctx.args, i))
            continue;
        if (ctx.args[i] == "--elimination")
            rows.elimination = true;
        else if (ctx.args[i] == "--consecutive")
            rows.consecutive = true;
        else
            return ctx.usage(
                "tickets record: unexpected argument " + quotedForMessage(ctx.args[i]));
    }
    PredictionOptions options;
    Prediction prediction;
    if (const int code = predictFromArgs(ctx, "tickets record", switches, options, prediction);
        code != ExitOk)
        return code;
    PredictionRecord entry;
    entry.latestDrawNo = ctx.totals->latestDrawNo;
    entry.reflectionShift = prediction.reflectionShift;
    entry.switches = PredictionRecord::switchText(options);
    entry.historyHash = historyHash(ctx.history);
    std::vector<Ticket> made;
    if (Status s = TicketBook(ctx.db).record(entry, predictionLines(prediction, rows), made); !s)
        return ctx.fail("tickets record: " + s.message());
    std::ostringstream o;
    o << "recorded prediction " << entry.id << " for draw " << entry.latestDrawNo + 1 << ":\n";
    for (const Ticket &t : made)
        o << "  ticket " << t.id << ": " << t.numbersText() << '\n';
    return confirmChange(ctx, o.str());
}

} // namespace

int ticketsCommand(Context &ctx)
{
    const std::string sub = ctx.args.empty() ? std::string() : ctx.args.front();
    const bool writes = sub == "add" || sub == "remove" || sub == "record";
    if (writes && ctx.asOf != Database::NoCut)
        return ctx.usage("tickets " + sub + " changes the ticket book; run it without --as-of");
    if (sub == "add")
        return ticketsAdd(ctx);
    if (sub == "remove")
        return ticketsRemove(ctx);
    if (sub == "record")
        return ticketsRecord(ctx);
    if (sub == "list")
        return ticketsList(ctx);
    if (sub == "check")
        return ticketsCheck(ctx);
    return ctx.usage("tickets: name what to do: add, list, remove, check or record");
}

namespace {

// The check's table with the line's popularity: in JSON the table's object with a
// "popularity" field added, so that scripts reading the table read it as before.
std::string checkWithPopularity(const Sheet &sheet, const LinePopularity &p, SheetFormat format)
{
    if (format != SheetFormat::Json)
        return writeSheets("combination-check", "組合せの照合", {sheet, p.sheet}, format, "");
    std::ostringstream o;
    writeSheetJsonObject(o, sheet);
    std::string text = o.str();
    text.erase(text.find_last_of('}'));
    return text + ",\n \"popularity\": " + p.json + "}\n";
}

} // namespace

int checkCommand(Context &ctx)
{
    OutputArgs out;
    std::string numbers;
    bool popularityRequired = false;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        if (out.take(ctx.args, i))
            continue;
        if (ctx.args[i] == "--popularity") {
            popularityRequired = true;
            continue;
        }
        if (ctx.args[i].starts_with("--"))
            return ctx.usage("check: unexpected argument " + quotedForMessage(ctx.args[i]));
        numbers += numbers.empty() ? ctx.args[i] : " " + ctx.args[i];
    }
    if (!out.problem.empty())
        return ctx.usage("check: " + out.problem);
    Ticket t;
    if (Status s = parseTicketNumbers(numbers, t.numbers); !s)
        return ctx.usage("check: " + s.message());
    if (Status s = validateTicket(t); !s)
        return ctx.usage("check: " + s.message());
    SheetFormat format;
    if (!parseSheetFormat(out.format, format))
        return ctx.usage("check: --format is text, csv, json or html");
    std::map<int, DrawPrizes> prizes;
    if (!ctx.loadWithPrizes(prizes))
        return ExitFailure;
    const TicketGrading grading = checkCombination(t.numbers, ctx.history, prizes);
    const Sheet sheet = combinationCheckSheet(grading, ctx.history);
    const auto estimate = fittedPopularity(ctx, prizes);
    if (!estimate && popularityRequired)
        return ctx.fail(std::string("check: ") + NoPopularityReason);
    if (!estimate)
        return writeOutput(ctx, out.output, [&](std::ostream &o) { writeSheet(o, sheet, format); });
    popularity::LabelledCombination line{"この組合せ", {}};
    std::copy(t.numbers.begin(), t.numbers.end(), line.numbers.begin());
    std::sort(line.numbers.begin(), line.numbers.end());
    return writeOutput(ctx, out.output,
        checkWithPopularity(sheet,
            linePopularity({line}, *estimate, popularity::PatternFamily::fromHistory(ctx.history)),
            format));
}

} // namespace loto6::cli
