#include "cli/cli.h"

#include "grid/sheetwriter.h"
#include "prediction/backtest.h"
#include "prediction/backtestreport.h"
#include "prediction/backtestsheets.h"
#include "prediction/predictionoptions.h"
#include "prediction/reflectionshift.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <sstream>

namespace loto6::cli {

namespace {

bool parseInt(const std::string &text, int &value)
{
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

template <typename Array> std::string jsonArray(const Array &values)
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
          << ", \"expectedPrizes\": " << jsonArray(r.expectedPrizes);
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

// A sheet as aligned text; a row whose only text is in its first column (a note running on
// over the empty cells) is written as it stands and does not widen that column.
void writeSheetLines(std::ostream &o, const Sheet &sheet)
{
    const auto noteRow = [&](int r) {
        for (int c = 2; c <= sheet.columns(); ++c)
            if (!sheet.text(c, r).empty())
                return false;
        return true;
    };
    std::vector<int> widths(static_cast<std::size_t>(sheet.columns()) + 1, 0);
    for (int r = 1; r <= sheet.rows(); ++r)
        if (!noteRow(r))
            for (int c = 1; c <= sheet.columns(); ++c)
                widths[static_cast<std::size_t>(c)]
                    = std::max(widths[static_cast<std::size_t>(c)], displayWidth(sheet.text(c, r)));
    for (int r = 1; r <= sheet.rows(); ++r) {
        std::string line(sheet.text(1, r));
        if (!noteRow(r))
            for (int c = 2; c <= sheet.columns(); ++c) {
                line.append(static_cast<std::size_t>(std::max(0,
                                widths[static_cast<std::size_t>(c - 1)]
                                    - displayWidth(sheet.text(c - 1, r))))
                        + 1,
                    ' ');
                line += sheet.text(c, r);
            }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        o << line << '\n';
    }
}

} // namespace

int backtestCommand(Context &ctx)
{
    int from = Backtest::DefaultFrom;
    int shift = -1;
    bool allShifts = false;
    std::string format = "text";
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string &a = ctx.args[i];
        const bool hasValue = i + 1 < ctx.args.size();
        if (a == "--from" && hasValue) {
            if (!parseInt(ctx.args[++i], from) || from < 1)
                return ctx.usage("backtest: --from takes a whole number of 1 or more (the n-th "
                                 "complete draw)");
        } else if (a == "--shift" && hasValue) {
            if (!parseInt(ctx.args[++i], shift) || shift < 0 || shift > ReflectionShift::Max)
                return ctx.usage("backtest: --shift takes a whole number from 0 to "
                    + std::to_string(ReflectionShift::Max));
        } else if (a == "--all-shifts") {
            allShifts = true;
        } else if (a == "--format" && hasValue) {
            format = ctx.args[++i];
        } else {
            return ctx.usage("backtest: unexpected argument " + a);
        }
    }
    if (allShifts && shift >= 0)
        return ctx.usage("backtest: give either --shift or --all-shifts");
    if (format != "text" && format != "json" && format != "csv" && format != "html")
        return ctx.usage("backtest: --format is text, json, csv or html");

    // Without a shift, the one of the current switches, as the prediction window would use.
    PredictionOptions options;
    bool fromSettings = false;
    const bool shiftGiven = shift >= 0;
    if (!allShifts && !shiftGiven) {
        std::error_code ec;
        if (std::filesystem::exists(PredictionOptions::FileName, ec)) {
            if (Status s = readInitFile(PredictionOptions::FileName, options); !s)
                return ctx.fail(s.message());
            fromSettings = true;
        }
        shift = ReflectionShift::of(options);
    }
    std::vector<int> shifts;
    if (allShifts) {
        shifts.resize(Backtest::ShiftCount);
        std::iota(shifts.begin(), shifts.end(), 0);
    } else {
        shifts.push_back(shift);
    }

    if (!ctx.load())
        return ExitFailure;
    Backtest backtest;
    if (Status s = backtest.run(ctx.history, from); !s)
        return ctx.fail("backtest: " + s.message());
    const BacktestReport report = makeBacktestReport(backtest);

    std::ostringstream o;
    if (format == "json") {
        writeReportJson(o, report, shifts);
    } else if (format == "csv") {
        writeSheetCsv(o, backtestDataSheet(report, shifts));
    } else if (format == "html") {
        writeSheetsHtml(o, BacktestCaption, backtestSheets(report, shifts));
    } else {
        o << BacktestCaption << '\n';
        if (allShifts) {
            o << "シフト0～" << ReflectionShift::Max << "のすべて\n";
        } else {
            o << "シフト" << shift;
            if (fromSettings)
                o << "（" << PredictionOptions::FileName
                  << "で反映するスイッチ: " << switchList(options) << "）";
            else if (!shiftGiven)
                o << "（" << PredictionOptions::FileName << "がないため、すべて反映しない）";
            else
                o << "（このシフトになるスイッチの例: "
                  << switchList(Backtest::settingsFor(shift).example) << "）";
            o << '\n';
        }
        for (const Sheet &sheet : backtestSheets(report, shifts)) {
            o << "\n【" << sheet.caption() << "】\n";
            writeSheetLines(o, sheet);
        }
        o << "\n結論: " << report.verdict << '\n';
    }
    return writeOutput(ctx, {}, o.str());
}

} // namespace loto6::cli
