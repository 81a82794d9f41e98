#pragma once

#include "grid/sheet.h"
#include "prediction/prediction.h"
#include "prediction/predictionoptions.h"
#include "store/database.h"
#include "store/drawhistory.h"
#include "store/drawprizes.h"
#include "store/result.h"
#include "store/totals.h"

#include <array>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace loto6::cli {

enum ExitCode { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

// What every command gets: its arguments, the output streams and the database.
struct Context
{
    std::vector<std::string> args; // after the command name
    std::ostream &out;
    std::ostream &err;
    std::filesystem::path dbPath;
    int asOf = Database::NoCut; // --as-of: read the history as it stood after this draw
    Database db;
    DrawHistory history;
    std::optional<Totals> totals; // from load()
    bool changed = false;         // the command's change is committed (see confirmChange)

    // Opens (or creates) the database; reports on err and returns false on failure.
    bool openDatabase();
    // Opens the database and loads the history (cut after --as-of) and totals once.
    bool load();
    // load(), and the stored payouts by draw number (none when the database holds none).
    bool loadWithPrizes(std::map<int, DrawPrizes> &prizes);
    int fail(const std::string &message) const;
    int usage(const std::string &message) const;
};

// Runs the command line; argv[0] is the program name.
int run(int argc, char **argv, std::ostream &out, std::ostream &err);

// Commands; each takes its own options from ctx.args.
int importCommand(Context &ctx);
int exportCommand(Context &ctx);
int sourcesCommand(Context &ctx);
int totalsCommand(Context &ctx);
int listCommand(Context &ctx);
int showCommand(Context &ctx);
int predictCommand(Context &ctx);
int updateCommand(Context &ctx);
int backtestCommand(Context &ctx);
int chanceCommand(Context &ctx);
int addCommand(Context &ctx);
int ticketsCommand(Context &ctx);
int checkCommand(Context &ctx);
int popularityCommand(Context &ctx);
int chartCommand(Context &ctx);
int designCommand(Context &ctx);
int wheelCommand(Context &ctx);
int oddsCommand(Context &ctx);
int summaryCommand(Context &ctx);

// --settings FILE and --on KEY of predict and tickets record.
struct SwitchArgs
{
    std::filesystem::path settings = PredictionOptions::FileName;
    bool settingsNamed = false;
    std::vector<std::string> onKeys;

    // Takes the option at args[i] and its value when it is one of these; moves i past it.
    bool take(const std::vector<std::string> &args, std::size_t &i);
};
// The switches from the settings file with the --on keys added; ExitOk or the exit code.
int loadSwitches(
    Context &ctx, std::string_view command, const SwitchArgs &args, PredictionOptions &options);
// The switches as loadSwitches gives them, the history loaded and the prediction for the
// draw after the latest one, as `predict` shows it; ExitOk or the exit code.
int predictFromArgs(Context &ctx, std::string_view command, const SwitchArgs &args,
    PredictionOptions &options, Prediction &prediction);

// Where a command's output goes: standard output when no -o was given (or -o -), else the file.
using OutputPath = std::optional<std::string>;
// Takes -o FILE or --output FILE at args[i] into `output` and moves i past it; nothing when
// args[i] is not that option with a value. An empty FILE names no file: a failure says so.
std::optional<Status> takeOutputOption(
    const std::vector<std::string> &args, std::size_t &i, OutputPath &output);
// Writes to standard output (no path, or "-") or to that file: never the database in use or
// its backup, an ordinary file atomically, a device or pipe in place. `write` gives the output
// straight to standard output, and into a buffer for a file.
int writeOutput(
    Context &ctx, const OutputPath &path, const std::function<void(std::ostream &)> &write);
int writeOutput(Context &ctx, const OutputPath &path, const std::string &text);
// After a committed change: writes its confirmation to standard output. The change happened,
// so the exit status is success even when the confirmation cannot be written (then a warning).
int confirmChange(Context &ctx, const std::string &text);

} // namespace loto6::cli
