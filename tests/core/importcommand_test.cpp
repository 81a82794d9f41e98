#include "testsupport.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace loto6;
using test::CliRun;
using test::runCli;
using test::TempDir;

namespace {

const std::string Layouts = std::string(TEST_DATA_DIR) + "/layouts/";

std::string withoutEmptyPayouts(const std::string &csv)
{
    std::string out;
    std::size_t start = 0;
    for (std::size_t nl; (nl = csv.find('\n', start)) != std::string::npos; start = nl + 1) {
        const std::string line = csv.substr(start, nl - start);
        if (!line.ends_with(",,,,,,,,,,,,"))
            out += line + '\n';
    }
    return out;
}

} // namespace

TEST(ImportCommand, SeveralLayoutsAtOnceFillTheHeldDraws)
{
    TempDir dir;
    const std::string db = (dir / "t.db").string();
    CliRun r = runCli({"--db", db, "import", Layouts + "alternating-history-sample.csv",
        Layouts + "A1022016.CSV", Layouts + "prize-history-sample.csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    // The bundled payouts hold every draw already, so nothing is filled in.
    EXPECT_NE(r.err.find("3 already held"), std::string::npos) << r.err;

    r = runCli({"--db", db, "sources", "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("added\tbundled history (loto6-history.csv)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("added\tbundled history (loto6-prizes.csv)"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("filled"), std::string::npos) << r.out;
    EXPECT_EQ(runCli({"--db", db, "sources", "9999"}).code, 1);
    EXPECT_EQ(runCli({"--db", db, "sources", "x"}).code, 2);
}

TEST(ImportCommand, ExportWithPrizesGivesBackTheBundledPayouts)
{
    TempDir dir;
    const std::string db = (dir / "t.db").string();
    const CliRun r = runCli({"--db", db, "export", "--with-prizes"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(withoutEmptyPayouts(r.out),
        test::readAll(std::string(SHARED_HISTORY)
                          .replace(std::string(SHARED_HISTORY).rfind("history"), 7, "prizes")));

    // The export reads back as the same history and payouts.
    const auto file = dir / "out.csv";
    std::ofstream(file, std::ios::binary) << r.out;
    const std::string copy = (dir / "copy.db").string();
    ASSERT_EQ(runCli({"--db", copy, "import", "--replace", file.string()}).code, 0);
    EXPECT_EQ(runCli({"--db", copy, "export", "--with-prizes"}).out, r.out);
}

TEST(ImportCommand, ConflictsAreListedAndRefusedUnlessAllowed)
{
    TempDir dir;
    const std::string db = (dir / "t.db").string();
    const auto file = dir / "c.csv";
    std::ofstream(file) << "draw_no,date,n1,n2,n3,n4,n5,n6,bonus\n"
                           "2,2000-10-12,1,9,16,20,21,42,5\n2145,2026-10-12,1,2,3,4,5,6,7\n";
    CliRun r = runCli({"--db", db, "import", file.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("draw 2: numbers 1 9 16 20 21 43 + 5 held, 1 9 16 20 21 42 + 5 given"),
        std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("--allow-loss"), std::string::npos);
    EXPECT_EQ(
        runCli({"--db", db, "totals", "--format", "json"}).out.find("\"latestDrawNo\": 2144"), 1u);

    EXPECT_EQ(runCli({"--db", db, "import", "--replace", "--allow-loss", file.string()}).code, 2);
    r = runCli({"--db", db, "import", "--allow-loss", file.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("1 added, 1 replaced"), std::string::npos) << r.err;
    r = runCli({"--db", db, "sources", "2"});
    EXPECT_NE(r.out.find("replaced by different numbers\tfile " + file.string()), std::string::npos)
        << r.out;
}

TEST(ImportCommand, ARefusedFileAmongSeveralImportsNothing)
{
    TempDir dir;
    const std::string db = (dir / "t.db").string();
    const auto good = dir / "good.csv";
    const auto bad = dir / "bad.csv";
    std::ofstream(good) << "draw_no,date,n1,n2,n3,n4,n5,n6,bonus\n2145,2026-10-12,1,2,3,4,5,6,7\n";
    std::ofstream(bad) << "draw_no,date,n1,n2,n3,n4,n5,n6,bonus\n2146,2026-10-15,1,2,3,4,5,6,44\n";
    ASSERT_EQ(runCli({"--db", db, "totals"}).code, 0);
    const std::string before = test::readAll(db);
    const CliRun r = runCli({"--db", db, "import", good.string(), bad.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("bad.csv\": line 2, column 9"), std::string::npos) << r.err;
    EXPECT_EQ(test::readAll(db), before);
}
