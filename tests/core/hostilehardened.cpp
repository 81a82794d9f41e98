// Hostile cases of the newer commands: values echoed by design, wheel, odds, popularity and
// chart, the limits they name, dangling links given to -o and stored payouts outside the game.
#include "hostileharness.h"

using namespace loto6;
using namespace loto6::hostile;

namespace {

using V = std::vector<std::string>;

V six(std::initializer_list<std::string> command, std::initializer_list<std::string> more = {})
{
    V a(command);
    for (const char *n : {"1", "2", "3", "4", "5", "6"})
        a.push_back(n);
    a.insert(a.end(), more);
    return a;
}

const std::string Screen = "x\x1b[2J\x1b]0;pwned\x07";
const std::string Long(100'000, '7');

// Every tenth stored payout with sales no draw has and winner counts below zero.
auto withImpossiblePayouts(V a)
{
    return [a](Folder &f) {
        execOn(f.db,
            "update 払戻金 set 販売実績額 = 9223372036854775807, 口数4 = 0, 口数3 = -5 "
            "where 回数 % 10 = 0");
        return a;
    };
}

} // namespace

TEST(HostileCases, NewCommandsEscapeWhatTheyEcho)
{
    const Case cases[] = {
        {"chart_name_clears_screen", fixedArgs({"chart", Screen}), 2, "\\x1b[2J\\x1b]0;pwned\\x07"},
        {"chart_option_not_utf8", fixedArgs({"chart", "--\xff\xfe"}), 2, "\\xff\\xfe"},
        {"chart_number_escape", fixedArgs({"chart", "number", "--number", Screen}), 2, "\\x1b[2J"},
        {"chart_hundred_kb_name", fixedArgs({"chart", Long}), 2, "…"},
        {"design_sum_escape", fixedArgs({"design", "--sum", Screen, "--count"}), 2, "\\x1b[2J"},
        {"design_include_not_utf8", fixedArgs({"design", "--include", "\xe9", "--count"}), 2,
            "\\xe9"},
        {"design_sort_escape", fixedArgs({"design", "--sort", Screen, "--pick", "1"}), 2, "\\x07"},
        {"design_unknown_option", fixedArgs({"design", "--" + Screen}), 2, "\\x1b[2J"},
        {"design_hundred_kb_sum", fixedArgs({"design", "--sum", Long, "--count"}), 2, "…"},
        {"wheel_number_escape", fixedArgs({"wheel", Screen, "--full"}), 2, "\\x1b[2J"},
        {"wheel_unknown_option", fixedArgs({"wheel", "--\xff"}), 2, "\\xff"},
        {"wheel_hundred_kb_number", fixedArgs({"wheel", Long, "--full"}), 2, "…"},
        {"odds_number_escape", fixedArgs({"odds", Screen}), 2, "\\x1b[2J"},
        {"odds_unknown_option", fixedArgs({"odds", "--" + Screen}), 2, "\\x07"},
        {"popularity_from_escape", fixedArgs({"popularity", "--backtest", "--from", Screen}), 2,
            "\\x1b[2J"},
        {"popularity_sales_not_utf8", fixedArgs(six({"popularity"}, {"--sales", "\xff"})), 2,
            "\\xff"},
        {"popularity_sales_hundred_kb", fixedArgs(six({"popularity"}, {"--sales", Long})), 2, "…"},
        {"show_unknown_analysis", fixedArgs({"show", Screen}), 2, "\\x1b[2J"},
        {"predict_unknown_switch", fixedArgs({"predict", "--on", Screen}), 2, "\\x1b[2J"},
    };
    for (const Case &c : cases)
        runCase(c);
}

TEST(HostileCases, LimitsAreTheWholeRangeAndAsked)
{
    const V wheel{"wheel", "1", "2", "3", "4", "5", "6", "7", "--win", "3", "--if", "3"};
    const auto seconds = [&wheel](std::string s) {
        V a = wheel;
        a.insert(a.end(), {"--seconds", s});
        return fixedArgs(a);
    };
    const Case cases[] = {
        {"wheel_seconds_nan", seconds("nan"), 2, "from 0.1 to 3600"},
        {"wheel_seconds_below_range", seconds("0.01"), 2, "from 0.1 to 3600"},
        {"wheel_seconds_infinite", seconds("inf"), 2, "from 0.1 to 3600"},
        {"chart_number_asks_for_number", fixedArgs({"chart", "number"}), 2, "--number N (1 to 43)",
            After::Unchanged,
            [](const Folder &f) { EXPECT_EQ(test::readAll(f.dir / "stdout.txt"), ""); }},
        {"sales_past_the_limit", fixedArgs(six({"popularity"}, {"--sales", "1000000000000000000"})),
            2, "(200 to 1000000000000000)"},
        {"sales_below_the_limit", fixedArgs(six({"popularity"}, {"--sales", "199"})), 2,
            "(200 to 1000000000000000)"},
    };
    for (const Case &c : cases)
        runCase(c);
}

TEST(HostileCases, DanglingLinksGivenToOutput)
{
    const Case cases[] = {
        {"export_onto_dangling_link",
            [](Folder &f) {
                fs::create_symlink("target.csv", f.dir / "link.csv");
                return V{"export", "-o", (f.dir / "link.csv").string()};
            },
            0, "", After::Unchanged,
            [](const Folder &f) {
                EXPECT_TRUE(fs::is_symlink(f.dir / "link.csv")) << "the link was replaced";
                EXPECT_NE(test::readAll(f.dir / "target.csv").find("2144,"), std::string::npos);
            }},
        {"export_onto_link_to_absent_journal",
            [](Folder &f) {
                fs::create_symlink(f.dir / "h.db-journal", f.dir / "journal.csv");
                return V{"export", "-o", (f.dir / "journal.csv").string()};
            },
            1, "is the database in use", After::Unchanged,
            [](const Folder &f) {
                EXPECT_FALSE(fs::exists(f.dir / "h.db-journal"));
                EXPECT_TRUE(fs::is_symlink(f.dir / "journal.csv"));
            }},
        {"check_onto_link_to_absent_backup",
            [](Folder &f) {
                fs::create_symlink("h.db.bak", f.dir / "backup.txt");
                return six({"check"}, {"-o", (f.dir / "backup.txt").string()});
            },
            1, "is the database in use", After::SameData,
            [](const Folder &f) { EXPECT_FALSE(fs::exists(f.dir / "h.db.bak")); }},
    };
    for (const Case &c : cases)
        runCase(c);
}

TEST(HostileCases, StoredPayoutsOutsideTheGame)
{
    const auto warned = "stored payout(s) hold values no published payout has (first: the "
                        "payout of draw 10 has 販売実績額 = 9223372036854775807";
    const Case cases[] = {
        {"popularity_with_impossible_sales",
            withImpossiblePayouts(six({"popularity"}, {"--format", "json"})), 0, warned,
            After::SameData,
            [](const Folder &f) {
                const std::string out = test::readAll(f.dir / "stdout.txt");
                // The figures come from the sound rows: a 1等 still has a prize to expect.
                EXPECT_EQ(out.find("\"expectedPrize\": {\"1等\": 0,"), std::string::npos) << out;
            }},
        {"odds_with_impossible_sales", withImpossiblePayouts(six({"odds"})), 0, warned,
            After::SameData},
        {"chart_popularity_with_impossible_sales",
            withImpossiblePayouts({"chart", "popularity", "--format", "json"}), 0, warned,
            After::SameData},
    };
    for (const Case &c : cases)
        runCase(c);
}
