#include "cli/cli.h"

#include "cli/ticketpopularity.h"
#include "grid/numbertext.h"
#include "grid/sheetwriter.h"
#include "popularity/popularitysheets.h"
#include "popularity/storedestimate.h"
#include "store/textcodec.h"
#include "tickets/ticket.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>

namespace loto6::cli {

using namespace loto6::popularity;

namespace {

constexpr const char *HelpText
    = R"(usage: loto6zumvel-cli popularity N1..N6 [--sales YEN] [--carry-over YEN] [--format text|json]
       loto6zumvel-cli popularity --backtest [--from N] [--format text|json|csv]

How popular a combination is with players, learnt from the winner counts of the stored
payouts, and what that makes a 200 yen ticket worth: the other winners expected to share
each tier if it wins, the expected prize of each tier and the expected value, beside the
average ticket's (and the average ticket as players buy them) and the least and most popular
1% of combinations, each with its 95% range. --sales is a draw's sales in yen (the median of
the latest 100 draws with known sales when not given); --carry-over the 1等 carry-over coming
into the draw (when not given, the carry-over of the latest stored payouts, which goes into
the next draw). A ticket whose popularity lies outside that of the combinations the model was
tested on is marked as extrapolated. --backtest predicts every draw from N on (1500 when
not given) by the model fitted on the draws before its block of 100 (refitted at N, N + 100,
..; each fit stored), and compares its expected winners and their chance law with the observed
ones: R², the 1等 groups with their joint 95% bounds, the held-out log-likelihood of each tier
(beside the per-number model, the Poisson law about the same means and uniform play) and the
Kolmogorov-Smirnov test of the 1等 counts' randomized PIT values.

)";

constexpr const char *PatternHelp
    = "For a pattern ticket the JSON gives \"pattern\" (its kind), null popularity, percentile, "
      "co-winners and prizes, and expectedValue as an upper bound; \"pattern\" is null for any "
      "other ticket.";

struct PopularityArgs
{
    bool backtest = false;
    bool help = false;
    int from = DefaultBacktestFrom;
    std::optional<double> sales;
    std::optional<double> carryOver;
    std::string format = "text";
    std::string numbers;
};

bool parseAmount(const std::string &text, double &out)
{
    long long v = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || ptr != text.data() + text.size() || v < 0 || v > 1'000'000'000'000'000)
        return false;
    out = static_cast<double>(v);
    return true;
}

// The options, or the usage message (empty when they are sound).
std::string parseArgs(const std::vector<std::string> &args, PopularityArgs &p)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        double amount = 0;
        if (a == "--backtest")
            p.backtest = true;
        else if (a == "--help" || a == "-h")
            p.help = true;
        else if (a == "--format" && hasValue)
            p.format = args[++i];
        else if (a == "--from" && hasValue) {
            if (!parseAmount(args[++i], amount) || amount < 1 || amount > MaxDrawNumber)
                return "--from takes a draw number from 1 to " + std::to_string(MaxDrawNumber)
                    + ", not " + quotedForMessage(args[i]);
            p.from = static_cast<int>(amount);
        } else if ((a == "--sales" || a == "--carry-over") && hasValue) {
            if (!parseAmount(args[++i], amount) || (a == "--sales" && amount < 200))
                return a + " takes an amount in yen (" + (a == "--sales" ? "200" : "0")
                    + " to 1000000000000000), not " + quotedForMessage(args[i]);
            if (a == "--sales")
                p.sales = amount;
            else
                p.carryOver = amount;
        } else if (a.starts_with("--"))
            return "unexpected argument " + quotedForMessage(a) + " (see popularity --help)";
        else
            p.numbers += p.numbers.empty() ? a : " " + a;
    }
    if (p.backtest && !p.numbers.empty())
        return "--backtest takes no numbers";
    if (p.backtest && p.format != "text" && p.format != "json" && p.format != "csv")
        return "--format is text, json or csv with --backtest";
    if (!p.backtest && p.format != "text" && p.format != "json")
        return "--format is text or json";
    return {};
}

void writeCaveats(std::ostream &o)
{
    o << '\n' << ChanceCaveat << '\n' << SharingCaveat << '\n' << EstimateCaveat << '\n';
}

std::string tierObject(const std::array<double, Tiers> &v)
{
    std::string s = "{";
    for (int t = 1; t <= Tiers; ++t)
        s += (t > 1 ? ", " : "") + jsonString(tierLabel(t)) + ": "
            + jsonNumber(v[static_cast<std::size_t>(t - 1)]);
    return s + "}";
}

// Each tier's 95% interval of its predicted winners: {"1等": [low, high], ..}.
std::string intervalObject(const PopularityBacktest::Draw &d)
{
    std::string s = "{";
    for (std::size_t t = 0; t < Tiers; ++t) {
        const auto [low, high] = d.interval(t);
        s += (t ? ", " : "") + jsonString(tierLabel(static_cast<int>(t) + 1)) + ": ["
            + std::to_string(low) + ", " + std::to_string(high) + "]";
    }
    return s + "}";
}

std::string interval(const ValueSpectrum::Range &r)
{
    return "[" + jsonNumber(r.low) + ", " + jsonNumber(r.high) + "]";
}

// A ticket's JSON; a pattern ticket has null where the model cannot speak for it. `more`
// follows the spectrum's fields.
void writeValueJson(std::ostream &o, const TicketValue &v, double percentile,
    const ValueSpectrum &sp, const TicketValuer &valuer, const PatternInfo *pattern,
    const std::string &more)
{
    const auto known
        = [pattern](const std::string &json) -> std::string { return pattern ? "null" : json; };
    o << "{\"numbers\": [";
    for (std::size_t i = 0; i < v.numbers.size(); ++i)
        o << (i ? ", " : "") << v.numbers[i];
    o << "], \"relativePopularity\": " << known(jsonNumber(v.relativePopularity))
      << ", \"percentile\": " << known(jsonNumber(percentile))
      << ", \"sales\": " << jsonNumber(valuer.sales())
      << ", \"carryOver\": " << jsonNumber(valuer.carryOver())
      << ",\n \"expectedCoWinners\": " << known(tierObject(v.coWinners))
      << ",\n \"expectedPrize\": " << known(tierObject(v.expectedPrize))
      << ",\n \"expectedValue\": " << jsonNumber(shownValue(v, pattern, sp))
      << ", \"averageTicketExpectedValue\": " << jsonNumber(sp.averageTicketValue)
      << ",\n \"leastPopular1PercentExpectedValue\": " << jsonNumber(sp.leastPopularValue)
      << ", \"mostPopular1PercentExpectedValue\": " << jsonNumber(sp.mostPopularValue)
      << ",\n \"averageBoughtTicketExpectedValue\": " << jsonNumber(sp.averageBoughtValue)
      << ", \"spectrumIntervals\": {\"averageTicket\": " << interval(sp.averageRange)
      << ", \"averageBoughtTicket\": " << interval(sp.boughtRange)
      << ", \"leastPopular1Percent\": " << interval(sp.leastRange)
      << ", \"mostPopular1Percent\": " << interval(sp.mostRange) << "},\n " << more
      << ",\n \"pattern\": " << (pattern ? jsonString(pattern->english) : "null") << "}\n";
}

std::string optionalJson(const std::optional<double> &v) { return v ? jsonNumber(*v) : "null"; }

// The held-out log-likelihood of each tier: the model with its count laws, the per-number
// model with its own, the Poisson law about the model's means, and uniform play.
std::string likelihoodJson(const PopularityBacktest &b, const PopularityBacktest &plain)
{
    const PopularityBacktest::Likelihood &l = b.likelihood;
    return "{\"draws\": " + std::to_string(l.draws) + ", \"model\": " + tierObject(l.model)
        + ", \"perNumberModel\": " + tierObject(plain.likelihood.model) + ", \"poisson\": "
        + tierObject(l.poisson) + ", \"uniform\": " + tierObject(l.uniform) + "}";
}

void writeBacktestJson(
    std::ostream &o, const PopularityBacktest &b, const PopularityBacktest &plain)
{
    o << "{\"from\": " << b.from << ", \"trainingDraws\": " << b.trainingDraws
      << ", \"trainingDrawsWithSales\": " << b.trainingDrawsWithSales << ", \"draws\": [";
    std::array<double, Tiers> observed{};
    for (std::size_t i = 0; i < b.draws.size(); ++i) {
        const PopularityBacktest::Draw &d = b.draws[i];
        for (std::size_t t = 0; t < Tiers; ++t)
            observed[t] = static_cast<double>(d.observed[t]);
        o << (i ? ",\n  " : "\n  ") << "{\"draw\": " << d.drawNo
          << ", \"sales\": " << (d.sales ? std::to_string(*d.sales) : "null")
          << ", \"predicted\": " << (d.sales ? tierObject(d.predicted) : "null")
          << ", \"predictedInterval\": " << (d.sales ? intervalObject(d) : "null")
          << ", \"observed\": " << tierObject(observed) << ", \"fittedBefore\": " << d.fittedBefore
          << "}";
    }
    const auto r2 = [](const PopularityBacktest &x) {
        std::string s = "{";
        for (std::size_t k = 0; k < 3; ++k)
            s += (k ? ", " : "") + jsonString(tierLabel(static_cast<int>(k) + 3)) + ": "
                + (x.r2[k] ? jsonNumber(*x.r2[k]) : "null");
        return s + "}";
    };
    o << "\n ],\n \"r2\": " << r2(b) << ",\n \"perNumberModelR2\": " << r2(plain)
      << ",\n \"refitEvery\": " << RefitEvery << ",\n \"firstPrizeCalibration\": [";
    const double joint = std::pow(0.95, 1.0 / std::max<double>(1, b.firstPrize.size()));
    for (std::size_t g = 0; g < b.firstPrize.size(); ++g) {
        const auto band = bandOf(b.groupLaw(g), joint);
        o << (g ? ", " : "") << "{\"draws\": " << b.firstPrize[g].draws
          << ", \"predicted\": " << jsonNumber(b.firstPrize[g].predicted)
          << ", \"observed\": " << b.firstPrize[g].observed << ", \"jointBand\": [" << band.first
          << ", " << band.second << "]}";
    }
    o << "],\n \"logLikelihood\": " << likelihoodJson(b, plain)
      << ",\n \"firstPrizePitKsP\": " << optionalJson(b.firstPrizePitP)
      << ", \"perNumberModelFirstPrizePitKsP\": " << optionalJson(plain.firstPrizePitP) << "}\n";
}

int runBacktest(Context &ctx, const PopularityArgs &p, const std::vector<DrawObservation> &draws)
{
    const PopularityBacktest b = storedBacktest(ctx.db, draws, p.from);
    FitSettings plainSettings;
    plainSettings.terms = ModelTerms::perNumberOnly();
    const PopularityBacktest plain = storedBacktest(ctx.db, draws, p.from, plainSettings);
    if (b.trainingDrawsWithSales == 0)
        return ctx.fail("popularity: no draw before " + std::to_string(p.from)
            + " has its payouts and sales stored, so there is nothing to fit; import a history "
              "with prizes (import FILE) or give a later --from");
    if (p.format == "json")
        writeBacktestJson(ctx.out, b, plain);
    else if (p.format == "csv")
        writeSheetCsv(ctx.out, backtestDrawsSheet(b));
    else {
        writeSheetText(ctx.out, backtestSummarySheet(b, &plain));
        ctx.out << '\n';
        writeSheetText(ctx.out, backtestDrawsSheet(b));
        writeCaveats(ctx.out);
    }
    return ExitOk;
}

} // namespace

int popularityCommand(Context &ctx)
{
    PopularityArgs p;
    if (const std::string problem = parseArgs(ctx.args, p); !problem.empty())
        return ctx.usage("popularity: " + problem);
    if (p.help) {
        ctx.out << HelpText << PatternDefinition << ' ' << PatternHelp << "\n\n"
                << ChanceCaveat << '\n'
                << SharingCaveat << '\n'
                << EstimateCaveat << '\n';
        return ExitOk;
    }
    Ticket t;
    if (!p.backtest) {
        if (Status s = parseTicketNumbers(p.numbers, t.numbers); !s)
            return ctx.usage("popularity: " + s.message());
        if (Status s = validateTicket(t); !s)
            return ctx.usage("popularity: " + s.message());
    }
    std::map<int, DrawPrizes> prizes;
    if (!ctx.loadWithPrizes(prizes))
        return ExitFailure;
    const std::vector<DrawObservation> draws = observationsOf(ctx.history, prizes);
    if (p.backtest)
        return runBacktest(ctx, p, draws);
    const auto estimate = storedEstimate(ctx.db, draws).estimate;
    if (!estimate || !estimate->fitted())
        return ctx.fail("popularity: no stored draw has its payouts and sales, so popularity "
                        "cannot be learnt; import a history with prizes (import FILE)");
    const TicketValuer valuer
        = estimate->valuer(p.sales, p.carryOver.value_or(estimate->nextDraw().carryOver));
    Combination c{};
    std::copy(t.numbers.begin(), t.numbers.end(), c.begin());
    std::sort(c.begin(), c.end());
    const TicketValue v = valuer.value(c);
    const double percentile = estimate->percentile(v.relativePopularity);
    const ValueSpectrum spectrum = estimate->spectrum(valuer);
    const PatternInfo *pattern = PatternFamily::fromHistory(ctx.history).infoOf(c);
    const ValueContext context = valueContext(*estimate, valuer, v, spectrum, pattern);
    if (p.format == "json")
        writeValueJson(ctx.out, v, percentile, spectrum, valuer, pattern,
            rangeJson(context) + ",\n \"conditions\": " + conditionsJson(*estimate, valuer));
    else {
        writeSheetText(ctx.out,
            ticketValueSheet(v, percentile, spectrum, context, *estimate, valuer, pattern));
        if (pattern)
            ctx.out << "\nPattern: " << pattern->english << ". " << PatternDefinition << '\n';
        ctx.out << "\nAt sales of " << yenText(std::llround(valuer.sales()))
                << " and a carry-over of " << yenText(std::llround(valuer.carryOver())) << ".\n";
        writeCaveats(ctx.out);
    }
    return ExitOk;
}

} // namespace loto6::cli
