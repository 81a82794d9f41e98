// Hostile cases against the built command line: output files, input files, bad rows, values
// on the command line, settings files, damaged databases and served files.
#include "hostileharness.h"

using namespace loto6;
using namespace loto6::hostile;

TEST(HostileCases, OutputFiles)
{
    const std::vector<std::string> exportTo = {"export", "-o"};
    auto to = [](std::function<std::string(Folder &)> target, std::vector<std::string> command) {
        return [=](Folder &f) {
            std::vector<std::string> a = command;
            a.push_back(target(f));
            return a;
        };
    };
    const Case cases[] = {
        {"export_onto_database", to([](Folder &f) { return f.db.string(); }, exportTo), 1,
            "is the database in use"},
        {"export_onto_database_other_name",
            to([](Folder &f) { return (f.dir.path() / "." / "h.db").string(); }, exportTo), 1,
            "is the database in use"},
        {"export_onto_backup",
            to([](Folder &f) { return f.write("h.db.bak", "old").string(); }, exportTo), 1,
            "or its backup"},
        {"export_through_link_to_database",
            to(
                [](Folder &f) {
                    fs::create_symlink(f.db, f.dir / "link.csv");
                    return (f.dir / "link.csv").string();
                },
                exportTo),
            1, "is the database in use"},
        {"show_onto_database",
            to([](Folder &f) { return f.db.string(); }, {"show", "frequency", "-o"}), 1,
            "is the database in use"},
        {"check_onto_database",
            to([](Folder &f) { return f.db.string(); },
                {"check", "1", "2", "3", "4", "5", "6", "-o"}),
            1, "is the database in use", After::SameData},
        {"export_onto_folder", to([](Folder &f) { return f.dir.path().string(); }, exportTo), 1,
            "is a folder"},
        {"export_onto_dev_null", to([](Folder &) { return std::string("/dev/null"); }, exportTo), 0,
            "", After::Unchanged,
            [](const Folder &) { EXPECT_TRUE(fs::is_character_file("/dev/null")); }},
        {"export_to_stdout", to([](Folder &) { return std::string("-"); }, exportTo), 0, ""},
    };
    for (const Case &c : cases)
        runCase(c);

    // An empty file name is refused, never taken for standard output.
    const auto nothingWritten
        = [](const Folder &f) { EXPECT_EQ(test::readAll(f.dir / "stdout.txt"), ""); };
    const auto emptyName = [](std::vector<std::string> a) {
        return [a](Folder &) {
            std::vector<std::string> withEmpty = a;
            withEmpty.push_back("");
            return withEmpty;
        };
    };
    const Case emptyNames[] = {
        {"export_empty_name", emptyName(exportTo), 2, "export: -o \"\" names no file",
            After::Unchanged, nothingWritten},
        {"show_empty_name", emptyName({"show", "frequency", "-o"}), 2,
            "show: -o \"\" names no file", After::Unchanged, nothingWritten},
        {"show_empty_long_option", emptyName({"show", "frequency", "--output"}), 2,
            "show: --output \"\" names no file", After::Unchanged, nothingWritten},
        {"check_empty_name", emptyName({"check", "1", "2", "3", "4", "5", "6", "-o"}), 2,
            "check: -o \"\" names no file", After::Unchanged, nothingWritten},
        {"tickets_list_empty_name", emptyName({"tickets", "list", "-o"}), 2,
            "tickets list: -o \"\" names no file", After::Unchanged, nothingWritten},
        {"tickets_check_empty_name", emptyName({"tickets", "check", "-o"}), 2,
            "tickets check: -o \"\" names no file", After::Unchanged, nothingWritten},
    };
    for (const Case &c : emptyNames)
        runCase(c);
}

TEST(HostileCases, SpecialAndOversizedInputFiles)
{
    auto import = [](std::function<std::string(Folder &)> file) {
        return [=](Folder &f) { return std::vector<std::string>{"import", file(f)}; };
    };
    const Case cases[] = {
        {"import_dev_zero", import([](Folder &) { return std::string("/dev/zero"); }), 1,
            "not an ordinary file"},
        {"import_fifo", import([](Folder &f) {
             ::mkfifo((f.dir / "p.csv").c_str(), 0600);
             return (f.dir / "p.csv").string();
         }),
            1, "not an ordinary file"},
        {"import_folder", import([](Folder &f) { return f.dir.path().string(); }), 1,
            "is a folder"},
        {"import_over_64_mib", import([](Folder &f) {
             const fs::path big = f.write("big.csv", Header);
             fs::resize_file(big, 64 * 1024 * 1024 + 1);
             return big.string();
         }),
            1, "at most 64 MiB"},
        {"import_missing", import([](Folder &f) { return (f.dir / "none.csv").string(); }), 1,
            "cannot be opened"},
        {"import_empty", import([](Folder &f) { return f.write("e.csv", "").string(); }), 1,
            "empty"},
        {"import_binary",
            import([](Folder &f) { return f.write("b.csv", "\xff\xfe\x80\x81").string(); }), 1,
            "neither UTF-8 nor Shift-JIS"},
        {"import_official_index", import([](Folder &) {
             return std::string(TEST_DATA_DIR) + "/layouts/official-index-sample.csv";
         }),
            1, ""},
    };
    for (const Case &c : cases)
        runCase(c);
}

TEST(HostileCases, BadRowsInAnImport)
{
    struct Row
    {
        const char *name;
        std::string text;
        std::string message;
    };
    const Row rows[] = {
        {"draw_wraps_to_zero", csvRow("3000000000,,1,2,3,4,5,6,7"), "largest draw number"},
        {"draw_wraps_to_five", csvRow("4294967301,,1,2,3,4,5,6,7"), "largest draw number"},
        {"draw_beyond_64_bits", csvRow("99999999999999999999999,,1,2,3,4,5,6,7"), "largest"},
        {"repeated_number", csvRow("2145,,5,5,10,20,30,40,6"), "column 4"},
        {"bonus_repeats_main", csvRow("2145,,1,2,3,4,5,6,3"), "column 9"},
        {"short_row", csvRow("2145,,1,2,3,4,5,6"), "8 cells"},
        {"extra_cell", csvRow("2145,,1,2,3,4,5,6,7,8"), "extra cells"},
        {"draw_column_twice",
            "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字,開催回\n",
            "column 9"},
        {"february_30", csvRow("2145,2026-02-30,1,2,3,4,5,6,7"), "column 2"},
        {"slash_february_31", csvRow("2145,2020/2/31,1,2,3,4,5,6,7"), "not a date"},
        {"signed_date", csvRow("2145,+2020-+1-+1,1,2,3,4,5,6,7"), "not a date"},
        {"spaced_date", csvRow("2145,2020 / 1 / 5,1,2,3,4,5,6,7"), "not a date"},
        {"number_44", csvRow("2145,,1,2,3,4,5,6,44"), "column 9"},
        {"cr_only_lines",
            "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\r1,1,2,3,4,5,6,7\r",
            "carriage return"},
        {"escape_and_bell", csvRow("2145,,1,2,\x1b[2J\a,4,5,6,7"), "\\x1b[2J\\x07"},
        {"megabyte_cell", csvRow("2145,,1,2," + std::string(1'000'000, '9') + ",4,5,6,7"), "…"},
        {"conflicting_held_draw", csvRow("1,2000-10-05,1,2,3,4,5,6,7"), "held with different data"},
        {"draw_twice_in_file", csvRow("2145,,1,2,3,4,5,6,7\n2145,,1,2,3,4,5,6,8"), "twice"},
    };
    for (const Row &row : rows)
        runCase({std::string("import_") + row.name,
            [&](Folder &f) {
                return std::vector<std::string>{"import", f.write("in.csv", row.text).string()};
            },
            1, row.message});
}

TEST(HostileCases, GoodImportAndAddReplaceTheDatabase)
{
    const Case cases[] = {
        {"import_next_draw",
            [](Folder &f) {
                return std::vector<std::string>{"import",
                    f.write("in.csv", csvRow("2145,2026-10-12,2,8,10,13,27,30,39")).string()};
            },
            0, "", After::Replaced, [](const Folder &f) { expectDraws(f, 2145); }},
        {"add_next_draw",
            [](Folder &) {
                return std::vector<std::string>{
                    "add", "2145", "2026-10-12", "2", "8", "10", "13", "27", "30", "39"};
            },
            0, "", After::Replaced, [](const Folder &f) { expectDraws(f, 2145); }},
    };
    for (const Case &c : cases)
        runCase(c);
}

TEST(HostileCases, CommandLineValues)
{
    using V = std::vector<std::string>;
    auto args = [](V a) { return [a](Folder &) { return a; }; };
    const Case cases[] = {
        {"add_draw_too_large",
            args({"add", "1000000000", "2026-10-12", "1", "2", "3", "4", "5", "6", "7"}), 1,
            "too large: the largest draw number is 999999999"},
        {"add_draw_many_zeros",
            args(
                {"add", "0000000000000000000007", "2026-10-12", "1", "2", "3", "4", "5", "6", "7"}),
            1, "draw 7 is already stored"},
        {"add_repeated_number",
            args({"add", "2145", "2026-10-12", "5", "5", "10", "20", "30", "40", "6"}), 1,
            "repeats"},
        {"add_bad_date", args({"add", "2145", "2026-02-30", "1", "2", "3", "4", "5", "6", "7"}), 1,
            "not a real date"},
        {"add_number_44", args({"add", "2145", "2026-10-12", "1", "2", "3", "4", "5", "6", "44"}),
            1, "1 to 43"},
        {"add_escape_in_date", args({"add", "2145", "\x1b[31m", "1", "2", "3", "4", "5", "6", "7"}),
            1, "not a real date"},
        {"as_of_too_large", args({"--as-of", "1000000000", "totals"}), 2, "too large"},
        {"as_of_zero", args({"--as-of", "0", "totals"}), 2, "is below 1"},
        {"as_of_with_import", args({"--as-of", "5", "import", "x.csv"}), 2, "only read"},
        {"sources_too_large", args({"sources", "1000000000"}), 2, "too large"},
        {"tickets_from_too_large",
            args({"tickets", "add", "1", "2", "3", "4", "5", "6", "--from", "1000000000"}), 2,
            "too large: the largest draw number"},
        {"tickets_draws_beyond_int",
            args({"tickets", "add", "1", "2", "3", "4", "5", "6", "--draws", "99999999999"}), 2,
            "too large"},
        {"tickets_repeated_number", args({"tickets", "add", "1", "1", "2", "3", "4", "5"}), 1,
            "given twice"},
        {"backtest_from_too_large", args({"backtest", "--from", "99999999999"}), 2, "too large"},
        {"unknown_command", args({"frobnicate"}), 2, "unknown command"},
    };
    for (const Case &c : cases)
        runCase(c);
}

TEST(HostileCases, SettingsFiles)
{
    auto predict = [](std::function<std::string(Folder &)> file) {
        return [=](Folder &f) {
            return std::vector<std::string>{"predict", "--settings", file(f)};
        };
    };
    const Case cases[] = {
        {"settings_dev_zero", predict([](Folder &) { return std::string("/dev/zero"); }), 1,
            "not an ordinary file"},
        {"settings_fifo", predict([](Folder &f) {
             ::mkfifo((f.dir / "p.ini").c_str(), 0600);
             return (f.dir / "p.ini").string();
         }),
            1, "not an ordinary file"},
        {"settings_folder", predict([](Folder &f) { return f.dir.path().string(); }), 1,
            "is a folder"},
        {"settings_over_64_kib", predict([](Folder &f) {
             return f.write("big.ini", std::string(64 * 1024 + 1, '\n')).string();
         }),
            1, "at most 64 KiB"},
        {"settings_junk", predict([](Folder &f) {
             return f.write("j.ini", "頻度分析Opt=nan\n間隔分析Opt=1e999\nfoo=bar\n\x1b[2J\n")
                 .string();
         }),
            0, "not understood"},
        {"settings_cr_only", predict([](Folder &f) {
             return f.write("cr.ini", "頻度分析Opt=True\r間隔分析Opt=False\r").string();
         }),
            0, ""},
        {"settings_not_text",
            predict([](Folder &f) { return f.write("b.ini", "\xff\xfe\x80").string(); }), 1,
            "neither Shift-JIS nor UTF-8"},
    };
    for (const Case &c : cases)
        runCase(c);
}

TEST(HostileCases, DamagedOrOddDatabases)
{
    using V = std::vector<std::string>;
    const std::string good = csvRow("2145,2026-10-12,2,8,10,13,27,30,39");
    const Case cases[] = {
        {"damaged_page",
            [&](Folder &f) {
                std::fstream(f.db, std::ios::in | std::ios::out | std::ios::binary).seekp(4096 * 3)
                    << std::string(4096, '\x5a');
                return V{"import", f.write("in.csv", good).string()};
            },
            1, "damaged"},
        {"text_as_database",
            [](Folder &f) {
                f.write("h.db", "this is not a database\n");
                return V{"totals"};
            },
            1, "not"},
        {"locked",
            [&](Folder &f) {
                return V{"import", f.write("in.csv", good).string()};
            },
            1, "in use by another program", After::Unchanged, nullptr, false, true},
        {"stored_draw_3000000000",
            [](Folder &f) {
                execOn(
                    f.db, "insert into 結果マスタ values (3000000000, null, 1, 2, 3, 4, 5, 6, 7)");
                return V{"totals"};
            },
            1, "3000000000"},
        {"stored_number_44",
            [](Folder &f) {
                execOn(f.db, "update 結果マスタ set 第1数字 = 44 where 回数 = 5");
                return V{"export", "-o", (f.dir / "out.csv").string()};
            },
            0, "first: draw 5"},
        {"database_empty_name",
            [](Folder &) {
                return V{"--db", "", "totals"};
            },
            1, "no database file named", After::Unchanged, nullptr, true},
        {"database_is_a_folder",
            [](Folder &f) {
                return V{"--db", f.dir.path().string(), "totals"};
            },
            1, "", After::Unchanged, nullptr, true},
    };
    for (const Case &c : cases)
        runCase(c);
}

namespace {

// The address of a failed download appears once in the message, on one short line.
void addressNamedOnce(const Folder &f)
{
    const std::string err = test::readAll(f.dir / "stderr.txt");
    const std::size_t first = err.find("127.0.0.1");
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find("127.0.0.1", first + 1), std::string::npos) << err;
    EXPECT_LT(err.size(), 300u) << err;
}

} // namespace

TEST(HostileCases, ServedFiles)
{
    using V = std::vector<std::string>;
    auto update = [](std::function<std::string(Folder &)> url, V more = {}) {
        return [=](Folder &f) {
            V a{"update", "--url", url(f)};
            a.insert(a.end(), more.begin(), more.end());
            return a;
        };
    };
    std::vector<DrawRecord> shorter = bundledDraws();
    shorter.resize(1199);
    std::vector<DrawRecord> changed = servedDraws();
    changed[0].fields[0] = 3;
    const Case cases[] = {
        {"database_with_deleting_trigger", update([](Folder &f) {
             return f.serve(servedDatabase(f,
                 "create trigger t after insert on 結果マスタ begin "
                 "delete from 結果マスタ; end"));
         }),
            0, "", After::Replaced, [](const Folder &f) { expectOwnSchemaAndDraws(f, 2145); }},
        {"database_with_narrowed_view", update([](Folder &f) {
             return f.serve(servedDatabase(f,
                 "drop view 全データ選択クエリ; create view "
                 "全データ選択クエリ as select * from 結果マスタ where 回数 < 100"));
         }),
            0, "", After::Replaced, [](const Folder &f) { expectOwnSchemaAndDraws(f, 2145); }},
        {"upper_case_scheme", update([](Folder &f) {
             return "HTTP" + f.serve(test::csvOf(servedDraws())).substr(4);
         }),
            0, "", After::Replaced, [](const Folder &f) { expectDraws(f, 2145); }},
        {"shorter_history", update([&](Folder &f) { return f.serve(test::csvOf(shorter)); }), 1,
            "would drop 945 draw(s)"},
        {"shorter_history_allowed",
            update([&](Folder &f) { return f.serve(test::csvOf(shorter)); }, {"--allow-loss"}), 0,
            "", After::Replaced, [](const Folder &f) { expectDraws(f, 1199); }},
        {"changed_numbers", update([&](Folder &f) { return f.serve(test::csvOf(changed)); }), 1,
            "would change 1 complete draw(s)"},
        {"row_of_six_numbers", update([](Folder &f) {
             return f.serve(test::csvOf(servedDraws()) + "2146,2026-10-05,1,2,3,4,5,6,\n");
         }),
            1, ""},
        {"wrapped_draw_number", update([](Folder &f) {
             return f.serve(test::csvOf(servedDraws()) + "4294967301,,1,2,3,4,5,6,7\n");
         }),
            1, "largest draw number"},
        {"escape_bytes",
            update([](Folder &f) { return f.serve(csvRow("2145,\x1b]0;x\a,1,2,3,4,5,6,7")); }), 1,
            ""},
        {"html_page",
            update([](Folder &f) { return f.serve("<html><body>maintenance</body></html>"); }), 1,
            ""},
        {"not_found", update([](Folder &f) { return f.serve("", 404); }), 1, "404"},
        {"ftp_address", update([](Folder &) { return std::string("ftp://127.0.0.1/x"); }), 1,
            "only http"},
        // The address is the user's text: named once, escaped and cut, whatever the failure.
        {"address_with_control_bytes",
            update([](Folder &f) { return f.serve("", 404) + "/\x1b[31mred\x07"; }), 1,
            "/\\x1b[31mred\\x07\": download failed: URL using bad", After::Unchanged,
            addressNamedOnce},
        {"very_long_address",
            update([](Folder &f) { return f.serve("", 404) + "/" + std::string(5000, 'a'); }), 1,
            "…\": download failed: the server answered HTTP 404", After::Unchanged,
            addressNamedOnce},
        {"ftp_address_with_control_bytes",
            update([](Folder &) { return std::string("ftp://127.0.0.1/\x1b[2J"); }), 1,
            "\"ftp://127.0.0.1/\\x1b[2J\": download failed: only http", After::Unchanged,
            addressNamedOnce},
    };
    for (const Case &c : cases)
        runCase(c);
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::printf("hostile cases run: %d\n", casesRun);
    return result;
}
