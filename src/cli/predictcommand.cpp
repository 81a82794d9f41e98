#include "cli/cli.h"

#include "grid/sheetwriter.h"
#include "prediction/predictionengine.h"
#include "prediction/predictionoptions.h"
#include "prediction/predictionsheets.h"
#include "prediction/reflectionshift.h"
#include "store/textcodec.h"

#include <filesystem>
#include <sstream>

namespace loto6::cli {

namespace {

// A grid as lines: the label column, then the six number cells right-aligned.
void writeGridText(std::ostream &o, const Sheet &sheet)
{
    constexpr int LabelWidth = 10;
    o << sheet.caption() << '\n';
    o << std::string(LabelWidth, ' ') << "   本 数 字\n";
    for (int r = 2; r <= sheet.rows(); ++r) {
        std::string line(sheet.text(1, r));
        line.append(static_cast<std::size_t>(std::max(0, LabelWidth - displayWidth(line))), ' ');
        for (int c = 2; c <= sheet.columns(); ++c) {
            const std::string_view t = sheet.text(c, r);
            line.append(t.size() < 4 ? 4 - t.size() : 1, ' ');
            line += t;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        o << line << '\n';
    }
}

} // namespace

bool SwitchArgs::take(const std::vector<std::string> &args, std::size_t &i)
{
    if (i + 1 >= args.size())
        return false;
    if (args[i] == "--settings") {
        settings = args[++i];
        settingsNamed = true;
        return true;
    }
    if (args[i] == "--on") {
        onKeys.push_back(args[++i]);
        return true;
    }
    return false;
}

int loadSwitches(
    Context &ctx, std::string_view command, const SwitchArgs &args, PredictionOptions &options)
{
    for (const std::string &key : args.onKeys)
        if (PredictionOptions::indexOf(key) < 0)
            return ctx.usage(std::string(command) + ": unknown switch " + quotedForMessage(key)
                + " (keys as in " + PredictionOptions::FileName + ", such as "
                + std::string(PredictionOptions::key(0)) + ")");
    std::error_code ec;
    if (std::filesystem::exists(args.settings, ec)) {
        std::vector<int> notUnderstood;
        if (Status s = readInitFile(args.settings, options, &notUnderstood); !s)
            return ctx.fail(s.message());
        if (!notUnderstood.empty())
            ctx.err << "loto6zumvel-cli: warning: " << quotedForMessage(args.settings.string())
                    << ": " << notUnderstoodText(notUnderstood) << '\n';
    } else if (args.settingsNamed) {
        // A missing settings file means every switch off, as at a first start.
        ctx.err << "loto6zumvel-cli: " << args.settings.string()
                << " does not exist; all switches are off\n";
    }
    for (const std::string &key : args.onKeys)
        options.on[static_cast<std::size_t>(PredictionOptions::indexOf(key))] = true;
    return ExitOk;
}

int predictFromArgs(Context &ctx, std::string_view command, const SwitchArgs &args,
    PredictionOptions &options, Prediction &prediction)
{
    if (const int code = loadSwitches(ctx, command, args, options); code != ExitOk)
        return code;
    if (!ctx.load())
        return ExitFailure;
    PredictionEngine engine;
    engine.scan(ctx.history);
    prediction = engine.predict(ctx.totals->latestDrawNo, options);
    return ExitOk;
}

int predictCommand(Context &ctx)
{
    SwitchArgs switches;
    std::string format = "text";
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string &a = ctx.args[i];
        if (switches.take(ctx.args, i))
            continue;
        if (a == "--format" && i + 1 < ctx.args.size())
            format = ctx.args[++i];
        else
            return ctx.usage("predict: unexpected argument " + quotedForMessage(a));
    }
    if (format != "text" && format != "json" && format != "csv" && format != "html")
        return ctx.usage("predict: --format is text, json, csv or html");

    PredictionOptions options;
    Prediction prediction;
    if (const int code = predictFromArgs(ctx, "predict", switches, options, prediction);
        code != ExitOk)
        return code;
    const auto sheets = buildPredictionSheets(prediction);

    std::ostringstream o;
    if (format == "json") {
        o << "{\"name\": \"prediction\", \"reflectionShift\": " << prediction.reflectionShift
          << ",\n \"grids\": [";
        for (std::size_t g = 0; g < sheets.size(); ++g) {
            o << (g ? ",\n" : "\n");
            writeSheetJsonObject(o, sheets[g]);
        }
        o << "\n]}\n";
    } else if (format == "csv") {
        writeSheetsCsv(o, sheets);
    } else if (format == "html") {
        writeSheetsHtml(o, "一発ズンベル予想", sheets);
    } else {
        o << "一発ズンベル予想\n"
          << "latest draw " << prediction.latestDrawNo << ", reflection shift "
          << prediction.reflectionShift << " of " << ReflectionShift::Max << '\n';
        for (int i = 0; i < PredictionOptions::Count; ++i)
            if (options.on[static_cast<std::size_t>(i)])
                o << "  反映する: " << PredictionOptions::key(i) << " ("
                  << ReflectionShift::weight(i) << ")\n";
        for (const Sheet &sheet : sheets) {
            o << '\n';
            writeGridText(o, sheet);
        }
    }
    return writeOutput(ctx, {}, o.str());
}

} // namespace loto6::cli
