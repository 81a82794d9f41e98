#include "cli/cli.h"

#include "cli/ticketpopularity.h"
#include "design/designbook.h"
#include "design/designsheets.h"
#include "design/generator.h"
#include "grid/numbertext.h"
#include "grid/sheetwriter.h"
#include "store/drawvalidation.h"
#include "store/textcodec.h"

#include <charconv>
#include <random>
#include <sstream>

namespace loto6::cli {

using namespace design;

namespace {

struct DesignArgs
{
    DesignFilter filter;
    bool count = false;
    int pick = 0;
    std::optional<std::uint64_t> seed;
    std::string format = "text";
    bool addToBook = false;
    int draws = 1;
    bool sortByPopularity = false; // least popular first
    bool showPopularity = false;

    // The popularity model is fitted only for the options that need it (a few seconds).
    bool needsPopularity() const
    {
        return filter.leastPopular || sortByPopularity || showPopularity;
    }
};

template<typename Int>
bool wholeNumber(const std::string &text, Int &v)
{
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// Reads the arguments; an empty string when they are right, else the problem.
std::string readDesignArgs(const std::vector<std::string> &args, DesignArgs &a)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (const std::optional<Status> taken = takeFilterOption(args, i, a.filter)) {
            if (!*taken)
                return taken->message();
            continue;
        }
        const std::string &o = args[i];
        const bool hasValue = i + 1 < args.size();
        if (o == "--count") {
            a.count = true;
        } else if (o == "--pick" && hasValue) {
            if (!wholeNumber(args[++i], a.pick) || a.pick < 1 || a.pick > MaxPick)
                return "--pick takes a number of tickets from 1 to " + std::to_string(MaxPick);
        } else if (o == "--seed" && hasValue) {
            std::uint64_t s = 0;
            if (!wholeNumber(args[++i], s))
                return "--seed takes a whole number from 0 to 18446744073709551615";
            a.seed = s;
        } else if (o == "--format" && hasValue) {
            a.format = args[++i];
        } else if (o == "--sort" && hasValue) {
            if (args[++i] != "popularity")
                return "--sort takes popularity (the least popular first), not "
                    + quotedForMessage(args[i]);
            a.sortByPopularity = true;
        } else if (o == "--popularity") {
            a.showPopularity = true;
        } else if (o == "--add-to-book") {
            a.addToBook = true;
        } else if (o == "--draws" && hasValue) {
            if (!wholeNumber(args[++i], a.draws) || a.draws < 1 || a.draws > 1000)
                return "--draws takes a number of draws from 1 to 1000";
        } else {
            return "unexpected argument " + quotedForMessage(o);
        }
    }
    if (a.count == (a.pick > 0))
        return "give either --count or --pick K";
    if (a.count ? a.format != "text" && a.format != "json"
                : a.format != "text" && a.format != "json" && a.format != "csv")
        return a.count ? "--format is text or json with --count" : "--format is text, json or csv";
    if (a.count && (a.addToBook || a.seed || a.sortByPopularity || a.showPopularity))
        return "--seed, --sort, --popularity and --add-to-book go with --pick";
    if (Status s = a.filter.check(); !s)
        return s.message();
    return {};
}

std::string limitText(const DesignArgs &a, const popularity::PopularityEstimate *estimate)
{
    if (!a.filter.leastPopular || !estimate)
        return {};
    return jsonNumber(estimate->leastPopularThreshold(*a.filter.leastPopular));
}

int designCount(Context &ctx, const DesignArgs &a, const popularity::PopularityEstimate *estimate)
{
    const FilterCount c = countFilter(a.filter, ctx.history, estimate);
    const std::string below = limitText(a, estimate);
    if (c.combinations == 0)
        return ctx.fail("design: no combination passes these filters; widen a range or drop "
                        "a condition");
    std::ostringstream o;
    if (a.format == "json") {
        o << "{\"combinations\": " << c.combinations << ", \"of\": " << AllCombinations
          << ", \"probability\": " << jsonNumber(c.probability)
          << ", \"history\": {\"draws\": " << c.draws << ", \"passed\": " << c.passed
          << ", \"expected\": " << jsonNumber(c.expected) << ", \"sd\": " << jsonNumber(c.sd)
          << ", \"range95\": [" << c.low << ", " << c.high
          << "], \"popularityInSample\": " << (c.popularityInSample ? "true" : "false")
          << "}, \"filters\": " << jsonString(a.filter.optionsText());
        if (!below.empty())
            o << ", \"leastPopular\": {\"percent\": " << jsonNumber(*a.filter.leastPopular)
              << ", \"relativePopularityAtMost\": " << below << '}';
        o << "}\n";
    } else {
        o << "filters: " << (a.filter.empty() ? "none" : a.filter.optionsText()) << '\n'
          << "combinations: " << c.combinations << " of " << AllCombinations << '\n'
          << "probability that the next draw passes: " << jsonNumber(c.probability) << '\n'
          << "past draws: " << c.passed << " of " << c.draws << " passed, "
          << fixedText(c.expected, 2) << " expected by chance (sd " << fixedText(c.sd, 2)
          << ", 95% range " << c.low << "-" << c.high
          << "; each draw judged against the draws before it)\n";
        if (c.popularityInSample)
            o << "in-sample: the least-popular limit judges the past draws with the model learnt "
                 "from these same draws' winners, so their count is no test of it\n";
        if (!below.empty())
            o << "popularity: the least popular " << jsonNumber(*a.filter.leastPopular)
              << "% of combinations, at most " << below << " times as popular as the average ticket"
              << (a.filter.includePatterns ? ""
                                           : ", less the pattern tickets such as 1 2 3 4 5 6 "
                                             "(--include-patterns keeps them)")
              << '\n'
              << popularity::ChanceCaveat << '\n';
    }
    return writeOutput(ctx, {}, o.str());
}

void writePick(std::ostream &o, const DesignArgs &a, const PickResult &r, std::uint64_t seed,
    const LinePopularity *p)
{
    if (a.format == "json") {
        o << "{\"tickets\": [";
        for (std::size_t i = 0; i < r.tickets.size(); ++i) {
            o << (i ? ", " : "") << '[';
            for (std::size_t j = 0; j < r.tickets[i].size(); ++j)
                o << (j ? ", " : "") << r.tickets[i][j];
            o << ']';
        }
        o << "], \"seed\": " << seed << ", \"combinations\": " << r.combinations
          << ", \"filters\": " << jsonString(a.filter.optionsText());
        if (p)
            o << ",\n \"popularity\": " << p->json;
        o << "}\n";
    } else if (a.format == "csv") {
        if (!p)
            writeSheetCsv(o, designTicketsSheet(r.tickets, "設計した番号"));
        else
            writeSheetsCsv(
                o, std::vector<Sheet>{designTicketsSheet(r.tickets, "設計した番号"), p->sheet});
    } else {
        o << "# " << r.tickets.size() << " of " << r.combinations << " passing combinations, seed "
          << seed << '\n';
        for (const Combination &c : r.tickets)
            o << combinationText(c) << '\n';
        if (p) {
            o << '\n';
            writeSheetText(o, p->sheet);
            o << popularity::ChanceCaveat << '\n' << popularity::SharingCaveat << '\n';
        }
    }
}

// The picked tickets labelled 1.., least popular first when asked.
std::optional<LinePopularity> pickPopularity(const DesignArgs &a, PickResult &r,
    const popularity::PopularityEstimate *estimate, const popularity::PatternFamily &patterns)
{
    if (!estimate)
        return std::nullopt;
    if (a.sortByPopularity)
        sortByPopularity(
            r.tickets, estimate->model(), a.filter.includePatterns ? nullptr : &patterns);
    std::vector<popularity::LabelledCombination> lines;
    for (const Combination &c : r.tickets)
        lines.push_back({std::to_string(lines.size() + 1), c});
    return linePopularity(lines, *estimate, patterns);
}

int designPick(Context &ctx, const DesignArgs &a, const popularity::PopularityEstimate *estimate)
{
    const std::uint64_t seed
        = a.seed ? *a.seed : (std::uint64_t{std::random_device{}()} << 32) | std::random_device{}();
    PickResult r;
    if (Status s = pickTickets(
            a.filter, FilterContext::fromHistory(ctx.history, a.filter, estimate), a.pick, seed, r);
        !s)
        return ctx.fail("design: " + s.message());
    const std::optional<LinePopularity> p
        = pickPopularity(a, r, estimate, popularity::PatternFamily::fromHistory(ctx.history));
    if (a.addToBook) {
        std::vector<Ticket> made;
        const std::string memo = pickMemo(a.filter, seed);
        if (Status s = addDesignedTickets(
                ctx.db, r.tickets, ctx.totals->latestDrawNo + 1, a.draws, memo, made);
            !s)
            return ctx.fail("design: " + s.message());
        ctx.err << "added " << made.size() << " ticket(s) to the ticket book from draw "
                << ctx.totals->latestDrawNo + 1 << '\n';
    }
    return writeOutput(
        ctx, {}, [&](std::ostream &o) { writePick(o, a, r, seed, p ? &*p : nullptr); });
}

} // namespace

int designCommand(Context &ctx)
{
    DesignArgs a;
    if (const std::string problem = readDesignArgs(ctx.args, a); !problem.empty())
        return ctx.usage("design: " + problem);
    if (a.addToBook && ctx.asOf != Database::NoCut)
        return ctx.usage("design --add-to-book changes the ticket book; run it without --as-of");
    std::map<int, DrawPrizes> prizes;
    if (!ctx.loadWithPrizes(prizes))
        return ExitFailure;
    std::shared_ptr<const popularity::PopularityEstimate> estimate;
    if (a.needsPopularity() && !(estimate = fittedPopularity(ctx, prizes)))
        return ctx.fail(std::string("design: ") + NoPopularityReason);
    return a.count ? designCount(ctx, a, estimate.get()) : designPick(ctx, a, estimate.get());
}

} // namespace loto6::cli
