// The hardened edges of the store and the command line: tickets booked for a draw the history
// has moved past, stored payouts outside the game, files read before they are checked, output
// left behind by a signal, dangling links, long lists and the limits and echoes of refusals.
#include "testserver.h"
#include "testsupport.h"

#include "design/designbook.h"
#include "store/atomicfile.h"
#include "store/drawbydrawupdate.h"
#include "store/filereader.h"
#include "store/outputfile.h"
#include "store/prizestore.h"
#include "store/textcodec.h"
#include "store/updatesources.h"
#include "tickets/ticketbook.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace loto6;
namespace fs = std::filesystem;

namespace {

std::vector<Ticket> storedTickets(Database &db)
{
    std::vector<Ticket> tickets;
    EXPECT_TRUE(TicketBook(db).tickets(tickets));
    return tickets;
}

DrawPrizes payout(int drawNo, long long sales)
{
    DrawPrizes p;
    p.drawNo = drawNo;
    const long long winners[] = {1, 5, 200, 9'000, 150'000};
    const long long prizes[] = {200'000'000, 10'000'000, 500'000, 9'000, 1'000};
    for (std::size_t t = 0; t < 5; ++t)
        p.tiers[t] = {winners[t], prizes[t]};
    p.carryOver = 0;
    p.sales = sales;
    return p;
}

void storePayouts(Database &db, const std::vector<DrawPrizes> &payouts)
{
    for (const DrawPrizes &p : payouts)
        ASSERT_TRUE(writePrizes(db, p));
}

} // namespace

TEST(NextDrawBooking, HistoryThatMovedOnRefusesTheTicketsNamingBothDraws)
{
    test::TempDir dir;
    const fs::path file = dir / "h.db";
    test::makeDatabase(file, test::makeDraws(10, 1));
    Database db;
    ASSERT_TRUE(db.open(file));
    const std::vector<design::Combination> set{{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    std::vector<Ticket> made;
    ASSERT_TRUE(design::addDesignedTickets(db, set, 11, 1, "設計 --seed 1", made));
    EXPECT_EQ(storedTickets(db).size(), 2u);

    // Another program stores draw 11 while the next set is made for draw 11.
    Database other;
    ASSERT_TRUE(other.open(file));
    ASSERT_TRUE(other.importDraws({test::draw(11, {1, 9, 17, 25, 33, 41, 43})}, false));
    const Status late = design::addDesignedTickets(db, set, 11, 1, "設計 --seed 2", made);
    ASSERT_FALSE(late);
    EXPECT_EQ(late.fault().kind, FaultKind::NextDrawMoved);
    EXPECT_NE(late.message().find("draw 11"), std::string::npos) << late.message();
    EXPECT_NE(late.message().find("now 12"), std::string::npos) << late.message();
    EXPECT_EQ(storedTickets(db).size(), 2u) << "nothing of the late set is stored";

    // A ticket for the next draw without --from is held to the same; one for a given draw is not.
    std::vector<Ticket> one(1);
    one[0].numbers = {1, 2, 3, 4, 5, 6};
    one[0].firstDraw = 11;
    EXPECT_EQ(TicketBook(db).addForNextDraw(one, 11).fault().kind, FaultKind::NextDrawMoved);
    EXPECT_TRUE(TicketBook(db).add(one));
    one[0].firstDraw = 12;
    EXPECT_TRUE(TicketBook(db).addForNextDraw(one, 12));
    EXPECT_EQ(storedTickets(db).size(), 4u);
}

TEST(StoredPayouts, OnesOutsideTheGameAreCountedAndLeftOut)
{
    Database db;
    ASSERT_TRUE(db.openInMemory());
    DrawPrizes huge = payout(2, 9'223'372'036'854'775'807);
    DrawPrizes negative = payout(3, 5'000'000'000);
    negative.tiers[2].winners = -5;
    DrawPrizes moreWinnersThanTickets = payout(4, 2'000);
    DrawPrizes prizeOverCap = payout(5, 5'000'000'000);
    prizeOverCap.tiers[0].prize = 600'000'001;
    DrawPrizes carryBelowZero = payout(6, 5'000'000'000);
    carryBelowZero.carryOver = -1;
    DrawPrizes unknownSales = payout(7, 0); // how some sources write sales they lack
    DrawPrizes atTheEdges = payout(8, MaxPayoutSales);
    atTheEdges.tiers[0].prize = 600'000'000;
    storePayouts(db,
        {payout(1, 5'000'000'000), huge, negative, moreWinnersThanTickets, prizeOverCap,
            carryBelowZero, unknownSales, atTheEdges});

    std::map<int, DrawPrizes> prizes;
    StoredPayoutsCheck check;
    ASSERT_TRUE(readPrizes(db, prizes, &check));
    std::vector<int> kept;
    for (const auto &[drawNo, p] : prizes)
        kept.push_back(drawNo);
    EXPECT_EQ(kept, (std::vector<int>{1, 7, 8}));
    EXPECT_EQ(check.count, 5);
    EXPECT_EQ(check.first.fault().kind, FaultKind::PayoutImpossible);
    const std::string warning = storedPayoutsWarning(check);
    EXPECT_NE(warning.find("5 stored payout(s)"), std::string::npos) << warning;
    EXPECT_NE(warning.find("draw 2"), std::string::npos) << warning;
    EXPECT_NE(warning.find("200..1000000000000000"), std::string::npos) << warning;

    // The copies of the store (export, merges) still see every row as it is.
    int rows = 0;
    ASSERT_TRUE(forEachPrizes(db, [&](const DrawPrizes &) { ++rows; }));
    EXPECT_EQ(rows, 8);
}

TEST(StoredPayouts, EveryFigureOfTheCommandLineLeavesThemOut)
{
    test::TempDir dir;
    const auto bundled = [&](const std::string &name) {
        const std::string file = (dir / name).string();
        Database d;
        EXPECT_TRUE(d.openOrCreate(file, SHARED_HISTORY));
        return file;
    };
    const std::string damaged = bundled("damaged.db");
    const std::string without = bundled("without.db");
    {
        Database d;
        ASSERT_TRUE(d.open(damaged));
        ASSERT_TRUE(d.exec("update 払戻金 set 販売実績額 = 9223372036854775807, 口数3 = -5 "
                           "where 回数 % 10 = 0"));
        Database w;
        ASSERT_TRUE(w.open(without));
        ASSERT_TRUE(w.exec("delete from 払戻金 where 回数 % 10 = 0"));
    }
    // Left out is the same as not there, with a warning naming how many and the first.
    const std::vector<std::vector<std::string>> commands{
        {"popularity", "1", "2", "3", "4", "5", "6", "--format", "json"},
        {"odds", "1", "2", "3", "4", "5", "6", "--format", "json"}};
    for (const std::vector<std::string> &command : commands) {
        std::vector<std::string> a{"--db", damaged};
        a.insert(a.end(), command.begin(), command.end());
        const test::CliRun bad = test::runCli(a);
        a[1] = without;
        const test::CliRun good = test::runCli(a);
        ASSERT_EQ(bad.code, 0) << bad.err;
        EXPECT_EQ(bad.out, good.out) << command.front();
        EXPECT_NE(bad.err.find("warning: 214 stored payout(s) hold values no published payout "
                               "has (first: the payout of draw 10 has 販売実績額"),
            std::string::npos)
            << bad.err;
    }
}

TEST(FilesRead, UpdateSettingsAreCheckedBeforeTheyAreRead)
{
    test::ScopedEnv url(UpdateUrlVariable, nullptr);
    test::ScopedEnv server(UpdateServerVariable, nullptr);
    test::TempDir dir;
    const fs::path conf = dir / UpdateConfigFileName;
    Status problem;

    // A byte-order mark before the first line is no part of it.
    std::ofstream(conf, std::ios::binary) << "\xEF\xBB\xBFurl=http://a.test/x.db\nserver=b.test\n";
    EXPECT_EQ(configuredUpdateSources(dir.path(), &problem),
        (std::vector<std::string>{
            "http://a.test/x.db", "http://b.test" + std::string(UpdatePath)}));
    EXPECT_TRUE(problem);

    // An endless device, a pipe nobody writes and a file past the limit are refused unread.
    fs::remove(conf);
    fs::create_symlink("/dev/zero", conf);
    EXPECT_TRUE(configuredUpdateSources(dir.path(), &problem).empty());
    EXPECT_EQ(problem.fault().kind, FaultKind::NotOrdinaryFile);
    fs::remove(conf);
    ASSERT_EQ(::mkfifo(conf.c_str(), 0600), 0);
    problem = Status::success();
    EXPECT_TRUE(configuredUpdateSources(dir.path(), &problem).empty());
    EXPECT_EQ(problem.fault().kind, FaultKind::NotOrdinaryFile);
    EXPECT_NE(problem.message().find(UpdateConfigFileName), std::string::npos);
    fs::remove(conf);
    std::ofstream(conf, std::ios::binary) << "url=http://a.test/\n"
                                          << std::string(MaxUpdateConfigBytes, '#');
    problem = Status::success();
    EXPECT_TRUE(configuredUpdateSources(dir.path(), &problem).empty());
    EXPECT_EQ(problem.fault().kind, FaultKind::FileTooBig);

    // A missing file is no problem: nothing is set.
    fs::remove(conf);
    problem = Status::success();
    EXPECT_TRUE(configuredUpdateSources(dir.path(), &problem).empty());
    EXPECT_TRUE(problem);

    // The same check for a file another library reads.
    EXPECT_TRUE(checkRegularFile(conf, 10, "x"));
    EXPECT_EQ(checkRegularFile("/dev/zero", 10, "x").fault().kind, FaultKind::NotOrdinaryFile);
}

TEST(FilesRead, ManyFailingSourcesAreNamedAFewAndCounted)
{
    test::TempDir dir;
    const fs::path file = dir / "h.db";
    test::makeDatabase(file, test::makeDraws(10, 2));
    test::TestServer missing(test::httpReply(404, "gone"));
    std::vector<std::string> sources;
    for (int i = 0; i < 200; ++i)
        sources.push_back(missing.url() + "/source" + std::to_string(i) + ".db");
    const UpdateResult r = updateFromSources(file, sources, false);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.message().find("/source2.db"), std::string::npos) << r.message();
    EXPECT_EQ(r.message().find("/source3.db"), std::string::npos) << r.message();
    EXPECT_NE(r.message().find("and 197 more source(s) failed"), std::string::npos) << r.message();
    EXPECT_LT(r.message().size(), 1000u);
    // The reasons named in words, the last source's kind kept for the desktop's advice.
    EXPECT_TRUE(isHttpStatus(r.reason.fault(), 404));
}

TEST(OutputFiles, SignalRemovesTheTemporaryFileAndEndsAsTheSignalWould)
{
    test::TempDir dir;
    for (int signo : {SIGTERM, SIGINT}) {
        const fs::path tmp = temporarySibling(dir / "out.json");
        const pid_t child = ::fork();
        if (child == 0) {
            removeTemporaryFilesOnSignals();
            std::ofstream(tmp) << "half";
            const TemporaryOutput noted(tmp);
            ::raise(signo);
            ::_exit(0); // not reached
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WTERMSIG(status), signo);
        EXPECT_FALSE(fs::exists(tmp)) << tmp;
    }
}

TEST(OutputFiles, DanglingLinkWritesItsTargetOrIsRefused)
{
    test::TempDir dir;
    const fs::path link = dir / "out.csv";
    fs::create_symlink("made/target.csv", link);
    fs::create_directory(dir / "made");
    ASSERT_TRUE(writeOutputFile(link, "one\n"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::readAll(dir / "made" / "target.csv"), "one\n");

    // A chain of links ending at the database's journal, not made yet, is the database's.
    const fs::path db = dir / "h.db";
    fs::create_symlink(dir / "h.db-journal", dir / "first");
    fs::create_symlink("first", dir / "second.csv");
    const Status refused = writeOutputFile(dir / "second.csv", "x", databaseFiles(db));
    EXPECT_EQ(refused.fault().kind, FaultKind::ProtectedOutput);
    EXPECT_FALSE(fs::exists(dir / "h.db-journal"));
    EXPECT_TRUE(fs::is_symlink(dir / "second.csv"));

    // A loop of links is refused, not followed for ever.
    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    EXPECT_FALSE(writeOutputFile(dir / "loop-a", "x"));
    EXPECT_TRUE(fs::is_symlink(dir / "loop-a"));
}

TEST(CommandLimits, RefusalsNameTheWholeRange)
{
    test::TempDir dir;
    const std::string db = (dir / "h.db").string();
    test::makeDatabase(db, test::makeDraws(30, 3));
    const std::vector<std::string> pool{
        "wheel", "1", "2", "3", "4", "5", "6", "7", "--win", "3", "--if", "3", "--seconds"};
    for (const char *seconds : {"nan", "NaN", "inf", "0.01", "0", "-1", "3600.5"}) {
        std::vector<std::string> a{"--db", db};
        a.insert(a.end(), pool.begin(), pool.end());
        a.push_back(seconds);
        const test::CliRun r = test::runCli(a);
        EXPECT_EQ(r.code, 2) << seconds << ": " << r.err;
        EXPECT_NE(r.err.find("from 0.1 to 3600"), std::string::npos) << r.err;
    }
    std::vector<std::string> a{"--db", db};
    a.insert(a.end(), pool.begin(), pool.end());
    a.push_back("0.1");
    EXPECT_EQ(test::runCli(a).code, 0);

    test::CliRun r = test::runCli(
        {"--db", db, "popularity", "1", "2", "3", "4", "5", "6", "--sales", "1000000000000000000"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("(200 to 1000000000000000)"), std::string::npos) << r.err;
    r = test::runCli({"--db", db, "popularity", "--backtest", "--from", "0"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("from 1 to "), std::string::npos) << r.err;

    // A chart of one number asks for the number rather than drawing 01.
    r = test::runCli({"--db", db, "chart", "number"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("give it with --number N (1 to 43)"), std::string::npos) << r.err;
    r = test::runCli({"--db", db, "chart", "number", "--number", "7", "--format", "json"});
    EXPECT_EQ(r.code, 0) << r.err;
}

namespace {

// One refusal of every command; X stands where the hostile value goes.
const std::string X = "\x01";

std::vector<std::vector<std::string>> refusalsOfEveryCommand()
{
    return {
        {X},
        {"--as-of", X},
        {"--" + X},
        {"import", "--" + X},
        {"import", X},
        {"export", "-o", "missing/" + X},
        {"export", X},
        {"sources", X},
        {"totals", X},
        {"show", X},
        {"show", "frequency", X},
        {"predict", X},
        {"predict", "--on", X},
        {"update", X},
        {"update", "--url", X},
        {"backtest", X},
        {"chance", X},
        {"add", "--" + X},
        {"tickets", "add", X},
        {"tickets", "add", "1", "2", "3", "4", "5", "6", "--from", X},
        {"tickets", "remove", X},
        {"tickets", "list", X},
        {"tickets", "check", X},
        {"tickets", "record", X},
        {"check", X},
        {"check", "1", "2", "3", "4", "5", "6", X},
        {"popularity", X},
        {"popularity", "--from", X, "--backtest"},
        {"popularity", "--sales", X},
        {"popularity", "--carry-over", X},
        {"popularity", "--" + X},
        {"chart", X},
        {"chart", "--" + X},
        {"chart", "number", "--number", X},
        {"chart", "frequency", "--number", "1", X},
        {"design", "--sum", X, "--count"},
        {"design", "--include", X, "--count"},
        {"design", "--least-popular", X, "--count"},
        {"design", "--sort", X, "--pick", "1"},
        {"design", X},
        {"design", "--" + X},
        {"wheel", X},
        {"wheel", "--" + X},
        {"wheel", "1", "2", "3", "4", "5", "6", "--full", "--seconds", X},
        {"wheel", "1", "2", "3", "4", "5", "6", "--full", "--seed", X},
        {"odds", X},
        {"odds", "--" + X},
    };
}

// Standard error is UTF-8 on short lines without control bytes.
void expectCleanLines(const std::string &err)
{
    EXPECT_TRUE(isValidUtf8(err)) << err;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < err.size(); ++i) {
        const auto c = static_cast<unsigned char>(err[i]);
        if (c == '\n') {
            EXPECT_LT(i - lineStart, 600u) << err.substr(lineStart, 200);
            lineStart = i + 1;
        } else {
            EXPECT_TRUE(c >= 0x20 && c != 0x7f) << "control byte " << int(c);
        }
    }
}

} // namespace

// Every command's refusals echo a hostile value escaped and cut, on one short line of text.
TEST(CommandEchoes, EveryRefusalEscapesAndCutsWhatItEchoes)
{
    test::TempDir dir;
    const std::string db = (dir / "h.db").string();
    test::makeDatabase(db, test::makeDraws(30, 4));
    const std::string hostile[]
        = {"x\x1b[2J\x1b]0;pwned\x07", "d\xe9\xff\xfe", std::string(100'000, '9')};
    for (const std::vector<std::string> &refusal : refusalsOfEveryCommand()) {
        for (const std::string &value : hostile) {
            std::vector<std::string> a{"--db", db};
            for (std::string arg : refusal) {
                if (const std::size_t at = arg.find(X); at != std::string::npos)
                    arg.replace(at, X.size(), value);
                a.push_back(arg);
            }
            const test::CliRun r = test::runCli(a);
            SCOPED_TRACE(refusal.front() + " " + (refusal.size() > 1 ? refusal[1] : ""));
            EXPECT_NE(r.code, 0) << r.err;
            expectCleanLines(r.err);
        }
    }
}
