// Every table of the program, compared with its expected JSON under tests/data/golden: the
// seventeen analyses, the prediction grids, the chance page, the prediction check, the
// ticket book's tables, the draw-day summary, the popularity tables and the charts, on the small
// example history and on the bundled history (with its payouts). A change to any table shows up
// here.
//
// LOTO6_UPDATE_GOLDEN=1 writes the files instead of comparing (scripts/update-golden).

#include "testsupport.h"

#include "analysis/catalog.h"
#include "analysis/chance.h"
#include "chart/chartcatalog.h"
#include "design/designsheets.h"
#include "design/generator.h"
#include "grid/sheetwriter.h"
#include "popularity/popularitybacktest.h"
#include "popularity/popularityestimate.h"
#include "popularity/popularitysheets.h"
#include "prediction/backtest.h"
#include "prediction/backtestreport.h"
#include "prediction/backtestsheets.h"
#include "prediction/predictionoptions.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "store/prizestore.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <numeric>
#include <sstream>
#include <string_view>

using namespace loto6;

namespace {

struct GoldenHistory
{
    const char *folder; // under tests/data/golden
    std::string csv;
    int backtestFrom;   // the first checked draw of the prediction check
    std::string prizes; // payouts imported onto the draws; empty for none
    // Tickets stored in the book, as arguments of `tickets add`.
    std::vector<std::vector<std::string>> tickets;
};

const std::vector<GoldenHistory> &histories()
{
    static const std::vector<GoldenHistory> all = {
        {"small", std::string(TEST_DATA_DIR) + "/frequency/input.csv", 2, {},
            {{"02", "08", "10", "13", "27", "30", "--from", "1", "--draws", "8"},
                {"1", "2", "4", "6", "9", "33", "--from", "7", "--draws", "3", "--units", "2"},
                {"2", "9", "12", "30", "33", "36", "--from", "8", "--memo", "five and the bonus"}}},
        {"bundled", SHARED_HISTORY, Backtest::DefaultFrom,
            (std::filesystem::path(SHARED_HISTORY).parent_path() / "loto6-prizes.csv").string(),
            {{"02", "08", "10", "13", "27", "30", "--from", "1", "--draws", "30"},
                {"5", "6", "11", "25", "31", "32", "--from", "2000", "--draws", "145", "--units",
                    "3"},
                {"1", "7", "8", "29", "40", "43", "--from", "2143", "--draws", "5"}}},
    };
    return all;
}

bool updating()
{
    const char *v = std::getenv("LOTO6_UPDATE_GOLDEN");
    return v && *v && std::string(v) != "0";
}

// A database holding one history, made once per history for the whole run.
class GoldenDatabase
{
public:
    explicit GoldenDatabase(const GoldenHistory &h)
        : m_db((m_dir / "golden.db").string())
    {
        const test::CliRun r = test::runCli({"--db", m_db, "import", "--replace", h.csv});
        EXPECT_EQ(r.code, 0) << r.err;
        if (!h.prizes.empty()) {
            const test::CliRun p = test::runCli({"--db", m_db, "import", h.prizes});
            EXPECT_EQ(p.code, 0) << p.err;
        }
        for (std::vector<std::string> args : h.tickets) {
            args.insert(args.begin(), {"--db", m_db, "tickets", "add"});
            const test::CliRun t = test::runCli(args);
            EXPECT_EQ(t.code, 0) << t.err;
        }
        std::vector<DrawRecord> draws;
        EXPECT_TRUE(test::readDraws(h.csv, draws));
        m_history = DrawHistory(std::move(draws));
        m_backtestFrom = h.backtestFrom;
    }
    const std::string &path() const { return m_db; }
    const DrawHistory &history() const { return m_history; }
    const test::TempDir &dir() const { return m_dir; }
    int backtestFrom() const { return m_backtestFrom; }

    static const GoldenDatabase &of(const GoldenHistory &h)
    {
        static std::map<std::string, std::unique_ptr<GoldenDatabase>> made;
        auto &slot = made[h.folder];
        if (!slot)
            slot = std::make_unique<GoldenDatabase>(h);
        return *slot;
    }

private:
    test::TempDir m_dir;
    std::string m_db;
    DrawHistory m_history;
    int m_backtestFrom = Backtest::DefaultFrom;
};

std::string cliOutput(const GoldenDatabase &db, std::vector<std::string> args)
{
    args.insert(args.begin(), {"--db", db.path()});
    const test::CliRun r = test::runCli(args);
    EXPECT_EQ(r.code, 0) << r.err;
    return r.out;
}

std::string sheetsJson(const std::vector<Sheet> &sheets)
{
    std::ostringstream o;
    for (const Sheet &s : sheets)
        writeSheetJson(o, s);
    return o.str();
}

// Produces one golden file's text from a history's database.
struct GoldenCase
{
    std::string file; // without .json
    std::string (*make)(const GoldenDatabase &db, const std::string &file);
};

std::string analysisJson(const GoldenDatabase &db, const std::string &file)
{
    return cliOutput(db, {"show", file, "--format", "json"});
}

std::string predictionAllOff(const GoldenDatabase &db, const std::string &)
{
    // A settings file that does not exist turns every switch off.
    return cliOutput(
        db, {"predict", "--settings", (db.dir() / "none.ini").string(), "--format", "json"});
}

std::string predictionAllOn(const GoldenDatabase &db, const std::string &)
{
    std::vector<std::string> args = {"predict", "--settings", (db.dir() / "none.ini").string()};
    for (int k = 0; k < PredictionOptions::Count; ++k) {
        args.emplace_back("--on");
        args.emplace_back(PredictionOptions::key(k));
    }
    args.insert(args.end(), {"--format", "json"});
    return cliOutput(db, args);
}

std::string chanceJson(const GoldenDatabase &db, const std::string &)
{
    return sheetsJson({chanceSheet(computeChance(db.history()))});
}

// The payouts stored with the history.
std::map<int, DrawPrizes> storedPrizes(const GoldenDatabase &db)
{
    Database database;
    std::map<int, DrawPrizes> prizes;
    EXPECT_TRUE(database.open(db.path()));
    EXPECT_TRUE(readPrizes(database, prizes));
    return prizes;
}

std::string backtestJson(const GoldenDatabase &db, const std::string &)
{
    Backtest backtest;
    const Status run = backtest.run(db.history(), db.backtestFrom());
    EXPECT_TRUE(run) << run.message();
    std::vector<int> shifts(Backtest::ShiftCount);
    std::iota(shifts.begin(), shifts.end(), 0);
    const std::map<int, DrawPrizes> prizes = storedPrizes(db);
    const BacktestReport report = makeBacktestReport(backtest, prizes);
    std::vector<Sheet> sheets = backtestSheets(report, shifts);
    sheets.push_back(backtestDataSheet(report, shifts));
    return sheetsJson(sheets);
}

// The ticket results, the totals with the chance comparison and their figures.
std::string ticketsJson(const GoldenDatabase &db, const std::string &)
{
    return cliOutput(db, {"tickets", "check", "--format", "json"});
}

// The draw-day summary of the newest draw with every switch off (a settings file that does not
// exist).
std::string summaryJson(const GoldenDatabase &db, const std::string &)
{
    return cliOutput(
        db, {"summary", "--settings", (db.dir() / "none.ini").string(), "--format", "json"});
}

// One combination against every past draw: draw 1's numbers, which also win lower tiers.
std::string quickCheckJson(const GoldenDatabase &db, const std::string &)
{
    return cliOutput(db, {"check", "2", "8", "10", "13", "27", "30", "--format", "json"});
}

// A chart's data as `chart NAME --format json` writes it; the chart of one number shows 7.
std::string chartJson(const GoldenDatabase &db, const std::string &file)
{
    const std::string name = file.substr(std::string_view("chart-").size());
    std::vector<std::string> args = {"chart", name, "--format", "json"};
    if (findChart(name)->needsNumber)
        args.insert(args.end(), {"--number", "7"});
    return cliOutput(db, args);
}

// The draws with payouts that the popularity model learns from.
std::vector<popularity::DrawObservation> observations(const GoldenDatabase &db)
{
    return popularity::observationsOf(db.history(), storedPrizes(db));
}

// One ticket's popularity and yen at the recent sales; a history without sales has none.
std::string popularityValueJson(const GoldenDatabase &db, const std::string &)
{
    using namespace popularity;
    const auto estimate = PopularityEstimate::build(observations(db));
    if (!estimate->fitted())
        return "no payouts with sales\n";
    const TicketValuer valuer = estimate->nextDrawValuer();
    const TicketValue v = valuer.value({3, 9, 10, 22, 31, 40});
    const ValueSpectrum spectrum = estimate->spectrum(valuer);
    const PatternInfo *pattern = PatternFamily::fromHistory(db.history()).infoOf(v.numbers);
    return sheetsJson({ticketValueSheet(v, estimate->percentile(v.relativePopularity), spectrum,
        valueContext(*estimate, valuer, v, spectrum, pattern), *estimate, valuer, pattern)});
}

// The model learnt before draw 1500 against the draws after it, and the per-number model.
std::string popularityBacktestJson(const GoldenDatabase &db, const std::string &)
{
    using namespace popularity;
    const std::vector<DrawObservation> draws = observations(db);
    const PopularityBacktest b = runPopularityBacktest(draws, DefaultBacktestFrom);
    FitSettings plainSettings;
    plainSettings.terms = ModelTerms::perNumberOnly();
    const PopularityBacktest plain
        = runPopularityBacktest(draws, DefaultBacktestFrom, plainSettings);
    return sheetsJson({backtestSummarySheet(b, &plain), backtestDrawsSheet(b)});
}

// The ticket book as listed, with the time each ticket was added written as one fixed time.
std::string ticketListJson(const GoldenDatabase &db, const std::string &)
{
    std::string text = cliOutput(db, {"tickets", "list", "--format", "json"});
    constexpr std::string_view shape = "0000-00-00 00:00:00";
    for (std::size_t i = 0; i + shape.size() <= text.size(); ++i) {
        bool time = true;
        for (std::size_t k = 0; k < shape.size() && time; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            time = shape[k] == '0' ? std::isdigit(c) != 0 : c == shape[k];
        }
        if (time)
            text.replace(i, shape.size(), "2026-01-01 00:00:00");
    }
    return text;
}

// The designer's three tables: a filter's count against the history, five tickets picked with
// a fixed seed, and their exact odds with the stored payouts' averages.
std::string designJson(const GoldenDatabase &db, const std::string &)
{
    using namespace design;
    DesignFilter f;
    f.sum = Range{100, 160};
    f.odd = Range{2, 4};
    f.notDrawn = true;
    PickResult picked;
    EXPECT_TRUE(pickTickets(f, FilterContext::fromHistory(db.history(), f), 5, 42, picked));
    const std::map<int, DrawPrizes> prizes = storedPrizes(db);
    TicketOdds odds;
    EXPECT_TRUE(ticketOdds(picked.tickets, AveragePrizeModel(prizes), odds));
    return sheetsJson({filterCountSheet(f, countFilter(f, db.history())),
        designTicketsSheet(picked.tickets, "設計した番号"), ticketOddsSheet(odds)});
}

std::vector<GoldenCase> goldenCases()
{
    std::vector<GoldenCase> cases;
    for (const AnalysisInfo &info : analyses())
        cases.push_back({std::string(info.name), analysisJson});
    cases.push_back({"prediction-all-off", predictionAllOff});
    cases.push_back({"prediction-all-on", predictionAllOn});
    cases.push_back({"chance", chanceJson});
    cases.push_back({"backtest", backtestJson});
    cases.push_back({"tickets-check", ticketsJson});
    cases.push_back({"check", quickCheckJson});
    cases.push_back({"summary", summaryJson});
    cases.push_back({"tickets-list", ticketListJson});
    cases.push_back({"design", designJson});
    cases.push_back({"popularity-value", popularityValueJson});
    cases.push_back({"popularity-backtest", popularityBacktestJson});
    for (const ChartInfo &info : charts())
        cases.push_back({"chart-" + std::string(info.name), chartJson});
    return cases;
}

struct GoldenParam
{
    GoldenHistory history;
    GoldenCase sheet;
};

std::vector<GoldenParam> params()
{
    std::vector<GoldenParam> out;
    for (const GoldenHistory &h : histories())
        for (const GoldenCase &c : goldenCases())
            out.push_back({h, c});
    return out;
}

void PrintTo(const GoldenParam &p, std::ostream *os)
{
    *os << p.history.folder << "/" << p.sheet.file;
}

class Golden : public testing::TestWithParam<GoldenParam>
{
};

TEST_P(Golden, MatchesItsFile)
{
    const GoldenParam &p = GetParam();
    const std::string text = p.sheet.make(GoldenDatabase::of(p.history), p.sheet.file);
    ASSERT_FALSE(text.empty());
    const std::filesystem::path file = std::filesystem::path(TEST_DATA_DIR) / "golden"
        / p.history.folder / (p.sheet.file + ".json");
    if (updating()) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(file))
        << file << " is missing; run scripts/update-golden and review the new file";
    const std::string expected = test::readAll(file);
    if (text == expected)
        return;
    // The first line that differs, rather than two files of megabytes.
    std::istringstream got(text), want(expected);
    std::string gotLine, wantLine;
    int line = 0;
    while (std::getline(want, wantLine)) {
        ++line;
        if (!std::getline(got, gotLine) || gotLine != wantLine)
            break;
    }
    ADD_FAILURE() << p.sheet.file << " on the " << p.history.folder
                  << " history differs from its golden file at line " << line
                  << ":\n  expected: " << wantLine << "\n  actual:   " << gotLine
                  << "\nif the change is meant, run scripts/update-golden and review the diff";
}

std::string paramName(const testing::TestParamInfo<GoldenParam> &info)
{
    std::string name = std::string(info.param.history.folder) + "_" + info.param.sheet.file;
    for (char &c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryTable, Golden, testing::ValuesIn(params()), paramName);

} // namespace
