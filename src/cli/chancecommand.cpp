#include "cli/cli.h"

#include "analysis/chance.h"
#include "grid/sheetwriter.h"
#include "store/textcodec.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace loto6::cli {

namespace {

void writeReportJson(std::ostream &o, const ChanceReport &r)
{
    o << "{\"name\": " << jsonString(ChanceSheetName)
      << ", \"caption\": " << jsonString(ChanceCaption) << ", \"draws\": " << r.draws
      << ", \"pairs\": " << r.pairs << ", \"excluded\": " << r.excluded
      << ", \"alpha\": " << jsonNumber(r.alpha) << ", \"testCount\": " << r.availableCount()
      << ", \"notableCount\": " << r.notableCount() << ",\n \"notes\": [";
    for (std::size_t i = 0; i < r.notes.size(); ++i)
        o << (i ? ", " : "") << jsonString(r.notes[i]);
    o << "],\n \"tests\": [";
    for (std::size_t i = 0; i < r.tests.size(); ++i) {
        const ChanceReport::Test &t = r.tests[i];
        o << (i ? ",\n  " : "\n  ") << "{\"key\": " << jsonString(t.key)
          << ", \"title\": " << jsonString(t.title) << ", \"method\": \""
          << (t.method == ChanceReport::Method::ChiSquare         ? "chi-square"
                     : t.method == ChanceReport::Method::Binomial ? "binomial"
                                                                  : "normal")
          << "\", \"observed\": " << jsonNumber(t.observed)
          << ", \"expected\": " << jsonNumber(t.expected)
          << ", \"observedText\": " << jsonString(t.observedText)
          << ", \"expectedText\": " << jsonString(t.expectedText)
          << ", \"statistic\": " << jsonNumber(t.statistic);
        if (t.method == ChanceReport::Method::ChiSquare)
            o << ", \"df\": " << jsonNumber(t.df);
        o << ", \"pValue\": " << jsonNumber(t.pValue)
          << ", \"adjustedP\": " << jsonNumber(t.adjustedP)
          << ", \"notable\": " << (t.notable ? "true" : "false")
          << ", \"rough\": " << (t.rough ? "true" : "false")
          << ", \"sentence\": " << jsonString(t.sentence) << ", \"categories\": [";
        for (std::size_t c = 0; c < t.categories.size(); ++c) {
            const ChanceReport::Category &cat = t.categories[c];
            o << (c ? ", " : "") << "{\"label\": " << jsonString(cat.label)
              << ", \"observed\": " << jsonNumber(cat.observed)
              << ", \"expected\": " << jsonNumber(cat.expected) << '}';
        }
        o << "]}";
    }
    o << "\n]}\n";
}

} // namespace

int chanceCommand(Context &ctx)
{
    std::string format = "text";
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        if (ctx.args[i] == "--format" && i + 1 < ctx.args.size())
            format = ctx.args[++i];
        else
            return ctx.usage("chance: unexpected argument " + quotedForMessage(ctx.args[i]));
    }
    if (format != "text" && format != "json" && format != "csv" && format != "html")
        return ctx.usage("chance: --format is text, json, csv or html");
    if (!ctx.load())
        return ExitFailure;
    const ChanceReport report = computeChance(ctx.history);
    std::ostringstream o;
    if (format == "json") {
        writeReportJson(o, report);
    } else {
        const Sheet sheet = chanceSheet(report);
        if (format == "csv")
            writeSheetCsv(o, sheet);
        else if (format == "html")
            writeSheetHtml(o, sheet);
        else
            writeSheetText(o, sheet);
    }
    return writeOutput(ctx, {}, o.str());
}

} // namespace loto6::cli
