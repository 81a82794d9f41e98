#include "testsupport.h"

#include "store/csvhistory.h"
#include "store/database.h"
#include "store/drawvalidation.h"
#include "store/paths.h"
#include "store/totals.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <sstream>

using namespace loto6;
using loto6::test::draw;
using loto6::test::incomplete;
using loto6::test::TempDir;

TEST(Totals, LatestDrawIsLastCompleteRecordAndGapsKeepTheNumber)
{
    const auto h = test::history({draw(1, {1, 2, 3, 4, 5, 6, 7}), draw(2, {1, 2, 3, 4, 5, 6, 8}),
        draw(12, {1, 2, 3, 4, 5, 6, 9}), incomplete(13, 6)});
    const Totals t = computeTotals(h);
    EXPECT_EQ(t.latestDrawNo, 12);
    EXPECT_EQ(t.count(1), 3);
    EXPECT_EQ(t.count(7), 1);
    EXPECT_EQ(t.count(43), 0);
}

TEST(Totals, BonusCountsLikeAMainNumber)
{
    const auto h
        = test::history({draw(1, {1, 2, 3, 4, 5, 6, 10}), draw(2, {10, 11, 12, 13, 14, 15, 1})});
    const Totals t = computeTotals(h);
    EXPECT_EQ(t.count(10), 2);
    EXPECT_EQ(t.count(1), 2);
    EXPECT_EQ(t.maxAppearance, 2);
    EXPECT_EQ(t.numbersByCount[2], "1,10");
    EXPECT_EQ(t.numbersByCount[0].substr(0, 8), "7,8,9,16");
}

TEST(Totals, CountRowTotalForEqualAndDistinctCounts)
{
    // Every number drawn the same number of times: one entry holds 1..43.
    std::vector<DrawRecord> same;
    for (int d = 0; d < 43; ++d) {
        DrawRecord r;
        r.drawNo = d + 1;
        for (int f = 0; f < 7; ++f)
            r.fields[static_cast<std::size_t>(f)] = (d + f) % 43 + 1;
        same.push_back(r);
    }
    Totals t = computeTotals(DrawHistory(same));
    EXPECT_EQ(t.maxAppearance, 7);
    EXPECT_EQ(t.countRowTotal, 2);
    std::string all;
    for (int n = 1; n <= 43; ++n)
        all += (n > 1 ? "," : "") + std::to_string(n);
    EXPECT_EQ(t.numbersByCount[7], all);

    // Number n drawn n - 1 times: 43 distinct counts.
    std::vector<DrawRecord> distinct;
    int no = 0;
    for (int n = 2; n <= 43; ++n)
        for (int k = 0; k < n - 1; ++k)
            distinct.push_back(draw(++no, {n, n, n, n, n, n, n}));
    t = computeTotals(DrawHistory(distinct));
    EXPECT_EQ(t.countRowTotal, 44);
    EXPECT_EQ(t.numbersByCount[0], "1");
}

TEST(Totals, EmptyAndOutOfRangeNumbers)
{
    const Totals empty = computeTotals(DrawHistory());
    EXPECT_EQ(empty.latestDrawNo, 0);
    EXPECT_EQ(empty.countRowTotal, 0);
    ASSERT_EQ(empty.numbersByCount.size(), 1u);

    // Values outside 1..43 are counted in their own entry when they fit, ignored otherwise,
    // and never reach the per-number totals.
    const auto h = test::history({draw(1, {0, 44, 99999, 100000, -5, 1'000'000'000'000LL, 3})});
    const Totals t = computeTotals(h);
    EXPECT_EQ(t.count(0), 1);
    EXPECT_EQ(t.count(44), 1);
    EXPECT_EQ(t.count(99999), 1);
    EXPECT_EQ(t.count(100000), 0);
    EXPECT_EQ(t.maxAppearance, 1);
    EXPECT_EQ(t.numbersByCount[1], "3");
    EXPECT_EQ(t.countRowTotal, 3);
}

TEST(Totals, ExampleHistoryMatchesContract)
{
    std::vector<DrawRecord> draws;
    ASSERT_TRUE(test::readDraws(std::string(TEST_DATA_DIR) + "/frequency/input.csv", draws));
    const Totals t = computeTotals(DrawHistory(draws));
    EXPECT_EQ(t.latestDrawNo, 8);
    EXPECT_EQ(t.maxAppearance, 3);
    EXPECT_EQ(t.countRowTotal, 5);
    EXPECT_EQ(t.numbersByCount[3], "1,2");
}

TEST(CsvImport, AcceptsTheVariantsOfTheFormat)
{
    struct Case
    {
        const char *name;
        std::string text;
        int draws;
        long long firstMain;
        std::string date;
    };
    const Case cases[] = {
        {"canonical",
            "回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
            "1,2000-10-05,2,8,10,13,27,30,39\n",
            1, 2, "2000-10-05"},
        {"bom_crlf_slash_date",
            "\xEF\xBB\xBF回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,"
            "ボーナス数字\r\n"
            "1,2000/1/5,2,8,10,13,27,30,39\r\n",
            1, 2, "2000-01-05"},
        {"other_names_order_extra",
            "ボ数字,本数字6,本数字5,本数字4,本数字3,本数字2,本数字1,賞金,開催回\n"
            "39,30,27,13,10,8,07,\"1,000\",1\n",
            1, 7, ""},
        {"fullwidth",
            "回,数字１,数字２,数字３,数字４,数字５,数字６,数字Ｂ\n１,０２,8,10,13,27,30,39\n", 1, 2,
            ""},
        {"incomplete_and_blank_lines",
            "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
            "5,9,13,16,,25,34,\n\n7,1,2,4,6,25,28,33\n",
            2, 9, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DrawRecord> d;
        const Status s = test::readDrawBytes(c.text, d);
        ASSERT_TRUE(s) << s.message();
        ASSERT_EQ(static_cast<int>(d.size()), c.draws);
        EXPECT_EQ(*d[0].fields[0], c.firstMain);
        EXPECT_EQ(d[0].date, c.date);
    }
}

TEST(CsvImport, ShiftJisInput)
{
    const std::string sjis
        = "\x89\xf1\x90\x94,\x91\xe6\x31\x90\x94\x8e\x9a,\x91\xe6\x32\x90\x94\x8e\x9a,"
          "\x91\xe6\x33\x90\x94\x8e\x9a,\x91\xe6\x34\x90\x94\x8e\x9a,\x91\xe6\x35\x90\x94\x8e\x9a,"
          "\x91\xe6\x36\x90\x94\x8e\x9a,\x83{\x81[\x83i\x83X\x90\x94\x8e\x9a\r\n"
          "3,1,5,15,31,36,38,13\r\n";
    std::vector<DrawRecord> d;
    const Status s = test::readDrawBytes(sjis, d);
    ASSERT_TRUE(s) << s.message();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].drawNo, 3);
    EXPECT_EQ(*d[0].fields[6], 13);
}

TEST(CsvImport, RefusesBadFilesNamingLineAndColumn)
{
    const std::string header
        = "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n";
    struct Case
    {
        const char *name;
        std::string text;
        std::string where;
    };
    const Case cases[] = {
        {"empty", "", "line 1"},
        {"no_draw_column", "第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n",
            "回数"},
        {"no_bonus_column", "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字\n",
            "ボーナス数字"},
        {"number_44", header + "1,1,2,3,4,5,6,7\n2,1,2,3,4,5,44,7\n", "line 3, column 7"},
        {"number_0", header + "1,0,2,3,4,5,6,7\n", "line 2, column 2"},
        {"not_whole", header + "1,1,2,3.5,4,5,6,7\n", "line 2, column 4"},
        {"text", header + "1,1,2,3,4,abc,6,7\n", "line 2, column 6"},
        {"duplicate_draw", header + "1,1,2,3,4,5,6,7\n1,1,2,3,4,5,6,7\n", "occurs twice"},
        {"draw_zero", header + "0,1,2,3,4,5,6,7\n", "line 2, column 1"},
        {"bad_date",
            "回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n1,yesterday,"
            "1,2,3,4,5,6,7\n",
            "column 2"},
        {"bad_encoding", std::string("\xff\xfe\xff\xfe"), "encoding"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DrawRecord> d{draw(99, {1, 2, 3, 4, 5, 6, 7})};
        const Status s = test::readDrawBytes(c.text, d);
        ASSERT_FALSE(s);
        EXPECT_NE(s.message().find(c.where), std::string::npos) << s.message();
        EXPECT_EQ(d.size(), 1u) << "a refused file must leave the output untouched";
    }
}

TEST(CsvExport, RoundTripOfTheBundledHistory)
{
    std::vector<DrawRecord> draws;
    ASSERT_TRUE(test::readDraws(SHARED_HISTORY, draws));
    ASSERT_EQ(draws.size(), 2144u);
    std::ostringstream out;
    exportCsv(out, draws);
    EXPECT_EQ(out.str(), test::readAll(SHARED_HISTORY));
}

namespace {

Database seededDatabase(const std::filesystem::path &file)
{
    Database db;
    const Status s = db.openOrCreate(file, SHARED_HISTORY);
    EXPECT_TRUE(s) << s.message();
    return db;
}

} // namespace

TEST(Database, CreatesAMissingFileFromTheSeedAndReadsTheView)
{
    TempDir dir;
    Database db = seededDatabase(dir / "Loto6Zumvel.db");
    DrawHistory h;
    ASSERT_TRUE(db.loadHistory(h));
    ASSERT_EQ(h.size(), 2144u);
    EXPECT_EQ(h[0].drawNo, 1);
    EXPECT_EQ(h[2143].drawNo, 2144);
    EXPECT_EQ(computeTotals(h).latestDrawNo, 2144);
    // Nothing but the database is left in the folder.
    int files = 0;
    for ([[maybe_unused]] const auto &e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

// The history is read once with each draw's date: the windows show it without a second read.
TEST(Database, TheHistoryCarriesEachDrawsDate)
{
    const struct
    {
        const char *name;
        const char *view; // nullptr: the program's own
        const char *secondDate;
    } cases[] = {
        {"own_view", nullptr, "2000/10/12"},
        {"view_with_date",
            "select 回数, 抽選日, 第1数字, 第2数字, 第3数字, 第4数字, 第5数字, "
            "第6数字, ボーナス数字 from 結果マスタ",
            "2000/10/12"},
        {"view_without_date",
            "select 回数, 第1数字, 第2数字, 第3数字, 第4数字, 第5数字, "
            "第6数字, ボーナス数字 from 結果マスタ",
            ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Database db;
        ASSERT_TRUE(db.openInMemory());
        ASSERT_TRUE(db.exec("insert into 結果マスタ values (1, '2000-10-05', 1, 2, 3, 4, 5, 6, 7);"
                            "insert into 結果マスタ values (2, '2000/10/12', 1, 2, 3, 4, 5, 6, 8);"
                            "insert into 結果マスタ values (3, null, 1, 2, 3, 4, 5, 6, 9);"));
        if (c.view) {
            ASSERT_TRUE(db.exec(
                std::string("drop view 全データ選択クエリ; create view 全データ選択クエリ as ")
                + c.view));
        }
        DrawHistory h;
        ASSERT_TRUE(db.loadHistory(h));
        ASSERT_EQ(h.size(), 3u);
        EXPECT_EQ(h[1].date, c.secondDate);
        EXPECT_EQ(h[2].date, "");
        // The cut keeps the dates too.
        DrawHistory cut;
        ASSERT_TRUE(db.loadHistory(cut, 2));
        ASSERT_EQ(cut.size(), 2u);
        EXPECT_EQ(cut[1].date, c.secondDate);
    }
}

TEST(Database, MissingSeedCreatesNothing)
{
    TempDir dir;
    Database db;
    EXPECT_FALSE(db.openOrCreate(dir / "x.db", dir / "none.csv"));
    EXPECT_FALSE(std::filesystem::exists(dir / "x.db"));
}

TEST(Database, RefusesDamagedFilesAndLeavesThemUnchanged)
{
    TempDir dir;
    struct Case
    {
        const char *name;
        std::string bytes;
        std::string reason;
    };
    // A valid SQLite file without the view.
    {
        sqlite3 *raw = nullptr;
        sqlite3_open((dir / "noview.db").c_str(), &raw);
        sqlite3_exec(raw, "create table t(a)", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
    }
    const Case cases[] = {
        {"text", "this is not a database, just text\n", "not"},
        {"random", std::string(4096, '\x5a'), "not"},
        {"noview", test::readAll(dir / "noview.db"), "全データ選択クエリ"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = dir / (std::string(c.name) + ".bin");
        std::ofstream(file, std::ios::binary) << c.bytes;
        Database db;
        const Status s = db.openOrCreate(file, SHARED_HISTORY);
        ASSERT_FALSE(s);
        EXPECT_NE(s.message().find(file.string()), std::string::npos) << s.message();
        EXPECT_NE(s.message().find(c.reason), std::string::npos) << s.message();
        EXPECT_EQ(test::readAll(file), c.bytes);
    }
}

TEST(Database, NonWholeNumbersMakeARecordIncompleteAndAreCounted)
{
    Database db;
    ASSERT_TRUE(db.openInMemory());
    ASSERT_TRUE(db.exec("insert into 結果マスタ values (1, null, 1, 2, 3, 4, 5, 6, 7);"
                        "insert into 結果マスタ values (2, null, 1, 2, 'abc', 4, 5, 6, 7);"
                        "insert into 結果マスタ values (3, null, 1, 2, 3, 4, 5, 6, '');"
                        "insert into 結果マスタ values (4, null, 1, 2, 3, 4, 5, 6, null);"
                        "insert into 結果マスタ values (5, null, '9', 2.0, 3, 4, 5, 7.5, 8);"
                        "insert into 結果マスタ values (6, null, ' 9 ', 10, 11, 12, 13, 14, 15);"));
    DrawHistory h;
    ASSERT_TRUE(db.loadHistory(h));
    ASSERT_EQ(h.size(), 6u);
    std::vector<bool> complete;
    for (const DrawRecord &r : h)
        complete.push_back(r.isComplete());
    EXPECT_EQ(complete, (std::vector<bool>{true, false, false, false, false, true}));
    EXPECT_EQ(h.malformedCount(), 2);
    EXPECT_EQ(*h[5].fields[0], 9);
    EXPECT_EQ(computeTotals(h).latestDrawNo, 6);
}

TEST(Database, ImportIsAllOrNothing)
{
    TempDir dir;
    Database db = seededDatabase(dir / "db.db");
    // Merge overwrites a stored draw and adds a new one.
    ASSERT_TRUE(
        db.importDraws({draw(1, {1, 2, 3, 4, 5, 6, 7}), draw(3000, {1, 2, 3, 4, 5, 6, 7})}, false));
    std::vector<DrawRecord> all;
    ASSERT_TRUE(db.readDraws(all));
    EXPECT_EQ(all.size(), 2145u);
    EXPECT_EQ(*all.front().fields[6], 7);
    EXPECT_EQ(all.back().drawNo, 3000);

    // A failing write inside the transaction leaves the table as it was.
    ASSERT_TRUE(db.exec("create trigger refuse before insert on 結果マスタ when new.回数 = 7777 "
                        "begin select raise(abort, 'refused'); end;"));
    EXPECT_FALSE(db.importDraws(
        {draw(5000, {1, 2, 3, 4, 5, 6, 7}), draw(7777, {1, 2, 3, 4, 5, 6, 7})}, true));
    std::vector<DrawRecord> after;
    ASSERT_TRUE(db.readDraws(after));
    EXPECT_EQ(after.size(), 2145u);
}

// The history read checks every stored draw of the table; with the program's own view it does
// so in the same read of the table, with another view by a read of its own. Either way the
// history and the check are the same as those of the plain reads.
TEST(Database, HistoryReadChecksEveryStoredDraw)
{
    struct Case
    {
        const char *name;
        const char *view; // replaces the history view; nullptr keeps the program's own
        int asOf;
        std::size_t historySize;
    };
    const Case cases[] = {
        {"own_view", nullptr, DrawHistory::NoCut, 5},
        {"own_view_cut", nullptr, 2, 2},
        {"other_view", "select * from 結果マスタ where 回数 > 1", DrawHistory::NoCut, 4},
        {"other_view_cut",
            "select 回数, 第1数字, 第2数字, 第3数字, 第4数字, 第5数字, 第6数字, "
            "ボーナス数字 from 結果マスタ",
            3, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Database db;
        ASSERT_TRUE(db.openInMemory());
        ASSERT_TRUE(
            db.exec("insert into 結果マスタ values (1, '2000-10-05', 1, 2, 3, 4, 5, 6, 7);"
                    "insert into 結果マスタ values (2, '2000/10/12', 1, 2, 3, 4, 5, 6, 8);"
                    "insert into 結果マスタ values (3, null, 1, 2, 'x', 4, 5, 6, 7);"
                    "insert into 結果マスタ values (4, '2000-10-26', 1, 2, 3, 4, 5, 6, 44);"
                    "insert into 結果マスタ values (5, '2000-11-02', 9, 2, 3, 4, 5, 6, 7);"));
        if (c.view) {
            ASSERT_TRUE(db.exec(std::string("drop view 全データ選択クエリ; create view "
                                            "全データ選択クエリ as ")
                + c.view));
        }
        StoredValuesCheck check;
        check.count = 99;
        DrawHistory checked, plain;
        ASSERT_TRUE(db.loadHistory(checked, c.asOf, &check));
        ASSERT_TRUE(db.loadHistory(plain, c.asOf));
        std::vector<DrawRecord> stored;
        ASSERT_TRUE(db.readDraws(stored));
        const StoredValuesCheck expected = checkStoredValues(stored);
        EXPECT_EQ(check.count, 3u);
        EXPECT_EQ(check.count, expected.count);
        EXPECT_EQ(check.firstDraw, 2);
        EXPECT_EQ(check.firstProblem, expected.firstProblem);
        ASSERT_EQ(checked.size(), c.historySize);
        ASSERT_EQ(plain.size(), c.historySize);
        EXPECT_EQ(checked.malformedCount(), plain.malformedCount());
        for (std::size_t i = 0; i < checked.size(); ++i) {
            EXPECT_EQ(checked[i].drawNo, plain[i].drawNo);
            EXPECT_EQ(checked[i].fields, plain[i].fields);
        }
    }
}

// The desktop program opens the database named by its bytes, even when they are not text.
TEST(Paths, AnOptionFileKeepsTheBytesAsGiven)
{
    std::string odd = "bad\xff\xfe-name.db", program = "loto6zumvel", db = "--db",
                joined = "--db=other.db", end = "--", after = "--db";
    std::vector<char *> argv{program.data(), db.data(), odd.data()};
    EXPECT_EQ(
        optionFile(static_cast<int>(argv.size()), argv.data(), "db"), std::filesystem::path(odd));
    argv.push_back(joined.data());
    EXPECT_EQ(optionFile(static_cast<int>(argv.size()), argv.data(), "db"),
        std::filesystem::path("other.db"));
    argv.push_back(end.data());
    argv.push_back(after.data());
    EXPECT_EQ(optionFile(static_cast<int>(argv.size()), argv.data(), "db"),
        std::filesystem::path("other.db"));
    std::vector<char *> none{program.data(), db.data()};
    EXPECT_FALSE(optionFile(static_cast<int>(none.size()), none.data(), "db"));
}
