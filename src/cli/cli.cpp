#include "cli/cli.h"

#include "store/atomicfile.h"
#include "store/paths.h"

#include <iostream>
#include <string_view>

namespace loto6::cli {

namespace {

struct Command
{
    std::string_view name;
    int (*run)(Context &);
};

constexpr Command Commands[] = {
    {"import", importCommand},
    {"export", exportCommand},
    {"totals", totalsCommand},
    {"list", listCommand},
    {"show", showCommand},
    {"predict", predictCommand},
    {"update", updateCommand},
    {"backtest", backtestCommand},
    {"chance", chanceCommand},
    {"add", addCommand},
};

constexpr const char *UsageText = R"(usage: loto6zumvel-cli [--db FILE] COMMAND [ARGS]

  import [--replace] FILE.csv      add draws from a CSV (or replace the whole history)
  export [-o FILE]                 write the history as canonical CSV
  totals [--format text|json]      the start-up totals
  list                             the analysis names
  show NAME [--format text|csv|json|html] [-o FILE]
                                   one analysis table
  predict [--settings FILE] [--on KEY]... [--format text|json|csv|html]
                                   the prediction
  update [--url URL]               fetch a fresh history, check it, and install it
  backtest [--from N] [--shift S | --all-shifts] [--format text|json|csv|html]
                                   how each prediction method did on past draws
  chance [--format text|json|csv|html]
                                   the history against fair draws
  add DRAW DATE N1 N2 N3 N4 N5 N6 BONUS [--force]
                                   add one complete draw (the next draw number unless --force)
)";

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
    if (Status s = db.loadHistory(history); !s) {
        err << "loto6zumvel-cli: " << s.message() << '\n';
        return false;
    }
    if (history.malformedCount() > 0)
        err << "loto6zumvel-cli: skipped " << history.malformedCount()
            << " draw(s) whose numbers are not whole numbers\n";
    totals = computeTotals(history);
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

int writeOutput(Context &ctx, const std::string &path, const std::string &text)
{
    if (path.empty()) {
        ctx.out << text;
        ctx.out.flush();
        return ctx.out ? ExitOk : ctx.fail("cannot write to standard output");
    }
    if (Status s = writeFileAtomically(path, text); !s)
        return ctx.fail(s.message());
    return ExitOk;
}

int run(int argc, char **argv, std::ostream &out, std::ostream &err)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::filesystem::path db = defaultDatabasePath();
    std::size_t i = 0;
    while (i < args.size() && args[i].starts_with("-")) {
        if (args[i] == "--db") {
            if (i + 1 >= args.size()) {
                err << "loto6zumvel-cli: --db needs a file name\n" << UsageText;
                return ExitUsage;
            }
            db = args[i + 1];
            i += 2;
        } else if (args[i] == "-h" || args[i] == "--help") {
            out << UsageText;
            return ExitOk;
        } else {
            err << "loto6zumvel-cli: unknown option " << args[i] << '\n' << UsageText;
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
            Context ctx{std::vector<std::string>(args.begin() + static_cast<long>(i) + 1,
                            args.end()),
                out, err, db, {}, {}, {}};
            return c.run(ctx);
        }
    }
    err << "loto6zumvel-cli: unknown command " << name << '\n' << UsageText;
    return ExitUsage;
}

} // namespace loto6::cli
