#include "cli/cli.h"
#include "prediction/predictionoptions.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using namespace loto6;

using Outcome = test::CliRun;

Outcome runCli(const test::TempDir &dir, std::vector<std::string> args)
{
    args.insert(args.begin(), {"--db", (dir / "history.db").string(), "predict"});
    return test::runCli(std::move(args));
}

std::string settingsFile(
    const test::TempDir &dir, const std::string &name, const PredictionOptions &options)
{
    const auto file = dir / name;
    EXPECT_TRUE(writeInitFile(file, options));
    return file.string();
}

TEST(PredictCommand, UsageErrors)
{
    test::TempDir dir;
    const std::vector<std::vector<std::string>> rows = {
        {"--on", "頻度分析"},
        {"--on", " 間隔分析Opt"},
        {"--format", "xml"},
        {"--on"},
        {"extra"},
    };
    for (const auto &args : rows) {
        const Outcome o = runCli(dir, args);
        EXPECT_EQ(o.code, cli::ExitUsage) << args[0];
        EXPECT_TRUE(o.out.empty());
        EXPECT_FALSE(o.err.empty());
    }
}

TEST(PredictCommand, SwitchesFromTheFileAndTheCommandLine)
{
    test::TempDir dir;
    PredictionOptions all;
    all.on.fill(true);
    PredictionOptions twoOn;
    twoOn.on[0] = true; // 1
    twoOn.on[4] = true; // 10
    struct Row
    {
        const char *name;
        std::vector<std::string> args;
        int shift;
    };
    const std::vector<Row> rows = {
        {"no settings file", {"--settings", (dir / "none.ini").string()}, 0},
        {"file with all on", {"--settings", settingsFile(dir, "all.ini", all)}, 92},
        {"interval switch on", {"--settings", (dir / "none.ini").string(), "--on", "間隔分析Opt"},
            15},
        {"file plus two more",
            {"--settings", settingsFile(dir, "two.ini", twoOn), "--on", "間隔分析Opt", "--on",
                "下一桁連続出現回数分析Opt"},
            29},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args = row.args;
        args.insert(args.end(), {"--format", "json"});
        const Outcome o = runCli(dir, args);
        ASSERT_EQ(o.code, cli::ExitOk) << o.err;
        EXPECT_TRUE(o.out.starts_with(
            "{\"name\": \"prediction\", \"reflectionShift\": " + std::to_string(row.shift) + ","))
            << o.out.substr(0, 80);
    }
}

TEST(PredictCommand, JsonHoldsTheFourGridsInOrder)
{
    test::TempDir dir;
    const Outcome o = runCli(dir, {"--settings", (dir / "none.ini").string(), "--format", "json"});
    ASSERT_EQ(o.code, cli::ExitOk) << o.err;
    std::size_t at = 0;
    for (const char *name : {"cycle", "elimination", "consecutive", "one-shot"}) {
        const std::size_t found = o.out.find(std::string("{\"name\": \"") + name + "\"", at);
        ASSERT_NE(found, std::string::npos) << name;
        at = found;
    }
    EXPECT_NE(o.out.find("\"caption\": \"●一発ズンベル予想\", \"columns\": 7, \"rows\": 2"),
        std::string::npos);
    EXPECT_TRUE(o.out.ends_with("]}\n"));
}

TEST(PredictCommand, UnreadableSettingsFileFails)
{
    test::TempDir dir;
    const auto file = dir / "bad.ini";
    std::ofstream(file, std::ios::binary) << "\x82\xff\xff";
    const Outcome o = runCli(dir, {"--settings", file.string()});
    EXPECT_EQ(o.code, cli::ExitFailure);
    EXPECT_NE(o.err.find("bad.ini"), std::string::npos) << o.err;
}

} // namespace

TEST(PredictCommand, CsvAndHtmlHoldTheFourGrids)
{
    test::TempDir dir;
    const Outcome csv = runCli(dir, {"--format", "csv"});
    ASSERT_EQ(csv.code, 0) << csv.err;
    for (const char *caption : {"●周期法による予想", "●一発ズンベル予想"})
        EXPECT_NE(csv.out.find(caption), std::string::npos) << caption;
    const Outcome html = runCli(dir, {"--format", "html"});
    ASSERT_EQ(html.code, 0) << html.err;
    std::size_t tables = 0;
    for (std::size_t at = html.out.find("<table>"); at != std::string::npos;
         at = html.out.find("<table>", at + 1))
        ++tables;
    EXPECT_EQ(tables, 4u);
}
