// Hostile cases of writing: two writers at once, file size limits, standard output that cannot
// be written, and a database in a folder that cannot be written.
#include "hostileharness.h"

using namespace loto6;
using namespace loto6::hostile;

namespace {

using V = std::vector<std::string>;

const V AddNext = {"add", "2145", "2026-10-12", "1", "2", "3", "4", "5", "6", "7"};

// The stored draw 2145's main numbers and bonus; empty when it is not stored.
std::string draw2145(const fs::path &db)
{
    for (const DrawRecord &r : storedDraws(db))
        if (r.drawNo == 2145) {
            std::string text;
            for (const auto &v : r.fields)
                text += std::to_string(v.value_or(0)) + " ";
            return text;
        }
    return {};
}

// Runs `first` and, `delayMs` later, `add`, both on one database; whatever the order in which
// they reach it, a command that exited 0 has its change in the database.
struct Race
{
    Run first, add;
    std::string stored; // draw 2145 afterwards
};

Race race(Folder &f, const V &first, int delayMs)
{
    test::TempDir other; // the second program's own standard output and error
    V a = first, b = AddNext;
    a.insert(a.begin(), {"--db", f.db.string()});
    b.insert(b.begin(), {"--db", f.db.string()});
    const pid_t p1 = startProgram(a, f.dir.path());
    ::usleep(static_cast<useconds_t>(delayMs) * 1000);
    const pid_t p2 = startProgram(b, other.path());
    Race r;
    r.first = waitProgram(p1, f.dir.path());
    r.add = waitProgram(p2, other.path());
    r.stored = draw2145(f.db);
    return r;
}

} // namespace

TEST(HostileCases, ImportAndAddAtOnceLoseNothing)
{
    // The file carries the whole history (a long read) and draw 2145 with other numbers.
    std::vector<DrawRecord> draws = servedDraws();
    const std::string typed = "1 2 3 4 5 6 7 ", imported = "2 8 10 13 27 30 39 ";
    for (int attempt = 0; attempt < 6; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        ++casesRun;
        Folder f;
        prepare(f);
        const fs::path file = f.write("in.csv", test::csvOf(draws));
        const Race r = race(f, {"import", file.string()}, 3 * attempt);
        // Never both: the later one finds the other's draw 2145 and refuses.
        EXPECT_FALSE(r.first.code == 0 && r.add.code == 0) << r.first.err << r.add.err;
        // A refusal names the other's draw, or (on a slow machine) the lock it waited for.
        const auto refused = [](const hostile::Run &run, const char *why) {
            return run.err.find(why) != std::string::npos
                || run.err.find("in use by another program") != std::string::npos;
        };
        if (r.add.code == 0) {
            EXPECT_EQ(r.stored, typed);
        } else {
            EXPECT_TRUE(refused(r.add, "already stored")) << r.add.err;
        }
        if (r.first.code == 0) {
            EXPECT_EQ(r.stored, imported);
        } else {
            EXPECT_TRUE(refused(r.first, "held with different data")) << r.first.err;
        }
        expectCleanMessage(r.first.err + r.add.err);
    }
}

TEST(HostileCases, UpdateAndAddAtOnceLoseNothing)
{
    // The server holds the bundled history without draw 2145.
    const std::string served = test::csvOf(bundledDraws());
    for (int attempt = 0; attempt < 6; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        ++casesRun;
        Folder f;
        prepare(f);
        const std::string url = f.serve(served);
        const Race r = race(f, {"update", "--url", url}, 4 * attempt);
        // Whatever came first, the draw of an add that exited 0 is kept.
        if (r.add.code == 0) {
            EXPECT_EQ(r.stored, "1 2 3 4 5 6 7 ") << r.first.err;
        }
        if (r.first.code != 0 && r.add.code == 0) {
            EXPECT_NE(r.first.err.find("would drop 1 draw"), std::string::npos) << r.first.err;
        }
        expectCleanMessage(r.first.err + r.add.err);
    }
}

TEST(HostileCases, FileSizeLimits)
{
    const Start limited{Output::File, 8192, false};
    const auto noTemporaryLeft = [](const Folder &f) {
        for (const auto &entry : fs::directory_iterator(f.dir.path()))
            EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
                << entry.path();
    };
    std::vector<DrawRecord> more = servedDraws();
    for (int no = 2146; no < 4000; ++no) {
        more.push_back(more[static_cast<std::size_t>(no - 2000)]);
        more.back().drawNo = no;
        more.back().date.clear();
    }
    const Case cases[] = {
        {"export_past_size_limit",
            [](Folder &f) {
                return V{"export", "-o", (f.dir / "e.csv").string()};
            },
            1, "size limit", After::Unchanged,
            [&](const Folder &f) {
                noTemporaryLeft(f);
                EXPECT_FALSE(fs::exists(f.dir / "e.csv"));
            },
            false, false, limited},
        {"import_past_size_limit",
            [&](Folder &f) {
                return V{"import", f.write("in.csv", test::csvOf(more)).string()};
            },
            1, "size limit", After::Unchanged, noTemporaryLeft, false, false, limited},
    };
    for (const Case &c : cases)
        runCase(c);
}

TEST(HostileCases, StandardOutputThatCannotBeWritten)
{
    const auto stored = [](int tickets) {
        return [tickets](const Folder &f) {
            EXPECT_EQ(queryNumber(f.db, "select count(*) from 購入番号"), tickets);
        };
    };
    const Case cases[] = {
        {"help_into_full_disk", [](Folder &) { return V{"--help"}; }, 1,
            "cannot write to standard output", After::Unchanged, nullptr, true, false,
            {Output::Full}},
        {"totals_into_full_disk", [](Folder &) { return V{"totals"}; }, 1,
            "cannot write to standard output", After::Unchanged, nullptr, false, false,
            {Output::Full}},
        {"show_into_closed_output",
            [](Folder &) {
                return V{"show", "frequency"};
            },
            1, "cannot write to standard output", After::Unchanged, nullptr, false, false,
            {Output::Closed}},
        // The ticket is stored: success, with a warning that the confirmation was not shown.
        {"tickets_add_with_closed_output",
            [](Folder &) {
                return V{"tickets", "add", "1", "2", "3", "4", "5", "6"};
            },
            0, "the change was made, but its confirmation could not be written", After::Replaced,
            stored(1), false, false, {Output::Closed}},
        {"tickets_add_into_full_disk",
            [](Folder &) {
                return V{"tickets", "add", "1", "2", "3", "4", "5", "6"};
            },
            0, "warning: the change was made", After::Replaced, stored(1), false, false,
            {Output::Full}},
    };
    for (const Case &c : cases)
        runCase(c);
}

TEST(HostileCases, FolderThatCannotBeWritten)
{
    // Root writes into any folder: the program runs as nobody, the folder is read-only to it.
    const auto readOnlyFolder = [](V args) {
        return [args](Folder &f) {
            fs::permissions(f.db, fs::perms::all);
            fs::permissions(f.dir.path(),
                fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                    | fs::perms::others_read | fs::perms::others_exec);
            return args;
        };
    };
    // A change interrupted by kill -9 leaves a journal that the next reader must roll back.
    const auto hotJournal = [&](V args) {
        return [=](Folder &f) {
            if (const pid_t child = ::fork(); child == 0) {
                Database db;
                if (db.open(f.db) && db.exec("PRAGMA cache_size = 1") && db.exec("BEGIN IMMEDIATE"))
                    db.exec("delete from 結果マスタ");
                ::kill(::getpid(), SIGKILL);
            } else {
                ::waitpid(child, nullptr, 0);
            }
            EXPECT_TRUE(fs::exists(f.dir / "h.db-journal"));
            return readOnlyFolder(args)(f);
        };
    };
    const Case cases[] = {
        {"totals_with_hot_journal_in_read_only_folder", hotJournal({"totals"}), 1,
            "is not writable", After::Unchanged, nullptr, false, false,
            {Output::File, RLIM_INFINITY, true}},
        {"add_in_read_only_folder", readOnlyFolder(AddNext), 1, "is not writable", After::Unchanged,
            nullptr, false, false, {Output::File, RLIM_INFINITY, true}},
        {"tickets_add_in_read_only_folder",
            readOnlyFolder({"tickets", "add", "1", "2", "3", "4", "5", "6"}), 1,
            "so no change can be made safely", After::Unchanged, nullptr, false, false,
            {Output::File, RLIM_INFINITY, true}},
    };
    for (const Case &c : cases)
        runCase(c);
}
