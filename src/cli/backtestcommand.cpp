#include "cli/cli.h"

#include "grid/sheetwriter.h"
#include "prediction/backtest.h"
#include "prediction/backtestreport.h"
#include "prediction/backtestsheets.h"
#include "prediction/predictionoptions.h"
#include "prediction/reflectionshift.h"
#include "store/drawvalidation.h"
#include "store/textcodec.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <optional>
#include <sstream>

namespace loto6::cli {

namespace {

template<typename Array>
std::string jsonArray(const Array &values)
{
    std::string out = "[";
    bool first = true;
    for (const auto &v : values) {
        out += first ? "" : ", ";
        out += jsonNumber(static_cast<double>(v));
        first = false;
    }
    return out + "]";
}

void writeResultJson(std::ostream &o, const BacktestReport::Result &r)
{
    o << "{\"method\": " << jsonString(r.key) << ", \"title\": " << jsonString(r.title)
      << ", \"shift\": " << (r.shift < 0 ? std::string("null") : std::to_string(r.shift))
      << ", \"draws\": " << r.draws << ", \"picks\": " << r.picks << ", \"matches\": " << r.matches
      << ", \"observedMean\": " << jsonNumber(r.observedMean)
      << ", \"expectedMean\": " << jsonNumber(r.expectedMean) << ", \"range95\": ["
      << jsonNumber(r.rangeLow) << ", " << jsonNumber(r.rangeHigh) << "]"
      << ", \"pValue\": " << jsonNumber(r.pValue) << ", \"adjustedP\": " << jsonNumber(r.adjustedP)
      << ", \"notable\": " << (r.notable ? "true" : "false")
      << ", \"better\": " << (r.better() ? "true" : "false")
      << ", \"verdict\": " << jsonString(r.verdict)
      << ", \"observedCounts\": " << jsonArray(r.observedCounts)
      << ", \"expectedCounts\": " << jsonArray(r.expectedCounts);
    if (r.hasPrizes)
        o << ", \"tickets\": " << r.tickets
          << ", \"observedPrizes\": " << jsonArray(r.observedPrizes)
          << ", \"expectedPrizes\": " << jsonArray(r.expectedPrizes)
          << ", \"prizeYen\": " << jsonArray(r.prizeYen)
          << ", \"unknownPrizes\": " << jsonArray(r.unknownPrizes);
    o << '}';
}

void writeReportJson(std::ostream &o, const BacktestReport &report, const std::vector<int> &shifts)
{
    o << "{\"name\": " << jsonString(BacktestSheetName)
      << ", \"caption\": " << jsonString(BacktestCaption) << ", \"from\": " << report.from
      << ", \"completeDraws\": " << report.completeDraws << ", \"draws\": " << report.draws
      << ", \"firstDrawNo\": " << report.firstDrawNo << ", \"lastDrawNo\": " << report.lastDrawNo
      << ", \"alpha\": " << jsonNumber(report.alpha)
      << ",\n \"pValueMethod\": \"exact\", \"pValueNote\": " << jsonString(report.pValueMethod)
      << ", \"testCount\": " << report.testCount << ", \"betterCount\": " << report.betterCount()
      << ", \"worseCount\": " << report.worseCount()
      << ",\n \"verdict\": " << jsonString(report.verdict) << ", \"shifts\": " << jsonArray(shifts)
      << ",\n \"results\": [";
    bool first = true;
    const auto put = [&](const BacktestReport::Result *r) {
        if (!r)
            return;
        o << (first ? "\n  " : ",\n  ");
        writeResultJson(o, *r);
        first = false;
    };
    for (int m = Backtest::Cycle7; m <= Backtest::Cycle12; ++m)
        put(report.find(static_cast<Backtest::Method>(m), -1));
    for (int s : shifts)
        for (int m = Backtest::Elimination; m <= Backtest::OneShot; ++m)
            put(report.find(static_cast<Backtest::Method>(m), s));
    o << "\n ],\n \"shiftSettings\": [";
    for (std::size_t i = 0; i < shifts.size(); ++i) {
        const Backtest::ShiftSettings settings = Backtest::settingsFor(shifts[i]);
        o << (i ? ",\n  " : "\n  ") << "{\"shift\": " << shifts[i]
          << ", \"settings\": " << settings.settings << ", \"example\": [";
        bool firstKey = true;
        for (int k = 0; k < PredictionOptions::Count; ++k)
            if (settings.example.on[static_cast<std::size_t>(k)]) {
                o << (firstKey ? "" : ", ") << jsonString(PredictionOptions::key(k));
                firstKey = false;
            }
        o << "]}";
    }
    // Mean matches over every shift, whatever was asked, for a chart.
    std::vector<int> every(Backtest::ShiftCount);
    std::iota(every.begin(), every.end(), 0);
    o << "\n ],\n \"chart\": {\"shifts\": " << jsonArray(every) << ", \"series\": [";
    for (int m = Backtest::Elimination; m <= Backtest::OneShot; ++m) {
        const auto method = static_cast<Backtest::Method>(m);
        o << (m == Backtest::Elimination ? "\n  " : ",\n  ")
          << "{\"method\": " << jsonString(Backtest::key(method))
          << ", \"title\": " << jsonString(Backtest::title(method))
          << ", \"observedMean\": " << jsonArray(report.observedMeans(method))
          << ", \"expectedMean\": " << jsonArray(report.expectedMeans(method)) << '}';
    }
    o << "\n ]}}\n";
}

// What the command line asked for.
struct BacktestArgs
{
    int from = Backtest::DefaultFrom;
    int shift = -1;
    bool allShifts = false;
    std::string format = "text";
};

// Reads the arguments; a usage message when they are wrong.
std::optional<std::string> parseArgs(const std::vector<std::string> &args, BacktestArgs &out)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        long long v = 0;
        if (a == "--from" && hasValue) {
            const std::string &text = args[++i];
            if (const std::string problem = drawNumberProblem(text, out.from); !problem.empty())
                return "backtest: --from " + quotedForMessage(text) + " " + problem
                    + " (the n-th complete draw)";
        } else if (a == "--shift" && hasValue) {
            const std::string &text = args[++i];
            if (const std::string problem
                = wholeNumberProblem(text, 0, ReflectionShift::Max, "shift", v);
                !problem.empty())
                return "backtest: --shift " + quotedForMessage(text) + " " + problem;
            out.shift = static_cast<int>(v);
        } else if (a == "--all-shifts") {
            out.allShifts = true;
        } else if (a == "--format" && hasValue) {
            out.format = args[++i];
        } else {
            return "backtest: unexpected argument " + quotedForMessage(a);
        }
    }
    if (out.allShifts && out.shift >= 0)
        return "backtest: give either --shift or --all-shifts";
    if (out.format != "text" && out.format != "json" && out.format != "csv" && out.format != "html")
        return "backtest: --format is text, json, csv or html";
    return std::nullopt;
}

// The shift of the current switches when none was given, as the prediction window would use.
struct ShiftSource
{
    bool given = false;
    bool fromSettings = false;
    PredictionOptions options;
};

// The text form: the shifts shown and where they came from, each table, the conclusion.
void writeReportText(std::ostream &o, const BacktestReport &report, const BacktestArgs &args,
    const ShiftSource &source, const std::vector<int> &shifts)
{
    o << BacktestCaption << '\n';
    if (args.allShifts) {
        o << "シフト0～" << ReflectionShift::Max << "のすべて\n";
    } else {
        o << "シフト" << args.shift;
        if (source.fromSettings)
            o << "（" << PredictionOptions::FileName
              << "で反映するスイッチ: " << switchList(source.options) << "）";
        else if (!source.given)
            o << "（" << PredictionOptions::FileName << "がないため、すべて反映しない）";
        else
            o << "（このシフトになるスイッチの例: "
              << switchList(Backtest::settingsFor(args.shift).example) << "）";
        o << '\n';
    }
    for (const Sheet &sheet : backtestSheets(report, shifts)) {
        o << "\n【" << sheet.caption() << "】\n";
        writeSheetText(o, sheet);
    }
    o << "\n結論: " << report.verdict << '\n';
}

} // namespace

int backtestCommand(Context &ctx)
{
    BacktestArgs args;
    if (std::optional<std::string> wrong = parseArgs(ctx.args, args))
        return ctx.usage(*wrong);

    ShiftSource source;
    source.given = args.shift >= 0;
    if (!args.allShifts && !source.given) {
        std::error_code ec;
        if (std::filesystem::exists(PredictionOptions::FileName, ec)) {
            if (Status s = readInitFile(PredictionOptions::FileName, source.options); !s)
                return ctx.fail(s.message());
            source.fromSettings = true;
        }
        args.shift = ReflectionShift::of(source.options);
    }
    std::vector<int> shifts;
    if (args.allShifts) {
        shifts.resize(Backtest::ShiftCount);
        std::iota(shifts.begin(), shifts.end(), 0);
    } else {
        shifts.push_back(args.shift);
    }

    std::map<int, DrawPrizes> prizes;
    if (!ctx.loadWithPrizes(prizes))
        return ExitFailure;
    Backtest backtest;
    if (Status s = backtest.run(ctx.history, args.from); !s)
        return ctx.fail("backtest: " + s.message());
    const BacktestReport report = makeBacktestReport(backtest, prizes);

    std::ostringstream o;
    if (args.format == "json")
        writeReportJson(o, report, shifts);
    else if (args.format == "csv")
        writeSheetCsv(o, backtestDataSheet(report, shifts));
    else if (args.format == "html")
        writeSheetsHtml(o, BacktestCaption, backtestSheets(report, shifts));
    else
        writeReportText(o, report, args, source, shifts);
    return writeOutput(ctx, {}, o.str());
}

} // namespace loto6::cli
