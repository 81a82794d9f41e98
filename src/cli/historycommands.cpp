#include "cli/cli.h"

#include "analysis/catalog.h"
#include "grid/sheetwriter.h"
#include "store/csvhistory.h"
#include "store/drawvalidation.h"
#include "store/historyimport.h"
#include "store/prizestore.h"
#include "store/textcodec.h"

#include <sstream>

namespace loto6::cli {

int importCommand(Context &ctx)
{
    std::optional<MergeMode> mode;
    std::vector<std::filesystem::path> files;
    for (const std::string &a : ctx.args) {
        const std::optional<MergeMode> given = a == "--replace" ? std::optional(MergeMode::Replace)
            : a == "--allow-loss" ? std::optional(MergeMode::AllowLoss)
                                  : std::nullopt;
        if (given && mode && *mode != *given)
            return ctx.usage("import: give either --replace or --allow-loss, not both");
        if (given)
            mode = given;
        else if (a.starts_with("-"))
            return ctx.usage("import: unknown option " + quotedForMessage(a));
        else
            files.emplace_back(a);
    }
    if (files.empty())
        return ctx.usage("import: name the history files to import");
    IncomingHistory in;
    if (Status s = readHistoryFiles(files, in); !s)
        return ctx.fail("import: " + s.message() + "; nothing was imported");
    if (!ctx.openDatabase())
        return ExitFailure;
    MergeReport report;
    const Status s = mergeHistory(ctx.db, in, mode.value_or(MergeMode::Add), report);
    if (!s && !report.conflicts.empty()) {
        ctx.err << report.conflictList();
        return ctx.fail("import: " + s.message()
            + ". Check the files; --allow-loss takes their draws instead of the ones held, "
              "--replace makes the history exactly the files' draws");
    }
    if (!s)
        return ctx.fail("import: " + s.message());
    if (!report.conflicts.empty())
        ctx.err << "replaced:\n" << report.conflictList();
    ctx.err << "imported " << in.size() << " draw(s) from " << files.size()
            << " file(s): " << report.summary() << '\n';
    return ExitOk;
}

int exportCommand(Context &ctx)
{
    OutputPath output;
    std::string problem;
    bool withPrizes = false;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        if (const std::optional<Status> taken = takeOutputOption(ctx.args, i, output)) {
            if (!*taken)
                problem = taken->message();
            continue;
        }
        if (ctx.args[i] != "--with-prizes")
            return ctx.usage("export: unexpected argument " + quotedForMessage(ctx.args[i]));
        withPrizes = true;
    }
    if (!problem.empty())
        return ctx.usage("export: " + problem);
    if (!ctx.openDatabase())
        return ExitFailure;
    std::vector<DrawRecord> draws;
    if (Status s = ctx.db.readDraws(draws); !s)
        return ctx.fail(s.message());
    // Every stored payout as it is, checked or not: an export loses nothing.
    std::map<int, DrawPrizes> prizes;
    if (Status s = forEachPrizes(ctx.db, [&](const DrawPrizes &p) { prizes[p.drawNo] = p; });
        withPrizes && !s)
        return ctx.fail(s.message());
    if (const std::string warning = storedValuesWarning(draws); !warning.empty())
        ctx.err << "loto6zumvel-cli: warning: " << warning << '\n';
    return writeOutput(ctx, output, [&](std::ostream &text) {
        if (withPrizes)
            exportPrizeHistory(text, draws, prizes);
        else
            exportCsv(text, draws);
    });
}

int sourcesCommand(Context &ctx)
{
    std::optional<int> drawNo;
    for (const std::string &a : ctx.args) {
        if (drawNo)
            return ctx.usage("sources: give at most one draw number");
        int n = 0;
        if (const std::string problem = drawNumberProblem(a, n); !problem.empty())
            return ctx.usage("sources: " + quotedForMessage(a) + " " + problem);
        drawNo = n;
    }
    if (!ctx.openDatabase())
        return ExitFailure;
    std::vector<DrawSource> sources;
    if (Status s = readSources(ctx.db, drawNo, sources); !s)
        return ctx.fail("sources: " + s.message());
    if (drawNo && sources.empty())
        return ctx.fail("sources: nothing is recorded for draw " + std::to_string(*drawNo)
            + " (it is not held, or it came with a database made before sources were kept)");
    std::ostringstream o;
    for (const DrawSource &src : sources)
        o << src.drawNo << '\t' << src.when << '\t' << src.changeText() << '\t' << src.origin()
          << '\n';
    return writeOutput(ctx, {}, o.str());
}

int totalsCommand(Context &ctx)
{
    std::string format = "text";
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        if (ctx.args[i] == "--format" && i + 1 < ctx.args.size())
            format = ctx.args[++i];
        else
            return ctx.usage("totals: unexpected argument " + quotedForMessage(ctx.args[i]));
    }
    if (format != "text" && format != "json")
        return ctx.usage("totals: --format is text or json");
    if (!ctx.load())
        return ExitFailure;
    const Totals &t = *ctx.totals;
    std::ostringstream o;
    if (format == "json") {
        o << "{\"latestDrawNo\": " << t.latestDrawNo << ", \"maxAppearance\": " << t.maxAppearance
          << ", \"countRowTotal\": " << t.countRowTotal << ", \"appearanceCount\": {";
        for (int n = 1; n <= HighestNumber; ++n)
            o << (n > 1 ? ", " : "") << '"' << n << "\": " << t.count(n);
        o << "}, \"numbersByCount\": [";
        for (std::size_t c = 0; c < t.numbersByCount.size(); ++c)
            o << (c ? ", " : "") << jsonString(t.numbersByCount[c]);
        o << "]}\n";
    } else {
        o << "LatestDrawNo   " << t.latestDrawNo << '\n'
          << "MaxAppearance  " << t.maxAppearance << '\n'
          << "CountRowTotal  " << t.countRowTotal << '\n'
          << "AppearanceCount\n";
        for (int n = 1; n <= HighestNumber; ++n)
            o << "  " << (n < 10 ? " " : "") << n << "  " << t.count(n) << '\n';
        o << "NumbersByCount\n";
        for (std::size_t c = 0; c < t.numbersByCount.size(); ++c)
            if (!t.numbersByCount[c].empty())
                o << "  " << c << "  " << t.numbersByCount[c] << '\n';
    }
    return writeOutput(ctx, {}, o.str());
}

int listCommand(Context &ctx)
{
    if (!ctx.args.empty())
        return ctx.usage("list takes no arguments");
    std::ostringstream o;
    for (const AnalysisInfo &a : analyses())
        o << a.name << '\t' << a.className << '\n';
    return writeOutput(ctx, {}, o.str());
}

int showCommand(Context &ctx)
{
    std::string name, formatName = "text", problem;
    OutputPath output;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string &a = ctx.args[i];
        if (a == "--format" && i + 1 < ctx.args.size())
            formatName = ctx.args[++i];
        else if (const std::optional<Status> taken = takeOutputOption(ctx.args, i, output)) {
            if (!*taken)
                problem = taken->message();
        } else if (a.starts_with("-"))
            return ctx.usage("show: unknown option " + quotedForMessage(a));
        else if (name.empty())
            name = a;
        else
            return ctx.usage("show: only one analysis may be named");
    }
    if (!problem.empty())
        return ctx.usage("show: " + problem);
    if (name.empty())
        return ctx.usage("show: name an analysis (see list)");
    const AnalysisInfo *info = findAnalysis(name);
    if (!info)
        return ctx.usage("show: unknown analysis " + quotedForMessage(name) + " (see list)");
    SheetFormat format;
    if (!parseSheetFormat(formatName, format))
        return ctx.usage("show: --format is text, csv, json or html");
    if (!ctx.load())
        return ExitFailure;
    const Sheet sheet = buildAnalysis(*info, ctx.history, *ctx.totals);
    if (sheet.rowsCut())
        ctx.err << "loto6zumvel-cli: show: the table is cut to its first " << Sheet::MaxRows
                << " rows; draw numbers beyond them are not shown\n";
    if (sheet.columnsCut())
        ctx.err << "loto6zumvel-cli: show: the table is cut to its first " << Sheet::MaxColumns
                << " columns; the columns beyond them are not shown\n";
    return writeOutput(ctx, output, [&](std::ostream &o) { writeSheet(o, sheet, format); });
}

} // namespace loto6::cli
