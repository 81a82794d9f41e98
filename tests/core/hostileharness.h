// The harness of the hostile cases against the built command line. Each case runs the program
// in a fresh folder on a copy of one database and checks the exit status, that standard error
// says what was expected on short lines without control bytes, and the database's bytes
// afterwards: unchanged, or replaced by a database that holds what the command was to store.
#pragma once

#include "testserver.h"
#include "testsupport.h"

#include "store/csvhistory.h"
#include "store/database.h"
#include "store/textcodec.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <memory>

namespace loto6::hostile {

namespace fs = std::filesystem;

inline int casesRun = 0;

// One case's folder: the database h.db, the files the case makes, the server it starts.
struct Folder
{
    test::TempDir dir;
    fs::path db = dir / "h.db";
    std::unique_ptr<test::TestServer> server;

    fs::path write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }
    std::string serve(const std::string &body, int status = 200)
    {
        server = std::make_unique<test::TestServer>(test::httpReply(status, body));
        return server->url();
    }
    // Answers each path with what `respond` gives (a whole HTTP answer).
    std::string serve(std::function<std::string(const std::string &path)> respond)
    {
        server = std::make_unique<test::TestServer>(std::move(respond));
        return server->url("");
    }
};

// What the database holds after the run: the same bytes, other bytes, or the same draws,
// payouts and tickets (a command that shows popularity may add the estimate it learnt).
enum class After { Unchanged, Replaced, SameData };

// Where the program's standard output goes.
enum class Output { File, Closed, Full };

// How the program is started, beyond its arguments.
struct Start
{
    Output output = Output::File;
    rlim_t fileSizeLimit = RLIM_INFINITY; // ulimit -f, in bytes
    bool asNobody = false;                // run as the unprivileged user nobody
};

struct Case
{
    std::string name;
    // Makes the files the case needs and gives the arguments after `--db h.db`.
    std::function<std::vector<std::string>(Folder &)> args;
    int code;
    std::string message; // a part of standard error; empty when nothing in particular
    After after = After::Unchanged;
    // More checks on the database afterwards (a replaced one above all).
    std::function<void(const Folder &)> check = nullptr;
    bool withoutDb = false; // the arguments name the database themselves
    bool locked = false;    // another connection holds the database locked while the program runs
    Start start = {};
};

// The arguments of a case that makes no file of its own.
inline std::function<std::vector<std::string>(Folder &)> fixedArgs(std::vector<std::string> a)
{
    return [a](Folder &) { return a; };
}

struct Run
{
    int code = -1;
    std::string err;
};

// Starts the program in `dir`, standard input empty, standard error (and output) kept in files.
inline pid_t startProgram(
    const std::vector<std::string> &args, const fs::path &dir, Start start = {})
{
    const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    ::dup2(::open("/dev/null", O_RDONLY), 0);
    ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    // Closed last, so that no file opened here takes its place.
    if (start.output == Output::Closed)
        ::close(1);
    else
        ::dup2(start.output == Output::Full
                ? ::open("/dev/full", O_WRONLY)
                : ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600),
            1);
    if (::chdir(dir.c_str()) != 0)
        ::_exit(127);
    if (start.fileSizeLimit != RLIM_INFINITY) {
        const rlimit limit{start.fileSizeLimit, start.fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (start.asNobody && ::geteuid() == 0) {
        const passwd *nobody = ::getpwnam("nobody");
        if (!nobody || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
            ::_exit(126);
    }
    std::vector<char *> argv{const_cast<char *>(CLI_PROGRAM)};
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(CLI_PROGRAM, argv.data());
    ::_exit(127);
}

// Waits at most a minute for the program; its exit status and standard error.
inline Run waitProgram(pid_t pid, const fs::path &dir)
{
    Run run;
    int status = 0;
    for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; waited += 5) {
        if (waited > 60'000) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            run.err = "timed out";
            return run;
        }
        ::usleep(5'000);
    }
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.err = test::readAll(dir / "stderr.txt");
    return run;
}

inline Run runProgram(const std::vector<std::string> &args, const fs::path &dir, Start start = {})
{
    return waitProgram(startProgram(args, dir, start), dir);
}

// Every line short, no control byte but the line ends, all of it UTF-8.
inline void expectCleanMessage(const std::string &err)
{
    EXPECT_TRUE(isValidUtf8(err)) << "not UTF-8: " << err.substr(0, 200);
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < err.size(); ++i) {
        const auto c = static_cast<unsigned char>(err[i]);
        if (c == '\n') {
            EXPECT_LT(i - lineStart, 600u) << "a long line: " << err.substr(lineStart, 200);
            lineStart = i + 1;
            continue;
        }
        EXPECT_TRUE(c >= 0x20 && c != 0x7f) << "control byte " << int(c) << " in " << err;
    }
}

// The bundled history as the programs create it, copied for every case.
inline const std::string &templateDatabase()
{
    static const std::string bytes = [] {
        test::TempDir dir;
        const Run r = runProgram({"--db", (dir / "t.db").string(), "totals"}, dir.path());
        EXPECT_EQ(r.code, 0) << r.err;
        return test::readAll(dir / "t.db");
    }();
    return bytes;
}

// The draws, payouts and tickets of a database as text, row by row.
inline std::string storedData(const std::filesystem::path &db)
{
    Database d;
    EXPECT_TRUE(d.open(db));
    std::string out;
    for (const char *table : {"結果マスタ", "払戻金", "購入番号"}) {
        SqlStatement st = d.prepare(std::string("SELECT * FROM ") + table + " ORDER BY 1");
        while (st.next())
            for (int c = 0; c < st.columnCount(); ++c)
                out.append(st.isNull(c) ? std::string_view("null") : st.textView(c)).push_back('|');
        out += '\n';
    }
    return out;
}

// A fresh folder holding a copy of the template database.
inline void prepare(Folder &f) { std::ofstream(f.db, std::ios::binary) << templateDatabase(); }

inline void runCase(const Case &c)
{
    SCOPED_TRACE(c.name);
    ++casesRun;
    Folder f;
    prepare(f);
    std::vector<std::string> args = c.args(f);
    if (!c.withoutDb)
        args.insert(args.begin(), {"--db", f.db.string()});
    const std::string before = test::readAll(f.db);
    const std::string beforeData = c.after == After::SameData ? storedData(f.db) : std::string();
    // Opened after the bytes are read: closing any other handle on the file in this process
    // would drop the lock.
    Database holder;
    if (c.locked) {
        ASSERT_TRUE(holder.open(f.db));
        ASSERT_TRUE(holder.exec("BEGIN EXCLUSIVE"));
    }
    const Run r = runProgram(args, f.dir.path(), c.start);
    holder.close();
    EXPECT_EQ(r.code, c.code) << r.err;
    if (!c.message.empty()) {
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    if (r.code != 0) {
        EXPECT_FALSE(r.err.empty()) << "a failure says why";
    }
    expectCleanMessage(r.err);
    if (c.after == After::Unchanged)
        EXPECT_TRUE(test::readAll(f.db) == before) << "the database changed";
    else if (c.after == After::SameData)
        EXPECT_TRUE(storedData(f.db) == beforeData) << "the draws, payouts or tickets changed";
    else
        EXPECT_FALSE(test::readAll(f.db) == before) << "the database is as it was";
    if (c.check)
        c.check(f);
}

// The draws a database holds, read as the programs read them.
inline std::vector<DrawRecord> storedDraws(const fs::path &file)
{
    Database db;
    std::vector<DrawRecord> draws;
    EXPECT_TRUE(db.open(file));
    EXPECT_TRUE(db.readDraws(draws));
    return draws;
}

// The first column of the first row of a query; -1 when there is none.
inline int queryNumber(const fs::path &file, const std::string &sql)
{
    Database db;
    EXPECT_TRUE(db.open(file));
    SqlStatement st = db.prepare(sql);
    return st.next() ? static_cast<int>(st.integer(0)) : -1;
}

// Runs SQL on the case's database before the program runs.
inline void execOn(const fs::path &file, const std::string &sql)
{
    Database db;
    ASSERT_TRUE(db.open(file));
    ASSERT_TRUE(db.exec(sql));
}

inline std::vector<DrawRecord> bundledDraws()
{
    std::vector<DrawRecord> draws;
    EXPECT_TRUE(test::readDraws(SHARED_HISTORY, draws));
    return draws;
}

inline const std::string Header = std::string(CanonicalCsvHeader) + "\n";

inline std::string csvRow(const std::string &row) { return Header + row + "\n"; }

// The history the server holds: the bundled one and the next draw.
inline std::vector<DrawRecord> servedDraws()
{
    std::vector<DrawRecord> draws = bundledDraws();
    draws.push_back(test::draw(2145, {2, 8, 10, 13, 27, 30, 39}));
    draws.back().date = "2026-10-12";
    return draws;
}

// A database file holding the served draws with `sql` run on it.
inline std::string servedDatabase(const Folder &f, const std::string &sql)
{
    const fs::path file = f.dir / "served.db";
    test::makeDatabase(file, servedDraws());
    Database db;
    EXPECT_TRUE(db.open(file));
    EXPECT_TRUE(db.exec(sql));
    db.close();
    return test::readAll(file);
}

inline void expectDraws(const Folder &f, std::size_t count)
{
    EXPECT_EQ(storedDraws(f.db).size(), count);
}

// Only the program's own table and view, and every draw seen through the view.
inline void expectOwnSchemaAndDraws(const Folder &f, int count)
{
    EXPECT_EQ(queryNumber(f.db, "select count(*) from sqlite_master where type = 'trigger'"), 0);
    EXPECT_EQ(queryNumber(f.db, "select count(*) from 全データ選択クエリ"), count);
    EXPECT_EQ(queryNumber(f.db, "select count(*) from sqlite_master where type = 'view'"), 1);
}

} // namespace loto6::hostile
