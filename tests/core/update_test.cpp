#include "testserver.h"
#include "testsupport.h"

#include "cli/cli.h"
#include "store/atomicfile.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "store/drawbydrawupdate.h"
#include "store/drawvalidation.h"
#include "store/historyfile.h"
#include "store/historyupdater.h"
#include "store/prizestore.h"
#include "store/textcodec.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using namespace loto6;
using loto6::test::csvOf;
using loto6::test::httpReply;
using loto6::test::makeDatabase;
using loto6::test::makeDraws;
using loto6::test::TestServer;

namespace {

void expectSameDraws(const std::vector<DrawRecord> &actual, const std::vector<DrawRecord> &expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].drawNo, expected[i].drawNo);
        EXPECT_EQ(actual[i].date, expected[i].date);
        EXPECT_EQ(actual[i].fields, expected[i].fields) << "draw " << expected[i].drawNo;
    }
}

class UpdateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_tmp.path().empty());
        m_dir = m_tmp.path();
        m_target = m_dir / "Loto6Zumvel.db";
        m_oldDraws = makeDraws(30, 1);
        makeDatabase(m_target, m_oldDraws);
        m_original = test::readAll(m_target);

        // The fresh history on the server: the held draws and more.
        m_newDraws = makeDraws(400, 2);
        std::copy(m_oldDraws.begin(), m_oldDraws.end(), m_newDraws.begin());
        const fs::path fresh = m_dir / "fresh" / "Loto6Zumvel.db";
        fs::create_directory(fresh.parent_path());
        makeDatabase(fresh, m_newDraws);
        m_newDatabase = test::readAll(fresh);
        fs::remove_all(fresh.parent_path());
    }
    std::vector<DrawRecord> storedDraws() const
    {
        Database db;
        EXPECT_TRUE(db.open(m_target).ok());
        std::vector<DrawRecord> draws;
        EXPECT_TRUE(db.readDraws(draws).ok());
        return draws;
    }

    // Nothing but the target (and a backup after an update) may be left in the folder.
    void expectNoLeftovers() const
    {
        for (const auto &e : fs::directory_iterator(m_dir)) {
            const std::string name = e.path().filename().string();
            EXPECT_TRUE(name == "Loto6Zumvel.db" || name == "Loto6Zumvel.db.bak") << name;
        }
    }

    // The bytes of a database of the new draws after the given statements, made beside the target.
    std::string newDatabaseAfter(const std::string &sql) const
    {
        const fs::path other = m_dir / "changed" / "x.db";
        fs::create_directory(other.parent_path());
        makeDatabase(other, m_newDraws);
        Database db;
        EXPECT_TRUE(db.open(other).ok());
        EXPECT_TRUE(db.exec(sql).ok());
        db.close();
        std::string bytes = test::readAll(other);
        fs::remove_all(other.parent_path());
        return bytes;
    }

    test::TempDir m_tmp;
    fs::path m_dir;
    fs::path m_target;
    std::vector<DrawRecord> m_oldDraws;
    std::vector<DrawRecord> m_newDraws;
    std::string m_original;
    std::string m_newDatabase;
};

TEST_F(UpdateTest, InstallsAGoodDatabaseOrCsvAndKeepsTheOldFile)
{
    const struct
    {
        const char *name;
        std::string body;
        bool withLength;
        UpdateFormat format;
    } cases[] = {
        {"sqlite", m_newDatabase, true, UpdateFormat::SQLite},
        {"sqlite-without-length", m_newDatabase, false, UpdateFormat::SQLite},
        {"csv", csvOf(m_newDraws), true, UpdateFormat::Csv},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFileAtomically(m_target, m_original).ok());
        TestServer server(httpReply(200, c.body, c.withLength));
        const UpdateResult r = updateHistory(m_target, server.url());
        ASSERT_TRUE(r.ok()) << r.message();
        EXPECT_EQ(r.message(), "当選データを最新化しました。");
        EXPECT_EQ(r.format, c.format);
        EXPECT_EQ(test::readAll(fs::path(m_target) += ".bak"), m_original);
        if (c.format == UpdateFormat::SQLite) {
            EXPECT_EQ(r.drawCount, m_newDraws.size());
            expectSameDraws(storedDraws(), m_newDraws);
        } else {
            std::vector<DrawRecord> expected;
            ASSERT_TRUE(test::readDrawBytes(c.body, expected).ok());
            EXPECT_EQ(r.drawCount, expected.size());
            expectSameDraws(storedDraws(), expected);
        }
        expectNoLeftovers();
    }
}

// A whole history is read by the same reader as an import: every published layout is taken,
// and a layout that carries payouts brings them in with the draws.
TEST_F(UpdateTest, AWholeHistoryOfAnyLayoutIsInstalledWithItsPayouts)
{
    for (const char *name : {"alternating-history-sample.csv", "prize-history-sample.csv"}) {
        SCOPED_TRACE(name);
        const fs::path sample = fs::path(TEST_DATA_DIR) / "layouts" / name;
        HistoryFile expected;
        ASSERT_TRUE(readHistoryFile(sample, expected).ok());
        ASSERT_FALSE(expected.prizes.empty());
        // The database holds the first draw without its payout.
        fs::remove(m_target);
        makeDatabase(m_target, {expected.draws.front()});

        TestServer server(httpReply(200, test::readAll(sample)));
        const UpdateResult r = updateHistory(m_target, server.url());
        ASSERT_TRUE(r.ok()) << r.message();
        EXPECT_EQ(r.drawCount, expected.draws.size());
        expectSameDraws(storedDraws(), expected.draws);

        Database db;
        ASSERT_TRUE(db.open(m_target).ok());
        std::map<int, DrawPrizes> stored;
        ASSERT_TRUE(readPrizes(db, stored).ok());
        ASSERT_EQ(stored.size(), expected.prizes.size());
        for (const auto &[no, p] : expected.prizes) {
            SCOPED_TRACE(no);
            ASSERT_TRUE(stored.contains(no));
            for (int t = 1; t <= DrawPrizes::TierCount; ++t) {
                EXPECT_EQ(stored[no].tier(t).winners, p.tier(t).winners);
                EXPECT_EQ(stored[no].tier(t).prize, p.tier(t).prize);
            }
            EXPECT_EQ(stored[no].carryOver, p.carryOver);
        }
    }
}

TEST_F(UpdateTest, FailedOrRefusedDownloadLeavesTheDatabaseUntouched)
{
    std::string randomBytes(5000, '\0');
    std::mt19937 rng(7);
    for (char &ch : randomBytes)
        ch = static_cast<char>(rng());
    std::string csv44 = csvOf(m_newDraws);
    const std::size_t firstRow = csv44.find('\n') + 1;
    csv44.replace(firstRow, csv44.find('\n', firstRow) - firstRow, "1,2020-01-02,1,2,3,4,5,44,7");
    const std::string csv = csvOf(m_newDraws);
    // A copy whose page count in the header promises more pages than it has.
    const std::string pageCut = m_newDatabase.substr(0, m_newDatabase.size() / 2 / 4096 * 4096);
    std::string damaged = m_newDatabase;
    for (std::size_t i = 4096; i < damaged.size(); i += 97)
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5a);
    const std::string noView = newDatabaseAfter("DROP VIEW 全データ選択クエリ; CREATE VIEW "
                                                "全データ選択クエリ_x AS SELECT * FROM 結果マスタ");
    const std::string badNumber
        = newDatabaseAfter("UPDATE 結果マスタ SET 第3数字 = 44 WHERE 回数 = 200");

    const struct
    {
        const char *name;
        std::string reply;
        UpdateOutcome outcome;
        const char *reason;
    } cases[] = {
        {"not-found", httpReply(404, "no such file"), UpdateOutcome::DownloadFailed, "HTTP 404"},
        {"empty-body", httpReply(200, ""), UpdateOutcome::DownloadFailed, "empty"},
        {"cut-against-length",
            httpReply(200, m_newDatabase).substr(0, httpReply(200, m_newDatabase).size() - 5000),
            UpdateOutcome::DownloadFailed, "download failed"},
        {"cut-mid-page", httpReply(200, m_newDatabase.substr(0, 20000), false),
            UpdateOutcome::Refused, "cut short"},
        {"cut-at-page", httpReply(200, pageCut, false), UpdateOutcome::Refused, "cut short"},
        {"damaged-pages", httpReply(200, damaged), UpdateOutcome::Refused, "refused"},
        {"random-bytes", httpReply(200, randomBytes), UpdateOutcome::Refused, "refused"},
        {"csv-with-44", httpReply(200, csv44), UpdateOutcome::Refused, "44 is outside 1..43"},
        {"csv-cut-mid-line", httpReply(200, csv.substr(0, csv.size() - 4), false),
            UpdateOutcome::Refused, "middle of a line"},
        {"csv-header-only", httpReply(200, std::string(CanonicalCsvHeader) + "\n"),
            UpdateOutcome::Refused, "no draws"},
        {"database-without-view", httpReply(200, noView), UpdateOutcome::Refused,
            "全データ選択クエリ"},
        {"database-with-44", httpReply(200, badNumber), UpdateOutcome::Refused,
            "44 is outside 1..43"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server(c.reply);
        const UpdateResult r = updateHistory(m_target, server.url());
        EXPECT_EQ(r.outcome, c.outcome) << r.message();
        EXPECT_EQ(r.message().find('\n'), std::string::npos) << r.message();
        EXPECT_NE(r.message().find(c.reason), std::string::npos) << r.message();
        EXPECT_EQ(test::readAll(m_target), m_original);
        EXPECT_FALSE(fs::exists(fs::path(m_target) += ".bak"));
        expectNoLeftovers();
    }
}

TEST_F(UpdateTest, UnreachableSlowOrOversizedServerFails)
{
    // A bound socket that never listens refuses connections on its port.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len), 0);
    const std::string refusedUrl
        = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + UpdatePath;
    UpdateResult r = updateHistory(m_target, refusedUrl);
    ::close(fd);
    EXPECT_EQ(r.outcome, UpdateOutcome::DownloadFailed);
    EXPECT_NE(r.message().find("connect"), std::string::npos) << r.message();
    EXPECT_EQ(test::readAll(m_target), m_original);

    DownloadLimits quick;
    quick.totalTimeout = std::chrono::milliseconds(700);
    {
        // Headers promise a body that never comes.
        TestServer stalled(httpReply(200, m_newDatabase).substr(0, 300), true);
        const auto start = std::chrono::steady_clock::now();
        r = updateHistory(m_target, stalled.url(), false, quick);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(r.outcome, UpdateOutcome::DownloadFailed);
        EXPECT_NE(r.message().find("timed out"), std::string::npos) << r.message();
    }
    DownloadLimits small;
    small.maxBytes = 10000;
    for (bool withLength : {true, false}) {
        TestServer big(httpReply(200, m_newDatabase, withLength));
        r = updateHistory(m_target, big.url(), false, small);
        EXPECT_EQ(r.outcome, UpdateOutcome::DownloadFailed);
        EXPECT_NE(r.message().find("larger than 10000 bytes"), std::string::npos) << r.message();
    }
    r = updateHistory(m_target, "ftp://127.0.0.1/x");
    EXPECT_EQ(r.outcome, UpdateOutcome::DownloadFailed);
    EXPECT_EQ(test::readAll(m_target), m_original);
    expectNoLeftovers();
}

TEST_F(UpdateTest, MissingTargetIsReportedAndNotCreated)
{
    TestServer server(httpReply(200, m_newDatabase));
    const fs::path missing = m_dir / "none" / "Loto6Zumvel.db";
    const UpdateResult r = updateHistory(missing, server.url());
    EXPECT_EQ(r.outcome, UpdateOutcome::TargetMissing);
    EXPECT_EQ(r.message(), "当選データファイル：'" + missing.string() + "'が存在しません");
    EXPECT_FALSE(fs::exists(missing.parent_path()));
}

// A served database is data: its triggers, views and other objects never reach the target.
TEST_F(UpdateTest, TakesOnlyTheDrawRowsOutOfADownloadedDatabase)
{
    const fs::path other = m_dir / "hostile" / "x.db";
    fs::create_directory(other.parent_path());
    makeDatabase(other, m_newDraws);
    {
        Database db;
        ASSERT_TRUE(db.open(other).ok());
        ASSERT_TRUE(db.exec("CREATE TRIGGER wipe AFTER INSERT ON 結果マスタ BEGIN "
                            "DELETE FROM 結果マスタ; END; DROP VIEW 全データ選択クエリ; "
                            "CREATE VIEW 全データ選択クエリ AS SELECT * FROM 結果マスタ "
                            "WHERE 回数 < 100; CREATE TABLE extra (x)")
                        .ok());
    }
    const std::string served = test::readAll(other);
    fs::remove_all(other.parent_path());

    const UpdateResult r = installHistory(m_target, served);
    ASSERT_TRUE(r.ok()) << r.message();
    Database db;
    ASSERT_TRUE(db.open(m_target).ok());
    DrawHistory history;
    ASSERT_TRUE(db.loadHistory(history).ok());
    EXPECT_EQ(history.size(), m_newDraws.size()) << "the served view is not used";
    ASSERT_TRUE(db.importDraws({test::draw(401, {1, 2, 3, 4, 5, 6, 7})}, false).ok());
    std::vector<DrawRecord> after;
    ASSERT_TRUE(db.readDraws(after).ok());
    EXPECT_EQ(after.size(), m_newDraws.size() + 1) << "the served trigger is not installed";
    SqlStatement st
        = db.prepare("select count(*) from sqlite_master where name in ('wipe', 'extra')");
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.integer(0), 0);
}

TEST_F(UpdateTest, RefusesADownloadThatDropsOrChangesHeldDraws)
{
    std::vector<DrawRecord> shorter(m_oldDraws.begin(), m_oldDraws.begin() + 20);
    std::vector<DrawRecord> changed = m_newDraws;
    changed[4].fields[0] = *changed[4].fields[0] % 43 + 1;
    if (repeatedNumber(changed[4]))
        changed[4] = m_newDraws[4], std::swap(changed[4].fields[0], changed[4].fields[1]);
    std::string incomplete = csvOf(m_newDraws);
    incomplete = incomplete.substr(0, incomplete.rfind(',') + 1) + "\n"; // the last bonus empty
    const struct
    {
        const char *name;
        std::string body;
        UpdateOutcome outcome;
        const char *reason;
    } cases[] = {
        {"cut_at_a_line", csvOf(shorter), UpdateOutcome::WouldLoseDraws,
            "would drop 10 draw(s) the database holds (21, 22, 23, 24, 25, … 30)"},
        {"changed_draw", csvOf(changed), UpdateOutcome::WouldLoseDraws,
            "change 1 complete draw(s) (5)"},
        {"row_with_six_numbers", incomplete, UpdateOutcome::Refused, "fewer than seven numbers"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const UpdateResult r = installHistory(m_target, c.body);
        EXPECT_EQ(r.outcome, c.outcome) << r.message();
        EXPECT_NE(r.message().find(c.reason), std::string::npos) << r.message();
        EXPECT_EQ(test::readAll(m_target), m_original);
    }
    const UpdateResult forced = installHistory(m_target, csvOf(shorter), true);
    ASSERT_TRUE(forced.ok()) << forced.message();
    expectSameDraws(storedDraws(), shorter);
}

TEST_F(UpdateTest, CommandLineReportsOnOneLineAndSetsTheExitStatus)
{
    TestServer good(httpReply(200, m_newDatabase));
    TestServer missing(httpReply(404, ""));
    TestServer shorter(httpReply(
        200, csvOf(std::vector<DrawRecord>(m_oldDraws.begin(), m_oldDraws.begin() + 20))));
    const struct
    {
        const char *name;
        std::vector<std::string> args;
        int exit;
        const char *text;
    } cases[] = {
        {"not-found", {"--url", missing.url()}, 1, "HTTP 404"},
        {"no-address", {"--url"}, 2, "--url"},
        {"extra-argument", {"now"}, 2, "unexpected"},
        {"loses-draws", {"--url", shorter.url()}, 1, "would drop 10 draw(s)"},
        {"success", {"--url", good.url()}, 0, "当選データを最新化しました。"},
        {"forced-loss", {"--url", shorter.url(), "--allow-loss"}, 0,
            "当選データを最新化しました。"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"--db", m_target.string(), "update"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const test::CliRun r = test::runCli(std::move(args));
        EXPECT_EQ(r.code, c.exit);
        const std::string shown = c.exit == 0 ? r.out : r.err;
        EXPECT_NE(shown.find(c.text), std::string::npos) << shown;
        if (c.exit == 1) {
            EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 1) << shown;
        }
        if (c.exit != 0) {
            EXPECT_EQ(test::readAll(m_target), m_original);
        }
    }
    EXPECT_EQ(storedDraws().size(), 20u) << "forced after the full history";
}

TEST_F(UpdateTest, UpdateAddressComesFromVariablesThenTheConfigFile)
{
    const std::string path = UpdatePath;
    const struct
    {
        const char *name;
        const char *urlVar;
        const char *serverVar;
        const char *conf; // nullptr: no update.conf
        std::vector<std::string> expected;
    } cases[] = {
        {"nothing", nullptr, nullptr, nullptr, {}},
        {"empty-conf", nullptr, nullptr, "# nothing here\n", {}},
        {"url-variable", "http://a.test/x.db", "b.test", "url=http://c.test/y",
            {"http://a.test/x.db"}},
        {"server-variable", nullptr, "b.test:8080/", "url=http://c.test/y",
            {"http://b.test:8080" + path}},
        {"blank-variables-ignored", " ", "", "server=https://d.test", {"https://d.test" + path}},
        {"conf-lines-in-order", nullptr, nullptr, "server=d.test\r\n url = http://e.test/z \r\n",
            {"http://d.test" + path, "http://e.test/z"}},
        {"conf-server", nullptr, nullptr, "; comment\nserver=f.test\n", {"http://f.test" + path}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        test::ScopedEnv url(UpdateUrlVariable, c.urlVar);
        test::ScopedEnv server(UpdateServerVariable, c.serverVar);
        const fs::path conf = m_dir / UpdateConfigFileName;
        fs::remove(conf);
        if (c.conf)
            std::ofstream(conf, std::ios::binary) << c.conf;
        EXPECT_EQ(configuredUpdateSources(m_dir), c.expected);
    }
    fs::remove(m_dir / UpdateConfigFileName);
}

} // namespace

TEST_F(UpdateTest, EachDownloadFailureHasItsKind)
{
    TestServer missing(httpReply(404, "gone"));
    TestServer refusing(httpReply(403, "go away"));
    TestServer broken(httpReply(503, "later"));
    TestServer cut(httpReply(200, m_newDatabase).substr(0, 5000));
    TestServer big(httpReply(200, m_newDatabase));
    DownloadLimits small;
    small.maxBytes = 1000;
    const struct
    {
        const char *name;
        std::string url;
        DownloadLimits limits;
        std::vector<FaultKind> kinds; // the kinds the reason may have
        int httpStatus;
    } cases[] = {
        {"not-found", missing.url(), {}, {FaultKind::HttpStatus}, 404},
        {"forbidden", refusing.url(), {}, {FaultKind::HttpStatus}, 403},
        {"unavailable", broken.url(), {}, {FaultKind::HttpStatus}, 503},
        {"cut", cut.url(), {}, {FaultKind::TransferShort, FaultKind::TransferEnded}, 0},
        {"too-large", big.url(), small, {FaultKind::BodyTooLarge, FaultKind::OversizedHeader}, 0},
        {"refused-connection", "http://127.0.0.1:1/x", {}, {FaultKind::Unreachable}, 0},
        {"not-http", "ftp://127.0.0.1/x", {}, {FaultKind::DownloadScheme}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const UpdateResult r = updateHistory(m_target, c.url, false, c.limits);
        EXPECT_EQ(r.outcome, UpdateOutcome::DownloadFailed) << r.message();
        const FaultKind kind = downloadReason(r.reason.fault()).kind;
        EXPECT_NE(std::find(c.kinds.begin(), c.kinds.end(), kind), c.kinds.end()) << r.message();
        if (c.httpStatus > 0) {
            EXPECT_TRUE(isHttpStatus(r.reason.fault(), c.httpStatus));
        }
    }
    EXPECT_EQ(test::readAll(m_target), m_original);
}

TEST_F(UpdateTest, ProgressCountsTheBytesAndCancelChangesNothing)
{
    TestServer server(httpReply(200, m_newDatabase));
    std::uint64_t seen = 0;
    DownloadLimits watched;
    watched.progress = [&](std::uint64_t received, std::uint64_t) {
        EXPECT_GE(received, seen) << "the count never goes back";
        seen = received;
        return true;
    };
    const std::size_t size = m_newDatabase.size();
    const struct
    {
        const char *name;
        std::function<bool(std::uint64_t received)> goOn;
    } cancels[] = {
        {"before-any-byte", [](std::uint64_t) { return false; }},
        {"after-the-first-bytes", [](std::uint64_t received) { return received == 0; }},
        // The download is complete; the check before anything is written still stops it.
        {"after-the-whole-body", [size](std::uint64_t received) { return received < size; }},
    };
    for (const auto &c : cancels) {
        SCOPED_TRACE(c.name);
        DownloadLimits limits;
        limits.progress = [&](std::uint64_t received, std::uint64_t) { return c.goOn(received); };
        const UpdateResult r = updateHistory(m_target, server.url(), false, limits);
        EXPECT_EQ(r.outcome, UpdateOutcome::Cancelled) << r.message();
        EXPECT_EQ(test::readAll(m_target), m_original);
        EXPECT_FALSE(fs::exists(fs::path(m_target) += ".bak"));
    }

    // A server that stops sending mid-body: the cancel is seen while nothing arrives.
    TestServer stalled(httpReply(200, m_newDatabase).substr(0, 3000), true);
    std::atomic<bool> stop{false};
    DownloadLimits limits;
    limits.progress = [&](std::uint64_t, std::uint64_t) { return !stop.load(); };
    const auto start = std::chrono::steady_clock::now();
    std::thread user([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop = true;
    });
    const UpdateResult r = updateHistory(m_target, stalled.url(), false, limits);
    user.join();
    EXPECT_EQ(r.outcome, UpdateOutcome::Cancelled) << r.message();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(test::readAll(m_target), m_original);

    const UpdateResult done = updateHistory(m_target, server.url(), false, watched);
    ASSERT_TRUE(done.ok()) << done.message();
    EXPECT_EQ(seen, size);
}

TEST_F(UpdateTest, ALossyHistoryGivesWayToALaterSourceOrIsAskedAbout)
{
    std::vector<DrawRecord> shorter(m_oldDraws.begin(), m_oldDraws.begin() + 20);
    TestServer lossy(httpReply(200, csvOf(shorter)));
    TestServer good(httpReply(200, m_newDatabase));

    UpdateResult r = updateFromSources(m_target, {lossy.url(), "http://127.0.0.1:1/x"}, false);
    EXPECT_EQ(r.outcome, UpdateOutcome::WouldLoseDraws) << r.message();
    EXPECT_EQ(r.source, lossy.url());
    EXPECT_EQ(r.loss.dropped.size(), 10u);
    EXPECT_EQ(r.loss.dropped.front(), 21);
    EXPECT_TRUE(r.loss.changed.empty());
    EXPECT_EQ(test::readAll(m_target), m_original);

    r = updateFromSources(m_target, {lossy.url(), good.url()}, false);
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(r.source, good.url());
    expectSameDraws(storedDraws(), m_newDraws);
}
