#include "cli/cli.h"

#include "cli/ticketpopularity.h"
#include "design/designbook.h"
#include "design/designsheets.h"
#include "grid/sheetwriter.h"
#include "store/drawrecord.h"
#include "store/textcodec.h"
#include "tickets/ticketbook.h"

#include <charconv>
#include <sstream>

namespace loto6::cli {

using namespace design;

namespace {

template<typename Number>
bool wholeNumber(std::string_view text, Number &v)
{
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// Numbers given one per argument or as N,N,..; the bad item quoted when one is not a number.
std::string numbersProblem(const std::string &arg, std::vector<int> &numbers)
{
    const Status s = parseNumberList(arg, numbers);
    return s ? std::string() : quotedForMessage(s.fault().value) + " is not a number from 1 to 43";
}

void writeTicketsJson(std::ostream &o, const std::vector<Combination> &tickets)
{
    o << "{\"tickets\": [";
    for (std::size_t i = 0; i < tickets.size(); ++i) {
        o << (i ? ", " : "") << '[';
        for (std::size_t j = 0; j < tickets[i].size(); ++j)
            o << (j ? ", " : "") << tickets[i][j];
        o << ']';
    }
    o << ']';
}

struct WheelArgs
{
    WheelRequest request;
    bool winGiven = false;
    bool ifGiven = false;
    std::string format = "text";
    bool addToBook = false;
    int draws = 1;
};

std::string readWheelArgs(const std::vector<std::string> &args, WheelArgs &a)
{
    WheelRequest &r = a.request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &o = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((o == "--win" || o == "--if") && hasValue) {
            int &v = o == "--win" ? r.win : r.ifDrawn;
            (o == "--win" ? a.winGiven : a.ifGiven) = true;
            if (!wholeNumber(args[++i], v))
                return o + " takes a whole number from 3 to 6";
        } else if (o == "--seconds" && hasValue) {
            // Written so that NaN fails too.
            if (!wholeNumber(args[++i], r.seconds)
                || !(r.seconds >= MinWheelSeconds && r.seconds <= MaxWheelSeconds))
                return "--seconds takes a time limit from 0.1 to 3600 seconds, not "
                    + quotedForMessage(args[i]);
        } else if (o == "--seed" && hasValue) {
            if (!wholeNumber(args[++i], r.seed))
                return "--seed takes a whole number from 0 to 18446744073709551615, not "
                    + quotedForMessage(args[i]);
        } else if (o == "--format" && hasValue) {
            a.format = args[++i];
        } else if (o == "--full") {
            r.full = true;
        } else if (o == "--add-to-book") {
            a.addToBook = true;
        } else if (o == "--draws" && hasValue) {
            if (!wholeNumber(args[++i], a.draws) || a.draws < 1 || a.draws > 1000)
                return "--draws takes a number of draws from 1 to 1000";
        } else if (o.starts_with("--")) {
            return "unexpected argument " + quotedForMessage(o);
        } else if (std::string problem = numbersProblem(o, r.pool); !problem.empty()) {
            return problem;
        }
    }
    if (!r.full && (!a.winGiven || !a.ifGiven))
        return "give the guarantee as --win T --if P (or --full for every six of the pool)";
    if (a.format != "text" && a.format != "json" && a.format != "csv")
        return "--format is text, json or csv";
    if (Status s = checkWheelRequest(r); !s)
        return s.message();
    return {};
}

void writeWheel(std::ostream &o, const WheelArgs &a, const Wheel &w)
{
    if (a.format == "json") {
        const auto size = static_cast<long long>(w.tickets.size());
        const auto orNull = [](long long known, long long v) {
            return known ? std::to_string(v) : std::string("null");
        };
        writeTicketsJson(o, w.tickets);
        o << ", \"guarantee\": {\"win\": " << w.win << ", \"if\": " << w.ifDrawn
          << "}, \"lowerBound\": " << w.lowerBound
          << ", \"knownMinimum\": " << (w.knownMinimum ? std::to_string(w.knownMinimum) : "null")
          << ", \"verified\": true, \"seconds\": " << jsonNumber(w.seconds)
          << ", \"size\": " << size << ", \"bestKnown\": " << orNull(w.bestKnown, w.bestKnown)
          << ", \"gapToBestKnown\": " << orNull(w.bestKnown, size - w.bestKnown)
          << ", \"gapToLowerBound\": " << size - w.lowerBound << ", \"design\": "
          << (a.request.full  ? "\"full\""
                     : w.held ? "\"known\""
                              : "\"searched\"")
          << "}\n";
    } else if (a.format == "csv") {
        writeSheetCsv(o, designTicketsSheet(w.tickets, "ホイール"));
    } else {
        o << "# " << wheelSummary(w) << '\n';
        for (const Combination &c : w.tickets)
            o << combinationText(c) << '\n';
    }
}

} // namespace

int wheelCommand(Context &ctx)
{
    WheelArgs a;
    if (const std::string problem = readWheelArgs(ctx.args, a); !problem.empty())
        return ctx.usage("wheel: " + problem);
    if (a.addToBook && ctx.asOf != Database::NoCut)
        return ctx.usage("wheel --add-to-book changes the ticket book; run it without --as-of");
    Wheel w;
    if (Status s = buildWheel(a.request, w); !s)
        return ctx.fail("wheel: " + s.message());
    if (a.addToBook) {
        if (!ctx.load())
            return ExitFailure;
        std::vector<Ticket> made;
        if (Status s = addDesignedTickets(ctx.db, w.tickets, ctx.totals->latestDrawNo + 1, a.draws,
                wheelMemo(w, a.request.pool), made);
            !s)
            return ctx.fail("wheel: " + s.message());
        ctx.err << "added " << made.size() << " ticket(s) to the ticket book from draw "
                << ctx.totals->latestDrawNo + 1 << '\n';
    }
    return writeOutput(ctx, {}, [&](std::ostream &o) { writeWheel(o, a, w); });
}

namespace {

// The book's tickets for the next draw, one line per unit.
Status bookTickets(Context &ctx, std::vector<Combination> &out)
{
    std::vector<Ticket> tickets;
    if (Status s = TicketBook(ctx.db).tickets(tickets); !s)
        return s;
    const int next = ctx.totals->latestDrawNo + 1;
    for (const Ticket &t : tickets)
        for (int u = 0; t.covers(next) && u < t.units; ++u)
            out.push_back(combinationOf(t.mask()));
    if (out.empty())
        return Status::failure(Fault{.kind = FaultKind::NoTicketForDraw, .draw = next});
    return Status::success();
}

void writeOdds(
    std::ostream &o, const std::string &format, const TicketOdds &odds, const LinePopularity *p)
{
    if (format != "json") {
        writeSheetText(o, ticketOddsSheet(odds));
        for (const std::string &fact : oddsFacts(odds))
            o << fact << '\n';
        if (p) {
            o << '\n';
            writeSheetText(o, p->sheet);
        }
        return;
    }
    constexpr const char *Keys[] = {"1", "2", "3", "4", "5"};
    o << "{\"tickets\": " << odds.tickets << ", \"distinct\": " << odds.distinct
      << ", \"cost\": " << odds.cost << ", \"tiers\": [";
    for (std::size_t i = 0; i < TierCount; ++i)
        o << (i ? ", " : "") << "{\"tier\": " << Keys[i]
          << ", \"atLeastOne\": " << jsonNumber(odds.atLeastOne[i])
          << ", \"expectedCount\": " << jsonNumber(odds.expectedCount[i])
          << ", \"expectedYen\": " << jsonNumber(odds.expectedYen[i]) << '}';
    o << "], \"anyPrize\": " << jsonNumber(odds.atLeastOne[TierCount])
      << ", \"expectedReturn\": " << jsonNumber(odds.expectedReturn) << ", \"facts\": [";
    const std::vector<std::string> facts = oddsFacts(odds);
    for (std::size_t i = 0; i < facts.size(); ++i)
        o << (i ? ", " : "") << jsonString(facts[i]);
    o << "], \"prizeModel\": " << (odds.prizesPerTicket ? "\"popularity\"" : "\"average\"");
    if (p)
        o << ",\n \"popularity\": " << p->json;
    o << "}\n";
}

// Each distinct ticket's popularity and expected yen, labelled 1.. in the order given.
LinePopularity oddsPopularity(const std::vector<Combination> &tickets,
    const popularity::PopularityEstimate &estimate, const popularity::PatternFamily &patterns)
{
    std::vector<popularity::LabelledCombination> lines;
    std::vector<NumberMask> seen;
    for (const Combination &c : tickets) {
        if (std::find(seen.begin(), seen.end(), maskOf(c)) != seen.end())
            continue;
        seen.push_back(maskOf(c));
        lines.push_back({std::to_string(lines.size() + 1), c});
    }
    return linePopularity(lines, estimate, patterns);
}

} // namespace

int oddsCommand(Context &ctx)
{
    std::vector<int> numbers;
    bool book = false;
    std::string format = "text";
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string &o = ctx.args[i];
        if (o == "--book")
            book = true;
        else if (o == "--format" && i + 1 < ctx.args.size())
            format = ctx.args[++i];
        else if (o.starts_with("--"))
            return ctx.usage("odds: unexpected argument " + quotedForMessage(o));
        else if (const std::string problem = numbersProblem(o, numbers); !problem.empty())
            return ctx.usage("odds: " + problem);
    }
    if (format != "text" && format != "json")
        return ctx.usage("odds: --format is text or json");
    if (book == !numbers.empty() || numbers.size() % MainNumberCount != 0)
        return ctx.usage("odds: give tickets of six numbers each (N1..N6 [N1..N6]...) or --book");
    std::vector<Combination> tickets;
    for (std::size_t i = 0; i < numbers.size(); i += MainNumberCount) {
        NumberMask m = 0;
        for (std::size_t j = i; j < i + MainNumberCount; ++j)
            m |= NumberMask{1} << numbers[j];
        if (std::popcount(m) != MainNumberCount)
            return ctx.usage("odds: a ticket repeats a number; give six distinct numbers each");
        tickets.push_back(combinationOf(m));
    }
    std::map<int, DrawPrizes> prizes;
    if (!ctx.loadWithPrizes(prizes))
        return ExitFailure;
    if (book)
        if (Status s = bookTickets(ctx, tickets); !s)
            return ctx.fail("odds: " + s.message());
    // Each ticket's own prizes from the popularity model; the stored average without one.
    const auto estimate = tickets.size() <= static_cast<std::size_t>(MaxOddsTickets)
        ? fittedPopularity(ctx, prizes)
        : nullptr;
    const popularity::PatternFamily patterns = popularity::PatternFamily::fromHistory(ctx.history);
    const std::unique_ptr<PrizeModel> model = estimate
        ? std::unique_ptr<PrizeModel>(new PopularityPrizeModel(estimate->nextDrawValuer(), patterns,
            estimate->spectrum(estimate->nextDrawValuer()).mostPopularValue))
        : std::unique_ptr<PrizeModel>(new AveragePrizeModel(prizes));
    TicketOdds odds;
    if (Status s = ticketOdds(tickets, *model, odds); !s)
        return ctx.fail("odds: " + s.message());
    std::optional<LinePopularity> p;
    if (estimate)
        p = oddsPopularity(tickets, *estimate, patterns);
    return writeOutput(
        ctx, {}, [&](std::ostream &o) { writeOdds(o, format, odds, p ? &*p : nullptr); });
}

} // namespace loto6::cli
