#include "testsupport.h"

#include "analysis/catalog.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace loto6;
using loto6::test::CliRun;
using loto6::test::runCli;
using loto6::test::TempDir;

namespace {

// The first `count` lines of draws of the bundled history, as a CSV file.
std::filesystem::path firstDraws(const TempDir &dir, int count)
{
    std::ifstream in(SHARED_HISTORY);
    const auto file = dir / ("first" + std::to_string(count) + ".csv");
    std::ofstream out(file);
    std::string line;
    for (int i = 0; i <= count && std::getline(in, line); ++i)
        out << line << '\n';
    return file;
}

std::string database(const TempDir &dir, const std::string &name, const std::filesystem::path &csv)
{
    const std::string db = (dir / name).string();
    const CliRun r = runCli({"--db", db, "import", "--replace", csv.string()});
    EXPECT_EQ(r.code, 0) << r.err;
    return db;
}

} // namespace

TEST(AsOf, EveryReadEqualsADatabaseHoldingOnlyTheDrawsUpToN)
{
    TempDir dir;
    constexpr int N = 1234;
    const std::string full = database(dir, "full.db", SHARED_HISTORY);
    const std::string cut = database(dir, "cut.db", firstDraws(dir, N));
    const std::string asOf = std::to_string(N);
    std::vector<std::vector<std::string>> commands;
    for (const AnalysisInfo &a : analyses())
        commands.push_back({"show", std::string(a.name), "--format", "json"});
    commands.push_back({"predict", "--format", "json", "--settings", (dir / "none.ini").string()});
    commands.push_back({"predict", "--settings", (dir / "none.ini").string(), "--on",
        std::string(PredictionOptions::key(3))});
    commands.push_back({"totals", "--format", "json"});
    commands.push_back({"chance", "--format", "json"});
    commands.push_back({"check", "2", "8", "10", "13", "27", "30", "--format", "json"});
    for (const auto &command : commands) {
        std::vector<std::string> onCut{"--db", cut};
        std::vector<std::string> onFull{"--db", full, "--as-of", asOf};
        onCut.insert(onCut.end(), command.begin(), command.end());
        onFull.insert(onFull.end(), command.begin(), command.end());
        const CliRun a = runCli(onCut);
        const CliRun b = runCli(onFull);
        ASSERT_EQ(a.code, 0) << command[0] << ' ' << a.err;
        ASSERT_EQ(b.code, 0) << command[0] << ' ' << b.err;
        EXPECT_EQ(a.out, b.out) << command[0] << ' ' << command[1];
    }
    EXPECT_NE(runCli({"--db", full, "totals"}).out, runCli({"--db", cut, "totals"}).out);
}

TEST(AsOf, RefusedForWritesAndBadNumbers)
{
    TempDir dir;
    const std::string db = (dir / "t.db").string();
    struct Row
    {
        const char *name;
        std::vector<std::string> args;
    };
    const Row rows[] = {
        {"import", {"--as-of", "5", "import", SHARED_HISTORY}},
        {"export", {"--as-of", "5", "export"}},
        {"tickets add", {"--as-of", "5", "tickets", "add", "1", "2", "3", "4", "5", "6"}},
        {"tickets record", {"--as-of", "5", "tickets", "record"}},
        {"zero", {"--as-of", "0", "totals"}},
        {"text", {"--as-of", "ten", "totals"}},
        {"missing", {"--as-of"}},
    };
    for (const Row &r : rows) {
        std::vector<std::string> args{"--db", db};
        args.insert(args.end(), r.args.begin(), r.args.end());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.code, 2) << r.name;
        EXPECT_NE(run.err.find("--as-of"), std::string::npos) << r.name << ": " << run.err;
    }
}

TEST(TicketCommands, AddListCheckRemove)
{
    TempDir dir;
    const std::string db = database(dir, "t.db", firstDraws(dir, 10));
    CliRun r = runCli({"--db", db, "tickets", "add", "02", "08", "10", "13", "27", "30", "--from",
        "1", "--draws", "3", "--units", "2", "--memo", "first"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("added ticket 1: 02 08 10 13 27 30, draw 1 to 3"), std::string::npos)
        << r.out;
    r = runCli({"--db", db, "tickets", "add", "1 2 3 4 5 6"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("draw 11"), std::string::npos) << r.out; // the next draw by default

    r = runCli({"--db", db, "tickets", "add", "1", "2", "3", "4", "5", "44"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("44"), std::string::npos);
    EXPECT_EQ(runCli({"--db", db, "tickets", "add", "1", "2", "3"}).code, 2);

    r = runCli({"--db", db, "tickets", "list", "--format", "csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("first"), std::string::npos);

    r = runCli({"--db", db, "tickets", "check", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    // Draw 1's 1等 paid 45,513,600 yen a unit, from the bundled payouts.
    EXPECT_NE(r.out.find("\"units\": 6, \"ungraded\": 1, \"cost\": 1200, \"winnings\": 91027200"),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"tierUnits\": [2, 0, 0, 0, 0]"), std::string::npos) << r.out;

    EXPECT_EQ(runCli({"--db", db, "tickets", "remove", "1"}).code, 0);
    r = runCli({"--db", db, "tickets", "remove", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("no ticket 1"), std::string::npos) << r.err;
}

TEST(TicketCommands, RecordedPredictionIsGradedOnceItsDrawIsAdded)
{
    TempDir dir;
    const std::string db = database(dir, "t.db", firstDraws(dir, 100));
    const std::string settings = (dir / "none.ini").string();
    CliRun r = runCli({"--db", db, "tickets", "record", "--settings", settings});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("for draw 101"), std::string::npos) << r.out;
    r = runCli({"--db", db, "tickets", "check", "--format", "json"});
    EXPECT_NE(r.out.find("\"lines\": 0, \"units\": 0, \"ungraded\": 1"), std::string::npos)
        << r.out;

    ASSERT_EQ(runCli({"--db", db, "import", firstDraws(dir, 101).string()}).code, 0);
    r = runCli({"--db", db, "tickets", "check", "--format", "json"});
    EXPECT_NE(r.out.find("\"lines\": 1, \"units\": 1, \"ungraded\": 0"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("第101回"), std::string::npos);
}

TEST(TicketCommands, CheckFindsDrawOneOnTheRealHistory)
{
    TempDir dir;
    const std::string db = database(dir, "t.db", SHARED_HISTORY);
    const CliRun r = runCli({"--db", db, "check", "30", "27", "13", "10", "8", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("第1回"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("1等"), std::string::npos) << r.out;
    EXPECT_EQ(runCli({"--db", db, "check", "1", "1", "2", "3", "4", "5"}).code, 2);
}
