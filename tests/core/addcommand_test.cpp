#include "testsupport.h"

#include "store/drawvalidation.h"

#include <gtest/gtest.h>

using namespace loto6;
using loto6::test::CliRun;
using loto6::test::runCli;
using loto6::test::TempDir;

namespace {

// A fresh database seeded with the bundled history, and its latest draw.
struct FreshDatabase
{
    TempDir dir;
    std::string db = (dir / "fresh.db").string();
    int latest = 0;
    std::string latestDate;

    FreshDatabase()
    {
        const CliRun r = runCli({"--db", db, "export"});
        EXPECT_EQ(r.code, 0) << r.err;
        const std::string last = lastLine(r.out);
        latest = std::stoi(last.substr(0, last.find(',')));
        latestDate = last.substr(last.find(',') + 1, 10);
    }

    static std::string lastLine(const std::string &text)
    {
        const std::size_t end = text.find_last_not_of('\n');
        const std::size_t start = text.rfind('\n', end);
        return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
    }

    CliRun add(std::vector<std::string> args) const
    {
        args.insert(args.begin(), {"--db", db, "add"});
        return runCli(args);
    }
};

} // namespace

TEST(AddCommand, AddsTheNextDrawToAFreshDatabase)
{
    FreshDatabase f;
    const std::string next = std::to_string(f.latest + 1);
    const std::string date = nextDrawDay(f.latestDate);
    ASSERT_FALSE(date.empty()) << f.latestDate;
    const CliRun r = f.add({next, date, "02", "8", "10", "13", "27", "30", "39"});
    ASSERT_EQ(r.code, 0) << r.err;
    const CliRun exported = runCli({"--db", f.db, "export"});
    EXPECT_EQ(FreshDatabase::lastLine(exported.out), next + "," + date + ",2,8,10,13,27,30,39");
}

TEST(AddCommand, ForceAddsADrawNumberThatIsNotTheNext)
{
    FreshDatabase f;
    const std::string far = std::to_string(f.latest + 10);
    EXPECT_EQ(f.add({far, "2030-01-07", "1", "2", "3", "4", "5", "6", "7"}).code, 1);
    const CliRun r = f.add({far, "2030-01-07", "1", "2", "3", "4", "5", "6", "7", "--force"});
    EXPECT_EQ(r.code, 0) << r.err;
}

TEST(AddCommand, RefusalsNameTheProblemAndLeaveTheDatabaseUnchanged)
{
    FreshDatabase f;
    const std::string before = test::readAll(f.db);
    const std::string next = std::to_string(f.latest + 1);
    const std::string date = nextDrawDay(f.latestDate);
    struct Case
    {
        const char *name;
        std::vector<std::string> args;
        const char *message;
    };
    const Case cases[] = {
        {"not the next draw",
            {std::to_string(f.latest + 2), date, "1", "2", "3", "4", "5", "6", "7"},
            "is not the next draw after the latest"},
        {"already stored", {std::to_string(f.latest), date, "1", "2", "3", "4", "5", "6", "7"},
            "is already stored"},
        {"no such day", {next, "2026-02-30", "1", "2", "3", "4", "5", "6", "7"},
            "DATE \"2026-02-30\" is not a real date"},
        {"before the previous draw", {next, "2000-01-06", "1", "2", "3", "4", "5", "6", "7"},
            "is earlier than"},
        {"out of range", {next, date, "1", "2", "44", "4", "5", "6", "7"}, "N3 \"44\""},
        {"decimal point", {next, date, "1", "2", "3", "4", "5", "6", "7.0"}, "BONUS \"7.0\""},
        {"main number repeated", {next, date, "1", "2", "3", "4", "5", "5", "7"},
            "N6 5 repeats N5"},
        {"bonus is a main number", {next, date, "1", "2", "3", "4", "5", "6", "2"},
            "BONUS 2 repeats N2"},
        {"draw zero", {"0", date, "1", "2", "3", "4", "5", "6", "7"}, "DRAW \"0\""},
        {"beyond the draw limit",
            {"1000000000", date, "1", "2", "3", "4", "5", "6", "7", "--force"},
            "DRAW \"1000000000\""},
    };
    for (const Case &c : cases) {
        const CliRun r = f.add(c.args);
        EXPECT_EQ(r.code, 1) << c.name;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.name << ": one line";
    }
    EXPECT_EQ(test::readAll(f.db), before);
    EXPECT_EQ(f.add({next, date, "1", "2", "3"}).code, 2) << "too few values";
}
