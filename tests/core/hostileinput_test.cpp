#include "prediction/predictionoptions.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "store/drawvalidation.h"
#include "store/historyfile.h"
#include "store/officialresult.h"
#include "store/textcodec.h"

#include "testsupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace loto6;
using loto6::test::TempDir;

namespace {

const std::string Header
    = "回数,抽選日,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n";

} // namespace

TEST(CsvImport, RefusesWhatTheFormatDoesNotAllow)
{
    struct Case
    {
        const char *name;
        std::string text;
        std::string expected; // part of the message
    };
    const Case cases[] = {
        {"repeated_main", Header + "7,,5,5,10,20,30,40,6\n", "line 2, column 4"},
        {"bonus_equals_main", Header + "7,,1,2,3,4,5,6,3\n", "column 9"},
        {"repeated_in_incomplete", Header + "7,,1,1,,,,,\n", "twice"},
        {"short_row", Header + "7,,1,2,3,4,5,6\n", "line 2: 8 cells where the header has 9"},
        {"extra_cell", Header + "7,,1,2,3,4,5,6,7,8\n", "extra cells"},
        {"header_names_draw_twice",
            "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字,開催回\n",
            "line 1, column 9"},
        {"february_30", Header + "7,2026-02-30,1,2,3,4,5,6,7\n", "line 2, column 2"},
        {"slash_date_31", Header + "7,2020/2/31,1,2,3,4,5,6,7\n", "not a date"},
        {"not_leap", Header + "7,2019-02-29,1,2,3,4,5,6,7\n", "not a date"},
        {"signed_date", Header + "7,+2020-+1-+1,1,2,3,4,5,6,7\n", "not a date"},
        {"spaced_date", Header + "7,2020 / 1 / 5,1,2,3,4,5,6,7\n", "not a date"},
        {"mixed_separators", Header + "7,2020-1/5,1,2,3,4,5,6,7\n", "not a date"},
        {"draw_above_limit", Header + "1000000000,,1,2,3,4,5,6,7\n", "largest draw number"},
        {"draw_wraps_to_zero", Header + "3000000000,,1,2,3,4,5,6,7\n", "largest draw number"},
        {"draw_beyond_64_bits", Header + "99999999999999999999999,,1,2,3,4,5,6,7\n",
            "largest draw number"},
        {"cr_only_lines",
            "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\r1,1,2,3,4,5,6,7\r",
            "carriage return alone"},
        {"duplicate_names_other_line",
            Header + "1,,1,2,3,4,5,6,7\n2,,1,2,3,4,5,6,7\n1,,1,2,3,4,5,6,7\n",
            "line 4, column 1 (\"回数\"): 回数 1 occurs twice (also on line 2)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DrawRecord> d;
        const Status s = test::readDrawBytes(c.text, d);
        ASSERT_FALSE(s);
        EXPECT_NE(s.message().find(c.expected), std::string::npos) << s.message();
    }
}

TEST(CsvImport, AcceptsWellFormedEdgeValues)
{
    struct Case
    {
        const char *name;
        std::string row;
        int drawNo;
        std::string date;
    };
    const Case cases[] = {
        {"largest_draw_number", "999999999,,1,2,3,4,5,6,7", 999'999'999, ""},
        {"many_leading_zeros", "0000000000000000000007,,01,2,3,4,5,6,7", 7, ""},
        {"leap_day", "7,2020-02-29,1,2,3,4,5,6,7", 7, "2020-02-29"},
        {"century_leap_day", "7,2000/2/29,1,2,3,4,5,6,7", 7, "2000-02-29"},
        {"incomplete_different", "7,,1,2,,,,,", 7, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DrawRecord> d;
        const Status s = test::readDrawBytes(Header + c.row + "\n", d);
        ASSERT_TRUE(s) << s.message();
        ASSERT_EQ(d.size(), 1u);
        EXPECT_EQ(d[0].drawNo, c.drawNo);
        EXPECT_EQ(d[0].date, c.date);
    }
}

TEST(CsvImport, MessagesEscapeControlCharactersAndCutLongValues)
{
    std::vector<DrawRecord> d;
    const Status bell = test::readDrawBytes(Header + "7,,1,2,\x1b[2J\a,4,5,6,7\n", d);
    ASSERT_FALSE(bell);
    EXPECT_EQ(bell.message().find('\x1b'), std::string::npos) << bell.message();
    EXPECT_EQ(bell.message().find('\a'), std::string::npos);
    EXPECT_NE(bell.message().find("\\x1b[2J\\x07"), std::string::npos) << bell.message();

    const Status huge
        = test::readDrawBytes(Header + "7,,1,2," + std::string(1'000'000, '9') + ",4,5,6,7\n", d);
    ASSERT_FALSE(huge);
    EXPECT_LT(huge.message().size(), 300u) << "one short line, not the whole cell";
    EXPECT_NE(huge.message().find("…"), std::string::npos);
}

TEST(CsvImport, ReadsOnlyOrdinaryFilesOfBoundedSize)
{
    TempDir dir;
    const auto fifo = dir / "pipe.csv";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto big = dir / "big.csv";
    std::filesystem::resize_file((std::ofstream(big), big), 64 * 1024 * 1024 + 1);
    struct Case
    {
        const char *name;
        std::filesystem::path file;
        std::string expected;
    };
    const Case cases[] = {
        {"folder", dir.path(), "is a folder"},
        {"fifo", fifo, "not an ordinary file"},
        {"device", "/dev/zero", "not an ordinary file"},
        {"over_64_mib", big, "at most 64 MiB"},
        {"missing", dir / "none.csv", "cannot be opened"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DrawRecord> d;
        const Status csv = test::readDraws(c.file, d);
        ASSERT_FALSE(csv);
        EXPECT_NE(csv.message().find(c.expected), std::string::npos) << csv.message();
        // The reader of every layout, which both programs' import uses.
        HistoryFile file;
        const Status any = readHistoryFile(c.file, file);
        ASSERT_FALSE(any);
        EXPECT_NE(any.message().find(c.expected), std::string::npos) << any.message();
    }
}

TEST(DrawValidation, RepeatedNumberNamesBothFields)
{
    EXPECT_EQ(repeatedNumber(test::draw(1, {5, 5, 10, 20, 30, 40, 6})), std::make_pair(0, 1));
    EXPECT_EQ(repeatedNumber(test::draw(1, {1, 2, 3, 4, 5, 6, 3})), std::make_pair(2, 6));
    EXPECT_FALSE(repeatedNumber(test::draw(1, {1, 2, 3, 4, 5, 6, 7})));
}

TEST(DrawValidation, DrawNumbersStopAtTheOneLimit)
{
    EXPECT_FALSE(parseDrawNumberText(std::to_string(MaxDrawNumber + 1)));
    EXPECT_EQ(parseDrawNumberText(std::to_string(MaxDrawNumber)), MaxDrawNumber);
}

TEST(TextCodec, QuotedForMessage)
{
    EXPECT_EQ(quotedForMessage("abc"), "\"abc\"");
    EXPECT_EQ(quotedForMessage("回数"), "\"回数\"");
    EXPECT_EQ(quotedForMessage("a\nb\x7f\xff"), "\"a\\x0ab\\x7f\\xff\"");
    EXPECT_EQ(quotedForMessage("\xc2\x9b"), "\"\\xc2\\x9b\"") << "C1 control";
    EXPECT_EQ(quotedForMessage(std::string(81, 'x')), "\"" + std::string(80, 'x') + "…\"");
}

TEST(HistoryImport, PrizeCellMessagesAreOneLine)
{
    // Found by the fuzzer: a quoted payout cell holding a line break reached the message raw.
    const std::string text = std::string(PrizeHistoryHeader)
        + "\n1,2000/10/5,2,8,10,13,27,30,39,"
          "0,0,0,0,0,0,0,0,0,\"1\r\n2\",0,0\n";
    HistoryFile file;
    const Status s = readHistoryBytes(text, file);
    ASSERT_FALSE(s);
    EXPECT_EQ(s.message().find_first_of("\r\n"), std::string::npos) << s.message();
    EXPECT_NE(s.message().find("\\x0d\\x0a"), std::string::npos) << s.message();
}

TEST(HistoryImport, OfficialFileMessagesAreOneLineWithoutControlBytes)
{
    // Found by the fuzzer: an ESC in the draw title or the date of an official result file
    // reached the message raw.
    const struct
    {
        const char *name;
        std::string text;
    } cases[] = {
        {"title",
            "A52\r\n第\x1b"
            "1回ロト６,x,令和7年7月14日,x\r\n"},
        {"date",
            "A52\r\n第1回ロト６,x,令和\x1b"
            "7年7月14日,x\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(looksLikeOfficialFile(c.text));
        HistoryFile file;
        const Status s = readHistoryBytes(c.text, file);
        ASSERT_FALSE(s);
        EXPECT_EQ(s.message().find('\x1b'), std::string::npos) << s.message();
        EXPECT_NE(s.message().find("\\x1b"), std::string::npos) << s.message();
    }
}

TEST(TextCodec, ShiftJisRefusesWhatItCannotHoldInsteadOfALookAlike)
{
    EXPECT_FALSE(utf8ToCp932("¢")) << "would come back as ￠";
    EXPECT_FALSE(utf8ToCp932("€"));
    EXPECT_EQ(cp932ToUtf8(*utf8ToCp932("回数 ￠ ①")), "回数 ￠ ①");
}

TEST(DatabaseReading, RefusesDrawNumbersTheProgramCannotHold)
{
    for (const char *stored : {"3000000000", "4294967301", "-3000000000"}) {
        SCOPED_TRACE(stored);
        Database db;
        ASSERT_TRUE(db.openInMemory());
        ASSERT_TRUE(db.exec("insert into 結果マスタ values (5, null, 1, 2, 3, 4, 5, 6, 7), ("
            + std::string(stored) + ", null, 1, 2, 3, 4, 5, 6, 7)"));
        DrawHistory history;
        const Status loaded = db.loadHistory(history);
        ASSERT_FALSE(loaded);
        EXPECT_NE(loaded.message().find(stored), std::string::npos) << loaded.message();
        std::vector<DrawRecord> draws;
        EXPECT_FALSE(db.readDraws(draws));
    }
}

TEST(DatabaseWriting, RefusesToWriteIntoADamagedFile)
{
    TempDir dir;
    const auto file = dir / "h.db";
    test::makeDatabase(file, test::makeDraws(3000, 1));
    {
        std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096 * 3);
        f << std::string(4096, '\x5a');
    }
    const std::string before = test::readAll(file);
    Database db;
    ASSERT_TRUE(db.open(file));
    const Status s = db.importDraws({test::draw(3001, {1, 2, 3, 4, 5, 6, 7})}, false);
    ASSERT_FALSE(s);
    EXPECT_NE(s.message().find("damaged"), std::string::npos) << s.message();
    db.close();
    EXPECT_EQ(test::readAll(file), before);
}

TEST(DatabaseWriting, NamesALockAsALock)
{
    TempDir dir;
    const auto file = dir / "h.db";
    test::makeDatabase(file, test::makeDraws(3, 1));
    Database holder, writer;
    ASSERT_TRUE(holder.open(file));
    ASSERT_TRUE(writer.open(file));
    ASSERT_TRUE(holder.exec("BEGIN EXCLUSIVE"));
    const Status s = writer.importDraws({test::draw(4, {1, 2, 3, 4, 5, 6, 7})}, false);
    ASSERT_FALSE(s);
    EXPECT_NE(s.message().find("in use by another program"), std::string::npos) << s.message();
    holder.exec("ROLLBACK");
}

TEST(DrawValidation, StoredValuesNoImportAccepts)
{
    struct Case
    {
        const char *name;
        DrawRecord draw;
        std::string problem; // empty: acceptable
    };
    DrawRecord garbageDate = test::draw(4, {1, 2, 3, 4, 5, 6, 7});
    garbageDate.date = "2020-02-31";
    DrawRecord notWhole = test::draw(5, {1, 2, 3, 4, 5, 6, 7});
    notWhole.malformed = true;
    const auto dated = [](const char *date) {
        DrawRecord d = test::draw(6, {1, 2, 3, 4, 5, 6, 7});
        d.date = date;
        return d;
    };
    const Case cases[] = {
        {"date_fine", dated("2024-02-29"), ""},
        {"date_slashes", dated("2020/1/5"), "date"},
        {"date_unpadded", dated("2020-1-05"), "date"},
        {"date_trailing_space", dated("2020-01-5 "), "date"},
        {"date_leading_space", dated(" 2020-1-05"), "date"},
        {"date_year_999", dated("0999-01-01"), "date"},
        {"date_day_0", dated("2020-01-00"), "date"},
        {"date_month_13", dated("2020-13-01"), "date"},
        {"date_no_leap_day", dated("2100-02-29"), "date"},
        {"date_signs", dated("+020-01-01"), "date"},
        {"fine", test::draw(1, {1, 2, 3, 4, 5, 6, 7}), ""},
        {"number_0", test::draw(1, {0, 2, 3, 4, 5, 6, 7}), "第1数字 0 is outside 1..43"},
        {"number_44", test::draw(1, {1, 2, 3, 4, 5, 6, 44}), "ボーナス数字 44"},
        {"number_minus_5", test::draw(1, {1, -5, 3, 4, 5, 6, 7}), "-5"},
        {"number_999", test::draw(1, {1, 2, 999, 4, 5, 6, 7}), "999"},
        {"draw_0", test::draw(0, {1, 2, 3, 4, 5, 6, 7}), "below 1"},
        {"draw_minus_7", test::draw(-7, {1, 2, 3, 4, 5, 6, 7}), "below 1"},
        {"garbage_date", garbageDate, "date"},
        {"not_whole", notWhole, "not a whole number"},
        {"repeat", test::draw(1, {1, 2, 3, 4, 5, 6, 6}), "repeats"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string problem = storedDrawProblem(c.draw);
        if (c.problem.empty())
            EXPECT_EQ(problem, "");
        else
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
    const std::string warning = storedValuesWarning(
        {test::draw(1, {1, 2, 3, 4, 5, 6, 7}), test::draw(2, {1, 2, 3, 4, 5, 6, 44}), notWhole});
    EXPECT_NE(warning.find("2 stored draw(s)"), std::string::npos) << warning;
    EXPECT_NE(warning.find("first: draw 2"), std::string::npos) << warning;
    EXPECT_EQ(storedValuesWarning({test::draw(1, {1, 2, 3, 4, 5, 6, 7})}), "");
}

TEST(CommandLineOutput, NeverTheDatabaseAndNothingSpecialReplaced)
{
    TempDir dir;
    const auto db = dir / "h.db";
    test::makeDatabase(db, test::makeDraws(5, 1));
    const std::string before = test::readAll(db);
    std::filesystem::create_hard_link(db, dir / "alias.db");
    std::ofstream(dir / "h.db.bak") << "backup";
    std::filesystem::create_symlink(dir / "target.csv", dir / "link.csv");
    std::ofstream(dir / "target.csv") << "old";
    struct Case
    {
        const char *name;
        std::filesystem::path output;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {"database_itself", db, 1, "is the database in use"},
        {"database_by_other_name", dir.path() / "." / "h.db", 1, "is the database in use"},
        {"hard_link_to_database", dir / "alias.db", 1, "is the database in use"},
        {"backup", dir / "h.db.bak", 1, "or its backup"},
        // SQLite would take a file under these names for the database's own journal.
        {"journal", dir / "h.db-journal", 1, "is the database in use"},
        {"wal", dir / "h.db-wal", 1, "is the database in use"},
        {"shm", dir / "h.db-shm", 1, "is the database in use"},
        {"folder", dir.path(), 1, "is a folder"},
        {"dev_null", "/dev/null", 0, ""},
        {"through_link", dir / "link.csv", 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const test::CliRun r
            = test::runCli({"--db", db.string(), "export", "-o", c.output.string()});
        EXPECT_EQ(r.code, c.code) << r.err;
        if (!c.message.empty()) {
            EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        }
        EXPECT_EQ(test::readAll(db), before);
    }
    for (const char *journal : {"h.db-journal", "h.db-wal", "h.db-shm"})
        EXPECT_FALSE(std::filesystem::exists(dir / journal)) << journal;
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.csv")) << "the link is kept";
    EXPECT_EQ(test::readAll(dir / "target.csv").substr(0, 6), "回数");
    const test::CliRun toStdout = test::runCli({"--db", db.string(), "export", "-o", "-"});
    EXPECT_EQ(toStdout.code, 0);
    EXPECT_EQ(toStdout.out.substr(0, 6), "回数");
}

// Output never replaces a file of any database the process holds open, not only the one the
// command names; a database opened twice stays held until both connections close.
TEST(CommandLineOutput, NeverADatabaseHeldOpenElsewhereInTheProcess)
{
    TempDir dir;
    const auto db = dir / "h.db";
    test::makeDatabase(db, test::makeDraws(5, 1));
    const std::filesystem::path others[] = {dir / "other.db", dir / "third.db"};
    std::vector<Database> held(2);
    for (std::size_t i = 0; i < 2; ++i) {
        test::makeDatabase(others[i], test::makeDraws(8, 2));
        ASSERT_TRUE(held[i].open(others[i]));
    }
    // A command on a held database opens and closes a connection of its own.
    const test::CliRun own = test::runCli({"--db", others[0].string(), "totals"});
    ASSERT_EQ(own.code, 0) << own.err;
    const std::string before[] = {test::readAll(others[0]), test::readAll(others[1])};
    for (std::size_t i = 0; i < 2; ++i)
        for (const char *suffix : {"", ".bak", "-journal"}) {
            const std::filesystem::path target = others[i].string() + suffix;
            SCOPED_TRACE(target.filename().string());
            const test::CliRun r
                = test::runCli({"--db", db.string(), "export", "-o", target.string()});
            EXPECT_EQ(r.code, 1) << r.err;
            EXPECT_NE(r.err.find("is the database in use"), std::string::npos) << r.err;
            EXPECT_TRUE(test::readAll(others[i]) == before[i]) << "the held database is unchanged";
            EXPECT_EQ(std::filesystem::exists(target), *suffix == '\0');
        }
    // Once closed, the file is no database of this process.
    held.clear();
    const test::CliRun r = test::runCli({"--db", db.string(), "export", "-o", others[0].string()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(test::readAll(others[0]).substr(0, 6), "回数");
}

TEST(SettingsFile, ReportsLinesNotUnderstoodAndKeepsTheRules)
{
    struct Case
    {
        const char *name;
        std::string text;
        bool expected; // 頻度分析Opt afterwards, starting from false
        std::vector<int> notUnderstood;
    };
    const Case cases[] = {
        {"nan", "頻度分析Opt=nan\n", false, {1}},
        {"huge_exponent", "頻度分析Opt=1e999\n", false, {1}},
        {"hex", "頻度分析Opt=0x1\n", false, {1}},
        {"inf", "頻度分析Opt=inf\n", false, {1}},
        {"plain_numbers", "頻度分析Opt=2.5\n間隔分析Opt=-0\n", true, {}},
        {"unknown_key", "頻度分析Opt=True\nfoo=bar\n", true, {2}},
        {"cr_only_line_ends", "間隔分析Opt=False\r頻度分析Opt=True\r", true, {}},
        {"blank_and_comment", "\n; note\n頻度分析Opt=True\n", true, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PredictionOptions o;
        EXPECT_EQ(parseInitText(c.text, o), c.notUnderstood);
        EXPECT_EQ(o.on[0], c.expected);
    }
    EXPECT_EQ(notUnderstoodText({2, 5}).substr(0, 28), "lines 2, 5 were not understo");
}

TEST(SettingsFile, RefusesWhatIsNotAnOrdinarySmallFile)
{
    TempDir dir;
    const auto fifo = dir / "pipe.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto big = dir / "big.ini";
    std::ofstream(big) << std::string(64 * 1024 + 1, '\n');
    for (const auto &[file, expected] : std::vector<std::pair<std::filesystem::path, std::string>>{
             {dir.path(), "is a folder"}, {fifo, "not an ordinary file"},
             {"/dev/zero", "not an ordinary file"}, {big, "at most 64 KiB"}}) {
        SCOPED_TRACE(file.string());
        PredictionOptions o;
        o.on[3] = true;
        const Status s = readInitFile(file, o);
        ASSERT_FALSE(s);
        EXPECT_NE(s.message().find(expected), std::string::npos) << s.message();
        EXPECT_TRUE(o.on[3]) << "nothing changes";
        const test::CliRun r = test::runCli(
            {"--db", (dir / "h.db").string(), "predict", "--settings", file.string()});
        EXPECT_EQ(r.code, 1) << r.err;
    }
}
