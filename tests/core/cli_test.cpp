#include "testsupport.h"

#include "cli/cli.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace loto6;
using loto6::test::TempDir;

using loto6::test::CliRun;
using loto6::test::runCli;

TEST(CommandLine, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(runCli({}).code, 2);
    EXPECT_EQ(runCli({"frobnicate"}).code, 2);
    EXPECT_EQ(runCli({"--db"}).code, 2);
    EXPECT_EQ(runCli({"--db", "/nonexistent/x.db", "show", "no-such-analysis"}).code, 2);
    EXPECT_EQ(runCli({"--db", "/nonexistent/x.db", "totals", "--format", "xml"}).code, 2);
}

TEST(CommandLine, ImportExportAndTotalsOnAFreshDatabase)
{
    TempDir dir;
    const std::string db = (dir / "t.db").string();
    const std::string csv = std::string(TEST_DATA_DIR) + "/frequency/input.csv";

    CliRun r = runCli({"--db", db, "import", "--replace", csv});
    ASSERT_EQ(r.code, 0) << r.err;
    r = runCli({"--db", db, "totals", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    std::string expected = test::readAll(std::string(TEST_DATA_DIR) + "/frequency/totals.json");
    EXPECT_EQ(r.out, expected);

    r = runCli({"--db", db, "export"});
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out, test::readAll(csv));

    r = runCli({"--db", db, "show", "出現頻度分析", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, test::readAll(std::string(TEST_DATA_DIR) + "/frequency/expected.json"));
}

TEST(CommandLine, RefusedImportChangesNothing)
{
    TempDir dir;
    const std::string db = (dir / "t.db").string();
    ASSERT_EQ(runCli({"--db", db, "totals"}).code, 0);
    const std::string before = test::readAll(db);
    const auto bad = dir / "bad.csv";
    std::ofstream(bad) << "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
                          "1,1,2,3,4,5,6,7\n2,1,2,3,4,5,6,44\n";
    const CliRun r = runCli({"--db", db, "import", "--replace", bad.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("line 3, column 8"), std::string::npos) << r.err;
    EXPECT_EQ(test::readAll(db), before);
}

TEST(CommandLine, DamagedDatabaseIsRefusedUntouched)
{
    TempDir dir;
    const auto db = dir / "damaged.db";
    const std::string bytes = "SQLite format 3\0 but then garbage follows here..........";
    std::ofstream(db, std::ios::binary) << bytes;
    const CliRun r = runCli({"--db", db.string(), "totals"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(db.string()), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line";
    EXPECT_EQ(test::readAll(db), bytes);
}

TEST(CommandLine, HugeDrawNumberCutsTablesInsteadOfFailing)
{
    TempDir dir;
    const std::string db = (dir / "t.db").string();
    const auto csv = dir / "huge.csv";
    std::ofstream(csv) << "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
                          "1,1,2,3,4,5,6,7\n999999999,8,9,10,11,12,13,14\n";
    ASSERT_EQ(runCli({"--db", db, "import", "--replace", csv.string()}).code, 0);
    for (const char *name : {"spread", "sum", "last-digit-run"}) {
        SCOPED_TRACE(name);
        const CliRun r = runCli({"--db", db, "show", name, "--format", "csv"});
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.err.find("cut"), std::string::npos) << r.err;
    }
    EXPECT_EQ(runCli({"--db", db, "predict"}).code, 0);
}

// A stray huge draw number would ask for a row per draw number: the table is cut, and the
// message says that rows were cut.
TEST(CommandLine, CutTableSaysWhatWasCut)
{
    TempDir dir;
    const std::string db = (dir / "t.db").string();
    const auto csv = dir / "huge.csv";
    std::ofstream(csv) << "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
                          "1,1,2,3,4,5,6,7\n900000000,8,9,10,11,12,13,14\n";
    ASSERT_EQ(runCli({"--db", db, "import", "--replace", csv.string()}).code, 0);
    const CliRun r
        = runCli({"--db", db, "show", "sum", "--format", "csv", "-o", (dir / "sum.csv").string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("cut to its first 131072 rows"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("columns"), std::string::npos) << r.err;
}
