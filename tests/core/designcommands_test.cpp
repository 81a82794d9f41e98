// The design, wheel and odds commands on the bundled history, and the pattern tickets in every
// command that rates a ticket: marked as crowded, never shown above the average ticket, left out
// of the least popular picks and last in the order by popularity unless asked for.
#include "popularity/patterns.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

using loto6::popularity::Combination;
using loto6::popularity::PatternFamily;
using loto6::test::CliRun;
using loto6::test::runCli;

namespace {

std::string bundledDb(const loto6::test::TempDir &dir)
{
    const std::string db = (dir / "draws.db").string();
    loto6::Database d;
    EXPECT_TRUE(d.openOrCreate(db, SHARED_HISTORY));
    return db;
}

// The number after "key": at or after `from`; NaN when there is none.
double jsonValue(const std::string &text, const std::string &key, std::size_t from = 0)
{
    const std::string tag = "\"" + key + "\": ";
    const std::size_t at = text.find(tag, from);
    return at == std::string::npos ? std::nan("") : std::stod(text.substr(at + tag.size()));
}

std::vector<std::string> words(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

CliRun run(const std::string &db, const std::string &command, const std::string &numbers,
    std::vector<std::string> options = {})
{
    std::vector<std::string> args{"--db", db};
    for (const std::string &w : words(command))
        args.push_back(w);
    for (const std::string &w : words(numbers))
        args.push_back(w);
    args.insert(args.end(), options.begin(), options.end());
    return runCli(args);
}

// The tickets of `design --pick --format json`: [[a, .., f], ..].
std::vector<Combination> pickedTickets(const std::string &json)
{
    std::vector<Combination> out;
    const std::size_t end = json.find("]]");
    for (std::size_t at = json.find("[[") + 1; at < end; at = json.find('[', at + 1)) {
        Combination c{};
        std::istringstream in(json.substr(at + 1, json.find(']', at) - at - 1));
        for (int &n : c) {
            in >> n;
            in.ignore(1);
        }
        out.push_back(c);
    }
    return out;
}

} // namespace

TEST(DesignCommand, CountAndPickAsScriptsReadThem)
{
    loto6::test::TempDir dir;
    const std::string db = bundledDb(dir);
    CliRun r = runCli({"--db", db, "design", "--odd", "3", "--count", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("{\"combinations\": 2048200, \"of\": 6096454, \"probability\": "),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"history\": {\"draws\": "), std::string::npos);

    r = runCli({"--db", db, "design", "--sum", "100-160", "--pick", "3", "--seed", "5", "--format",
        "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"tickets\": [[", 0), 0u) << r.out;
    EXPECT_EQ(r.out,
        runCli({"--db", db, "design", "--sum", "100-160", "--pick", "3", "--seed", "5", "--format",
                   "json"})
            .out);

    r = runCli({"--db", db, "design", "--pool", "1,2,3,4,5,6,7", "--pick", "7", "--seed", "1",
        "--add-to-book", "--draws", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = runCli({"--db", db, "tickets", "list", "--format", "csv"});
    // How the set was made, in Japanese, with 入手 設計.
    EXPECT_NE(r.out.find("条件から選択（シード 1、この中から 1,2,3,4,5,6,7）"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(",設計,"), std::string::npos) << r.out;
}

TEST(DesignCommand, BadInputIsOneLineAndWritesNothing)
{
    loto6::test::TempDir dir;
    const std::string db = bundledDb(dir);
    // The command, its exit code and its one line, which scripts may read.
    struct Case
    {
        std::vector<std::string> args;
        int code;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"design", "--sum", "160-100", "--count"}, 2,
            "--sum \"160-100\": the range's start is above"},
        {{"design", "--include", "44", "--count"}, 2, "\"44\" is not a number from 1 to 43"},
        {{"design", "--include", "5", "--exclude", "5", "--count"}, 2,
            "design: number(s) 5 are both to include and to exclude"},
        {{"design", "--include", "1,2,3,4,5,6,7", "--count"}, 2,
            "design: more than six numbers to include"},
        {{"design", "--count", "--pick", "2"}, 2, ""},
        {{"design", "--sum", "21", "--odd", "6", "--count"}, 1,
            "design: no combination passes these filters"},
        {{"design", "--pool", "1,2,3,4,5,6,7", "--pick", "8", "--add-to-book"}, 1,
            "design: only 7 combination(s) pass these filters, fewer than the 8 asked"},
        {{"wheel", "1", "2", "3", "4", "5", "--win", "3", "--if", "3"}, 2,
            "wheel: a wheel's pool holds 6 to 20 numbers, not 5"},
        {{"wheel", "1", "2", "3", "4", "5", "6", "7", "--win", "5", "--if", "4"}, 2,
            "wheel: the guarantee is T if P with 3 <= T <= P <= 6, not 5 if 4"},
        {{"wheel", "1", "2", "3", "4", "5", "6", "44", "--win", "3", "--if", "3"}, 2,
            "\"44\" is not a number from 1 to 43"},
        {{"wheel", "1", "2", "3", "4", "5", "6", "6", "--win", "3", "--if", "3"}, 2,
            "wheel: 6 is in the pool twice"},
        {{"odds", "1", "2", "3", "4", "5"}, 2, ""},
        {{"odds", "1", "1", "3", "4", "5", "6"}, 2, ""},
        {{"odds", "--book"}, 1, ""},
    };
    for (const Case &c : cases) {
        std::vector<std::string> all{"--db", db};
        all.insert(all.end(), c.args.begin(), c.args.end());
        const CliRun r = runCli(all);
        EXPECT_EQ(r.code, c.code) << c.args.front() << ' ' << c.args[1] << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(runCli({"--db", db, "tickets", "list", "--format", "csv"}).out.find("設計"),
        std::string::npos);
}

TEST(WheelCommand, VerifiedWheelAndOddsInJson)
{
    loto6::test::TempDir dir;
    const std::string db = bundledDb(dir);
    CliRun r = runCli({"--db", db, "wheel", "1", "5", "9", "13", "17", "21", "25", "--win", "5",
        "--if", "5", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(
        r.out.find("\"guarantee\": {\"win\": 5, \"if\": 5}, \"lowerBound\": 6"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"verified\": true"), std::string::npos);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '['), 7); // six tickets in one list
    // Twelve numbers 5 if 5: the Steiner system, at the best known size and the bound.
    std::vector<std::string> twelve{
        "--db", db, "wheel", "2,4,6,8,10,12,14,16,18,20,22,43", "--win", "5", "--if", "5"};
    r = runCli(twelve);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(
        r.out.rfind("# 132 tickets, 5 if 5 verified on every 5-subset of the pool, best known "
                    "132, lower bound 132 (the best known size; proven smallest)",
            0),
        0u)
        << r.out;
    twelve.insert(twelve.end(), {"--format", "json"});
    r = runCli(twelve);
    EXPECT_NE(r.out.find("\"lowerBound\": 132, \"knownMinimum\": 132, \"verified\": true"),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"size\": 132, \"bestKnown\": 132, \"gapToBestKnown\": 0, "
                         "\"gapToLowerBound\": 0, \"design\": \"known\"}"),
        std::string::npos)
        << r.out;

    r = runCli({"--db", db, "odds", "2", "8", "10", "13", "27", "30", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"tier\": 1, \"atLeastOne\": 1.64029778622e-07"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"expectedReturn\": "), std::string::npos);
    r = runCli({"--db", db, "odds", "2,8,10,13,27,30"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Every distinct ticket has the same chance"), std::string::npos);
}

TEST(DesignCommand, LeastPopularPicksComeSortedWithTheirYen)
{
    loto6::test::TempDir dir;
    const std::string db = bundledDb(dir);
    const CliRun r = runCli({"--db", db, "design", "--least-popular", "1", "--pick", "4", "--seed",
        "2", "--sort", "popularity", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    // The least popular 1% less its 6,133 pattern tickets.
    EXPECT_NE(r.out.find("\"combinations\": 54831, \"filters\": \"--least-popular 1\""),
        std::string::npos)
        << r.out;
    // Each ticket's popularity in the order listed: ascending, all within the least popular 1%.
    std::vector<double> popularity, percentile;
    for (std::size_t at = r.out.find("\"relativePopularity\": "); at != std::string::npos;
         at = r.out.find("\"relativePopularity\": ", at + 1)) {
        popularity.push_back(std::stod(r.out.substr(at + 22)));
        const std::size_t p = r.out.find("\"percentile\": ", at);
        percentile.push_back(std::stod(r.out.substr(p + 14)));
    }
    ASSERT_EQ(popularity.size(), 4u) << r.out;
    EXPECT_TRUE(std::is_sorted(popularity.begin(), popularity.end())) << r.out;
    for (double p : percentile)
        EXPECT_LT(p, 1.0) << r.out;
    EXPECT_NE(r.out.find("\"averageTicketExpectedValue\": "), std::string::npos);
    EXPECT_NE(r.out.find("\"expectedValue\": "), std::string::npos);
    EXPECT_EQ(r.out.rfind("{\"tickets\": [[", 0), 0u) << "the tickets come first, as before";
}

TEST(DesignCommand, LeastPopularTicketsCarryTheirRangeConditionsAndTheExtrapolationMark)
{
    loto6::test::TempDir dir;
    const std::string db = bundledDb(dir);
    const CliRun r = runCli({"--db", db, "design", "--least-popular", "1", "--pick", "3", "--seed",
        "2", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    // Below ×0.5 every one lies under the drawn combinations the model was tested on.
    std::size_t tickets = 0;
    for (std::size_t at = r.out.find("\"valueInterval\": ["); at != std::string::npos;
         at = r.out.find("\"valueInterval\": [", at + 1)) {
        ++tickets;
        const double low = std::stod(r.out.substr(at + 18));
        const double high = std::stod(r.out.substr(r.out.find(", ", at) + 2));
        const std::size_t e = r.out.rfind("\"expectedValue\": ", at);
        const double value = std::stod(r.out.substr(e + 17));
        EXPECT_LE(low, value);
        EXPECT_GE(high, value);
        EXPECT_EQ(r.out.find("\"extrapolated\": true", at), r.out.find("\"extrapolated\": ", at));
    }
    EXPECT_EQ(tickets, 3u) << r.out;
    EXPECT_NE(r.out.find("\"conditions\": {\"sales\": "), std::string::npos);
    EXPECT_NE(r.out.find("\"carryOverFromDraw\": 2144}"), std::string::npos) << r.out;
    // The past draws of a count are judged in-sample, and say so.
    const CliRun count = runCli({"--db", db, "design", "--least-popular", "1", "--count"});
    ASSERT_EQ(count.code, 0) << count.err;
    EXPECT_NE(count.out.find("in-sample"), std::string::npos) << count.out;
    const CliRun plain
        = runCli({"--db", db, "design", "--odd", "3", "--count", "--format", "json"});
    EXPECT_NE(plain.out.find("\"popularityInSample\": false"), std::string::npos) << plain.out;
}

TEST(DesignCommand, LeastPopularPicksWithoutAnEstimateAreRefused)
{
    loto6::test::TempDir dir;
    const std::string db = (dir / "plain.db").string();
    loto6::Database d;
    ASSERT_TRUE(d.openOrCreate(db, std::string(TEST_DATA_DIR) + "/frequency/input.csv"));
    for (const char *option : {"--pick", "--count"}) {
        std::vector<std::string> args = {"--db", db, "design", "--least-popular", "1", option};
        if (std::string(option) == "--pick")
            args.insert(args.end(), {"3", "--seed", "1"});
        const CliRun r = runCli(args);
        EXPECT_NE(r.code, 0) << option << ": " << r.out;
        EXPECT_NE(r.err.find("popularity cannot be learnt"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << "no ticket is picked without the model";
    }
}

TEST(PopularityCommand, ValuesAtTheNextDrawsConditionsOrTheGivenOnes)
{
    loto6::test::TempDir dir;
    const std::string db = bundledDb(dir);
    const auto firstPrize = [](const std::string &out) {
        const std::size_t at = out.find("\"expectedPrize\": {\"1等\": ");
        return at == std::string::npos ? -1.0 : std::stod(out.substr(at + 26));
    };
    const std::vector<std::string> ticket
        = {"--db", db, "popularity", "33", "36", "38", "40", "42", "43", "--format", "json"};
    const CliRun next = runCli(ticket);
    ASSERT_EQ(next.code, 0) << next.err;
    // The carry-over of draw 2144's payouts goes into the next draw.
    EXPECT_NE(next.out.find("\"conditions\": {\"sales\": 1507217200, \"carryOver\": 388848, "
                            "\"carryOverFromDraw\": 2144}"),
        std::string::npos)
        << next.out;
    EXPECT_NE(next.out.find("\"valueInterval\": ["), std::string::npos);
    EXPECT_NE(next.out.find("\"extrapolated\": true"), std::string::npos) << "×0.47 is untested";
    std::vector<std::string> given = ticket;
    given.insert(given.end(), {"--sales", "1000000000", "--carry-over", "3000000000"});
    const CliRun big = runCli(given);
    ASSERT_EQ(big.code, 0) << big.err;
    EXPECT_NE(big.out.find("\"sales\": 1000000000, \"carryOver\": 3000000000"), std::string::npos);
    EXPECT_GT(firstPrize(big.out), 5.9e8) << "30億 carried in reaches the 6億 cap";
    EXPECT_LE(firstPrize(big.out), 6e8);
    given.back() = "0";
    const CliRun none = runCli(given);
    EXPECT_LE(firstPrize(none.out), 2e8) << "without a carry-over the cap is 2億";
    EXPECT_NE(none.out.find("\"carryOverFromDraw\": null"), std::string::npos);
}

TEST(PatternTickets, EveryRatingMarksThemAndNeverAboveAverage)
{
    loto6::test::TempDir dir;
    const std::string db = bundledDb(dir);
    const std::vector<std::string> json{"--format", "json"};
    for (const char *numbers : {"1 2 3 4 5 6", "5 10 15 20 25 30", "38 39 40 41 42 43"}) {
        CliRun r = run(db, "popularity", numbers, json);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find("\"pattern\": \"well-known set\""), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("\"relativePopularity\": null"), std::string::npos) << r.out;
        const double value = jsonValue(r.out, "expectedValue");
        EXPECT_LE(value, jsonValue(r.out, "mostPopular1PercentExpectedValue")) << numbers;
        EXPECT_LT(value, jsonValue(r.out, "averageTicketExpectedValue")) << numbers;
        r = run(db, "popularity", numbers);
        EXPECT_NE(r.out.find("よく買われる型（有名な組）"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("人気は推定できません"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("円以下"), std::string::npos) << r.out;
        // The quick check and the odds say the same.
        for (const char *command : {"check", "odds"}) {
            r = run(db, command, numbers, {"--popularity", "--format", "json"});
            if (std::string(command) == "odds")
                r = run(db, command, numbers, json);
            ASSERT_EQ(r.code, 0) << command << r.err;
            EXPECT_NE(r.out.find("\"pattern\": \"well-known set\""), std::string::npos) << r.out;
            const std::size_t popularity = r.out.find("\"popularity\": {");
            EXPECT_LT(jsonValue(r.out, "expectedValue", popularity),
                jsonValue(r.out, "averageTicketExpectedValue", popularity))
                << command << ' ' << numbers;
        }
    }
    // The odds' own expected return of the 38-43 ticket is bounded too.
    const CliRun odds = run(db, "odds", "38 39 40 41 42 43", json);
    const CliRun plain = run(db, "popularity", "38 39 40 41 42 43", json);
    EXPECT_LE(jsonValue(odds.out, "expectedReturn"),
        jsonValue(plain.out, "mostPopular1PercentExpectedValue") + 1e-6)
        << odds.out;
    // A ticket outside the family keeps its figures, with a null pattern.
    const CliRun other = run(db, "popularity", "3 9 10 22 31 40", json);
    EXPECT_NE(other.out.find("\"pattern\": null"), std::string::npos) << other.out;
    EXPECT_GT(jsonValue(other.out, "relativePopularity"), 0);
    // The ticket book: the pattern line is marked, the other not.
    ASSERT_EQ(run(db, "tickets add", "02 08 10 13 27 30").code, 0);
    ASSERT_EQ(run(db, "tickets add", "07 14 21 28 35 42").code, 0);
    const CliRun book = run(db, "tickets check", "", json);
    ASSERT_EQ(book.code, 0) << book.err;
    EXPECT_NE(book.out.find("\"pattern\": null"), std::string::npos) << book.out;
    EXPECT_NE(book.out.find("\"pattern\": \"well-known set\""), std::string::npos) << book.out;
}

TEST(PatternTickets, LeftOutOfTheLeastPopularUnlessAsked)
{
    loto6::test::TempDir dir;
    const std::string db = bundledDb(dir);
    const std::vector<std::string> count{"--least-popular", "0.01", "--count", "--format", "json"};
    const CliRun without = run(db, "design", "", count);
    ASSERT_EQ(without.code, 0) << without.err;
    std::vector<std::string> withOptions = count;
    withOptions.push_back("--include-patterns");
    const CliRun with = run(db, "design", "", withOptions);
    const auto left = static_cast<int>(jsonValue(without.out, "combinations"));
    const auto all = static_cast<int>(jsonValue(with.out, "combinations"));
    EXPECT_EQ(all, 609) << with.out;
    ASSERT_LT(left, all) << "the least popular 0.01% hold pattern tickets";

    // Picking every passing combination: no pattern without the option, 38-43 with it.
    CliRun r = run(db, "design", "",
        {"--least-popular", "0.01", "--pick", std::to_string(left), "--seed", "3", "--format",
            "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::vector<Combination> picked = pickedTickets(r.out);
    ASSERT_EQ(picked.size(), static_cast<std::size_t>(left));
    const PatternFamily fixedKinds;
    for (const Combination &c : picked)
        EXPECT_FALSE(fixedKinds.kindOf(c)) << c[0] << ' ' << c[1] << ' ' << c[5];
    r = run(db, "design", "",
        {"--least-popular", "0.01", "--include-patterns", "--pick", std::to_string(all), "--seed",
            "3", "--format", "json"});
    const std::vector<Combination> everything = pickedTickets(r.out);
    EXPECT_NE(std::find(everything.begin(), everything.end(), Combination{38, 39, 40, 41, 42, 43}),
        everything.end());

    // In the order by popularity the pattern tickets come last.
    r = run(db, "design", "",
        {"--pool", "1,2,3,4,5,6,20", "--pick", "7", "--seed", "1", "--sort", "popularity",
            "--popularity", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::size_t firstPattern = r.out.find("\"pattern\": \"");
    ASSERT_NE(firstPattern, std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\"pattern\": null", firstPattern), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"pattern\": null"), std::string::npos) << r.out;
}
