// Pattern tickets in the commands that rate a ticket, on the bundled history: marked as crowded,
// never shown above the average ticket, and left out of the least popular picks and last in
// the order by popularity unless asked for.
#include "popularity/patterns.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <sstream>

using loto6::test::CliRun;
using loto6::test::runCli;
using namespace loto6::popularity;

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
