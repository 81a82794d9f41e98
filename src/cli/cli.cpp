#include "cli/cli.h"

#include "store/drawvalidation.h"
#include "store/outputfile.h"
#include "store/paths.h"
#include "store/prizestore.h"
#include "store/textcodec.h"

#include <iostream>
#include <sstream>
#include <string_view>

namespace loto6::cli {

namespace {

struct Command
{
    std::string_view name;
    int (*run)(Context &);
    // Takes --as-of. A command that changes the database never does: its change would be made
    // on a cut history. tickets decides per subcommand.
    bool readsOnly = false;
};

constexpr Command Commands[] = {
    {"import", importCommand},
    {"export", exportCommand},
    {"sources", sourcesCommand},
    {"totals", totalsCommand, true},
    {"list", listCommand, true},
    {"show", showCommand, true},
    {"predict", predictCommand, true},
    {"update", updateCommand},
    {"backtest", backtestCommand, true},
    {"chance", chanceCommand, true},
    {"tickets", ticketsCommand, true},
    {"check", checkCommand, true},
    {"chart", chartCommand, true},
    {"add", addCommand},
    {"design", designCommand, true},
    {"wheel", wheelCommand, true},
    {"odds", oddsCommand, true},
    {"popularity", popularityCommand, true},
    {"summary", summaryCommand, true},
};

constexpr const char *UsageText = R"(usage: loto6zumvel-cli [--db FILE] [--as-of N] COMMAND [ARGS]

  import [--replace | --allow-loss] FILE...
                                   add draws from history files of any published layout
                                   (or replace the whole history)
  export [--with-prizes] [-o FILE] write the history as canonical CSV (with the payouts)
  sources [DRAW]                   where each draw came from
  totals [--format text|json]      the start-up totals
  list                             the analysis names
  show NAME [--format text|csv|json|html] [-o FILE]
                                   one analysis table
  predict [--settings FILE] [--on KEY]... [--format text|json|csv|html]
                                   the prediction
  update [--url URL] [--allow-loss]
                                   fetch new draws, check them, and add them
  backtest [--from N] [--shift S | --all-shifts] [--format text|json|csv|html]
                                   how each prediction method did on past draws
  chance [--format text|json|csv|html]
                                   the history against fair draws
  add DRAW DATE N1 N2 N3 N4 N5 N6 BONUS [--force]
                                   add one complete draw (the next draw number unless --force)
  tickets add N1 .. N6 [--from DRAW] [--draws K] [--units U] [--memo TEXT]
  tickets list | remove ID | check [--format text|json|csv|html] [-o FILE]
  tickets record [--settings FILE] [--on KEY]... [--elimination] [--consecutive]
                                   the ticket book: add, list, remove, grade (with each
                                   line's popularity and expected yen); record the
                                   current one-shot line as a ticket for the next draw
  check N1 .. N6 [--popularity] [--format text|json|csv|html] [-o FILE]
                                   one combination against every past draw, with its
                                   popularity and expected yen beside a random ticket's
                                   when the payouts hold sales (--popularity: required)
  popularity N1 .. N6 [--sales YEN] [--carry-over YEN] [--format text|json]
  popularity --backtest [--from N] [--format text|json|csv]
                                   how popular a combination is with players and what that
                                   makes a ticket worth in yen (popularity --help); popularity
                                   never changes the chance of winning, only how a prize is
                                   shared, and the model is an estimate from past winner counts
  summary [DRAW] [--settings FILE] [--on KEY]... [--format text|json|html]
                                   what a draw (the newest unless DRAW) did: its numbers and
                                   payouts, the book's tickets on it with the running
                                   balance, the recorded predictions for it, and the
                                   prediction lines for the draw after it
  chart NAME [--number N] [--format svg|csv|json] [-o FILE]
                                   one chart against the exact law of fair draws
  chart --list                     the chart names
  design [FILTER]... --count | --pick K [--seed S] [--add-to-book [--draws K]]
         [--sort popularity] [--popularity] [--format text|json|csv]
    FILTER: --sum A-B --odd A-B --low A-B --consecutive A-B --last-digits A-B
            --include N,N.. --exclude N,N.. --pool N,N.. --carry-over A-B --not-drawn
            --least-popular X (only the least popular X% of combinations)
            --include-patterns (keep the pattern tickets, such as 1 2 3 4 5 6, that
                                --least-popular and --sort popularity leave out)
                                   count the combinations that pass, or pick K of them
                                   (least popular first with --sort popularity; each
                                   one's popularity and expected yen with --popularity)
  wheel N1 .. Nn --win T --if P | --full [--seconds X] [--add-to-book [--draws K]]
        [--format text|json|csv]   tickets from a pool with a checked guarantee
  odds N1..N6 [N1..N6]... | --book [--format text|json]
                                   what a set of tickets buys in the next draw, each
                                   ticket's own expected yen from its popularity

  --as-of N (before the command) makes every read command see the history as it stood with
  draws 1..N only: the tables, predict, chance, backtest, totals, check, tickets check,
  summary and popularity.
)";

// An empty -o value is refused: it must never fall back to standard output.
std::string noFileNamed(const std::string &option)
{
    return option + " \"\" names no file: give a file name, or - for standard output";
}

} // namespace

bool Context::openDatabase()
{
    if (db.isOpen())
        return true;
    Status s = db.openOrCreate(dbPath, bundledHistoryPath());
    if (!s) {
        err << "loto6zumvel-cli: " << s.message() << '\n';
        return false;
    }
    return true;
}

bool Context::load()
{
    if (!openDatabase())
        return false;
    StoredValuesCheck check;
    if (Status s = db.loadHistory(history, asOf, &check); !s) {
        err << "loto6zumvel-cli: " << s.message() << '\n';
        return false;
    }
    if (const std::string warning = storedValuesWarning(check); !warning.empty())
        err << "loto6zumvel-cli: warning: " << warning << '\n';
    if (history.malformedCount() > 0)
        err << "loto6zumvel-cli: skipped " << history.malformedCount()
            << " draw(s) whose numbers are not whole numbers\n";
    totals = computeTotals(history);
    return true;
}

bool Context::loadWithPrizes(std::map<int, DrawPrizes> &prizes)
{
    if (!load())
        return false;
    StoredPayoutsCheck check;
    if (Status s = readPrizes(db, prizes, &check); !s) {
        err << "loto6zumvel-cli: " << s.message() << '\n';
        return false;
    }
    if (const std::string warning = storedPayoutsWarning(check); !warning.empty())
        err << "loto6zumvel-cli: warning: " << warning << '\n';
    return true;
}

int Context::fail(const std::string &message) const
{
    err << "loto6zumvel-cli: " << message << '\n';
    return ExitFailure;
}

int Context::usage(const std::string &message) const
{
    err << "loto6zumvel-cli: " << message << '\n';
    return ExitUsage;
}

std::optional<Status> takeOutputOption(
    const std::vector<std::string> &args, std::size_t &i, OutputPath &output)
{
    if ((args[i] != "-o" && args[i] != "--output") || i + 1 >= args.size())
        return std::nullopt;
    const std::string &option = args[i];
    output = args[++i];
    return output->empty() ? Status::failure(noFileNamed(option)) : Status::success();
}

int writeOutput(
    Context &ctx, const OutputPath &path, const std::function<void(std::ostream &)> &write)
{
    if (!path || *path == "-") {
        write(ctx.out);
        ctx.out.flush();
        return ctx.out ? ExitOk : ctx.fail("cannot write to standard output");
    }
    if (path->empty()) // refused where -o is read; never standard output in its place
        return ctx.usage(noFileNamed("-o"));
    // The database and its companions are never output, under whatever name they are given.
    std::ostringstream text;
    write(text);
    if (Status s = writeOutputFile(*path, text.view(), databaseFiles(ctx.dbPath)); !s)
        return ctx.fail(s.message());
    return ExitOk;
}

int writeOutput(Context &ctx, const OutputPath &path, const std::string &text)
{
    return writeOutput(ctx, path, [&text](std::ostream &out) { out << text; });
}

int confirmChange(Context &ctx, const std::string &text)
{
    ctx.changed = true;
    ctx.out << text;
    ctx.out.flush();
    if (!ctx.out)
        ctx.err << "loto6zumvel-cli: warning: the change was made, but its confirmation could not "
                   "be written to standard output\n";
    return ExitOk;
}

namespace {

// Everything written to standard output must have reached it: a failed write is a failure,
// except after a committed change, which confirmChange has reported.
int finished(std::ostream &out, std::ostream &err, int code, bool changed)
{
    out.flush();
    if (out || changed || code != ExitOk)
        return code;
    err << "loto6zumvel-cli: cannot write to standard output (closed, or the disk is full)\n";
    return ExitFailure;
}

int runCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace

int run(int argc, char **argv, std::ostream &out, std::ostream &err)
{
    return runCommand(std::vector<std::string>(argv + 1, argv + argc), out, err);
}

namespace {

int runCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    std::filesystem::path db = defaultDatabasePath();
    int asOf = Database::NoCut;
    std::size_t i = 0;
    while (i < args.size() && args[i].starts_with("-")) {
        if (args[i] == "--db") {
            if (i + 1 >= args.size()) {
                err << "loto6zumvel-cli: --db needs a file name\n" << UsageText;
                return ExitUsage;
            }
            db = args[i + 1];
            i += 2;
        } else if (args[i] == "--as-of") {
            if (i + 1 >= args.size()) {
                err << "loto6zumvel-cli: --as-of needs a draw number\n" << UsageText;
                return ExitUsage;
            }
            if (const std::string problem = drawNumberProblem(args[i + 1], asOf);
                !problem.empty()) {
                err << "loto6zumvel-cli: --as-of " << quotedForMessage(args[i + 1]) << ' '
                    << problem << '\n';
                return ExitUsage;
            }
            i += 2;
        } else if (args[i] == "-h" || args[i] == "--help") {
            out << UsageText;
            return finished(out, err, ExitOk, false);
        } else {
            err << "loto6zumvel-cli: unknown option " << quotedForMessage(args[i]) << '\n'
                << UsageText;
            return ExitUsage;
        }
    }
    if (i >= args.size()) {
        err << UsageText;
        return ExitUsage;
    }
    const std::string name = args[i];
    for (const Command &c : Commands) {
        if (c.name == name) {
            if (asOf != Database::NoCut && !c.readsOnly) {
                err << "loto6zumvel-cli: --as-of is for commands that only read; " << name
                    << " changes or writes the whole history, so run it without --as-of\n";
                return ExitUsage;
            }
            Context ctx{
                std::vector<std::string>(args.begin() + static_cast<long>(i) + 1, args.end()), out,
                err, db, asOf, {}, {}, {}, false};
            const int code = c.run(ctx);
            return finished(out, err, code, ctx.changed);
        }
    }
    err << "loto6zumvel-cli: unknown command " << quotedForMessage(name) << '\n' << UsageText;
    return ExitUsage;
}

} // namespace

} // namespace loto6::cli
