#include "officialfile.h"
#include "testserver.h"
#include "testsupport.h"

#include "store/csvhistory.h"
#include "store/database.h"
#include "store/drawbydrawupdate.h"
#include "store/drawsource.h"
#include "store/drawvalidation.h"
#include "store/prizestore.h"
#include "store/updatesources.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using namespace loto6;
using loto6::test::httpReply;
using loto6::test::officialFile;
using loto6::test::TestServer;

namespace {

std::vector<DrawRecord> bundledDraws()
{
    std::vector<DrawRecord> bundled;
    EXPECT_TRUE(test::readDraws(SHARED_HISTORY, bundled));
    return bundled;
}

// The bundled history's draw n.
DrawRecord bundledDraw(int n) { return bundledDraws()[static_cast<std::size_t>(n - 1)]; }

// A database of the bundled history (up to draw 2144) in a fresh folder.
struct Held
{
    test::TempDir dir;
    fs::path target = dir / "Loto6Zumvel.db";
    std::string before;

    Held()
    {
        Database db;
        EXPECT_TRUE(db.openOrCreate(target, SHARED_HISTORY));
        db.close();
        before = test::readAll(target);
    }
    // The database is byte for byte as it was (compared whole, not printed when it differs).
    bool unchanged() const { return test::readAll(target) == before; }
};

// A made-up draw n on the given date.
DrawRecord nextDraw(int n, const std::string &date)
{
    DrawRecord r = test::draw(n, {2, 8, 10, 13, 27, 30, 39});
    r.date = date;
    return r;
}

} // namespace

TEST(DrawByDrawUpdate, FetchesTheDrawsAfterTheLatestUntilNotFound)
{
    test::TempDir dir;
    const fs::path target = dir / "Loto6Zumvel.db";
    const std::vector<DrawRecord> bundled = bundledDraws();
    {
        // The database holds the bundled history up to draw 2141.
        std::vector<DrawRecord> upTo2141(bundled.begin(), bundled.begin() + 2141);
        const fs::path seed = dir / "seed.csv";
        std::ostringstream csv;
        exportCsv(csv, upTo2141);
        std::ofstream(seed) << csv.str();
        Database db;
        ASSERT_TRUE(db.openOrCreate(target, seed));
    }
    std::vector<std::string> asked;
    TestServer server([&](const std::string &path) {
        asked.push_back(path);
        for (int n = 2141; n <= 2144; ++n)
            if (path == "/csv/A102" + std::to_string(n) + ".CSV")
                return httpReply(200, officialFile(bundled[static_cast<std::size_t>(n - 1)]));
        return httpReply(404, "not found");
    });
    const std::string pattern = server.url("/csv/A102{draw}.CSV");

    UpdateResult r = updateFromSources(target, {"http://127.0.0.1:1/x.db", pattern}, false);
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(r.drawCount, 3u);
    // The latest held draw's file first: it shows that the address finds the files.
    EXPECT_EQ(asked,
        (std::vector<std::string>{"/csv/A1022141.CSV", "/csv/A1022142.CSV", "/csv/A1022143.CSV",
            "/csv/A1022144.CSV", "/csv/A1022145.CSV"}));
    EXPECT_TRUE(fs::exists(dir / "Loto6Zumvel.db.bak"));
    Database db;
    ASSERT_TRUE(db.open(target));
    std::vector<DrawRecord> held;
    ASSERT_TRUE(db.readDraws(held));
    ASSERT_EQ(held.size(), 2144u);
    for (std::size_t i = 2141; i < 2144; ++i) {
        EXPECT_EQ(held[i].fields, bundled[i].fields) << held[i].drawNo;
        EXPECT_EQ(held[i].date, bundled[i].date) << held[i].drawNo;
    }
    std::map<int, DrawPrizes> prizes;
    ASSERT_TRUE(readPrizes(db, prizes));
    EXPECT_EQ(prizes.at(2143).carryOver, 2143);
    std::vector<DrawSource> sources;
    ASSERT_TRUE(readSources(db, 2144, sources));
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0].origin(), "address " + server.url("/csv/A1022144.CSV"));
    db.close();

    asked.clear();
    r = updateFromSources(target, {pattern}, false);
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(r.drawCount, 0u);
    EXPECT_EQ(asked, (std::vector<std::string>{"/csv/A1022144.CSV", "/csv/A1022145.CSV"}));
}

TEST(DrawByDrawUpdate, AFileThatIsNotItsDrawOrDisagreesIsRefused)
{
    Held h;
    DrawRecord wrong = bundledDraw(2144);
    wrong.drawNo = 2146;
    TestServer server([&](const std::string &path) {
        return path.ends_with("2144.CSV") ? httpReply(200, officialFile(bundledDraw(2144)))
            : path.ends_with("2145.CSV")  ? httpReply(200, officialFile(wrong))
                                          : httpReply(404, "");
    });
    const UpdateResult r = updateDrawByDraw(h.target, server.url("/A102{draw}.CSV"), false);
    EXPECT_EQ(r.outcome, UpdateOutcome::Refused);
    EXPECT_NE(r.message().find("does not hold draw 2145 alone"), std::string::npos) << r.message();
    EXPECT_TRUE(h.unchanged());
    EXPECT_EQ(drawAddress("x/A102{draw}.CSV", 461), "x/A1020461.CSV");
}

TEST(DrawByDrawUpdate, OnlyNotFoundEndsTheRound)
{
    Held h;
    const struct
    {
        const char *name;
        int status;
        UpdateOutcome outcome;
    } cases[] = {
        {"not-yet-published", 404, UpdateOutcome::Updated},
        {"gone", 410, UpdateOutcome::DownloadFailed},
        {"server-trouble", 503, UpdateOutcome::DownloadFailed},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestServer server([&](const std::string &path) {
            return path.ends_with("2144.CSV") ? httpReply(200, officialFile(bundledDraw(2144)))
                                              : httpReply(c.status, "the server answered HTTP 404");
        });
        const UpdateResult r = updateDrawByDraw(h.target, server.url("/A102{draw}.CSV"), false);
        EXPECT_EQ(r.outcome, c.outcome) << r.message();
        EXPECT_EQ(r.drawCount, 0u);
        if (!r.ok()) {
            EXPECT_TRUE(isHttpStatus(r.reason.fault(), c.status)) << r.message();
        }
        EXPECT_TRUE(h.unchanged());
    }
}

// An address that finds no file for the latest held draw has not shown that nothing newer is
// published: it is reported as wrong, never as "the history is current".
TEST(DrawByDrawUpdate, AnAddressThatMissesTheLatestHeldDrawIsWrong)
{
    Held h;
    DrawRecord other = bundledDraw(2144);
    other.fields[0] = 1; // draw 2144 is 5 6 11 25 31 32 + 15
    TestServer allMissing(httpReply(404, ""));
    TestServer otherNumbers(httpReply(200, officialFile(other)));
    TestServer good([&](const std::string &path) {
        return path == "/A1022144.CSV" ? httpReply(200, officialFile(bundledDraw(2144)))
                                       : httpReply(404, "");
    });
    const struct
    {
        const char *name;
        std::string pattern;
        UpdateOutcome outcome;
        const char *message;
    } cases[] = {
        {"every-address-404", allMissing.url("/A102{draw}.CSV"), UpdateOutcome::DownloadFailed,
            "the address looks wrong: it finds no file for draw 2144"},
        {"draw-twice", good.url("/A102{draw}/{draw}.CSV"), UpdateOutcome::Refused,
            "{draw} more than once"},
        {"wrong-folder", good.url("/x/A102{draw}.CSV"), UpdateOutcome::DownloadFailed,
            "the address looks wrong"},
        {"other-numbers", otherNumbers.url("/A102{draw}.CSV"), UpdateOutcome::Refused,
            "other numbers for draw 2144"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const UpdateResult r = updateFromSources(h.target, {c.pattern}, false);
        EXPECT_EQ(r.outcome, c.outcome) << r.message();
        EXPECT_NE(r.message().find(c.message), std::string::npos) << r.message();
        EXPECT_EQ(r.message().find("最新です"), std::string::npos) << r.message();
        EXPECT_TRUE(h.unchanged());
    }
}

// The first file whose date breaks the rules stops the update, and nothing is added: a date
// after tomorrow, or one not after the draw before it, whether that draw is held or came
// earlier in the same update.
TEST(DrawByDrawUpdate, ADrawDatedInTheFutureOrBeforeItsPredecessorStopsTheUpdate)
{
    const struct
    {
        const char *name;
        std::vector<std::string> dates; // of draws 2145, 2146, ...; then not published
        const char *message;
        int asked;
    } cases[] = {
        {"after-today", {"2099-01-07", "2099-01-14"}, "after today", 2},
        {"before-the-previous-draw", {"2019-05-02", "2026-10-12"}, "not after 2026-10-08", 2},
        {"same-day-as-the-previous-draw", {"2026-10-08"}, "not after 2026-10-08", 2},
        {"before-a-draw-of-the-same-update", {"2026-10-15", "2026-10-13"},
            "2146 is dated 2026-10-13, not after 2026-10-15", 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Held h;
        int asked = 0;
        TestServer server([&](const std::string &path) {
            ++asked;
            const int n = std::stoi(path.substr(5, 4));
            const auto listed = static_cast<std::size_t>(n - 2145);
            if (n == 2144)
                return httpReply(200, officialFile(bundledDraw(2144)));
            return listed < c.dates.size()
                ? httpReply(200, officialFile(nextDraw(n, c.dates[listed])))
                : httpReply(404, "");
        });
        const UpdateResult r = updateFromSources(h.target, {server.url("/A102{draw}.CSV")}, false);
        EXPECT_EQ(r.outcome, UpdateOutcome::Refused) << r.message();
        EXPECT_NE(r.message().find(c.message), std::string::npos) << r.message();
        EXPECT_EQ(asked, c.asked) << "stops at the first bad file";
        EXPECT_TRUE(h.unchanged());
    }
    EXPECT_EQ(fetchedDateProblem("2026-12-09", "2026-12-07", "2026-12-08"), "");
    EXPECT_NE(fetchedDateProblem("2026-12-10", "2026-12-07", "2026-12-08"), "");
}

TEST(DrawByDrawUpdate, TheWholeUpdateHasATimeLimit)
{
    Held h;
    // Each file takes 300 ms, within the limit of one download; there would be many.
    TestServer slow([&](const std::string &path) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const int n = std::stoi(path.substr(5, 4));
        const std::string date = "2026-10-" + std::to_string(8 + (n - 2144) * 2);
        return httpReply(200, officialFile(n == 2144 ? bundledDraw(2144) : nextDraw(n, date)));
    });
    DownloadLimits limits;
    limits.updateTimeout = std::chrono::milliseconds(1000);
    const auto start = std::chrono::steady_clock::now();
    const UpdateResult r
        = updateFromSources(h.target, {slow.url("/A102{draw}.CSV")}, false, limits);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_EQ(r.outcome, UpdateOutcome::DownloadFailed) << r.message();
    EXPECT_NE(r.message().find("its time limit, and nothing was changed"), std::string::npos)
        << r.message();
    EXPECT_TRUE(h.unchanged());
}

// However many sources are slow, the update ends within its one time limit: each source here
// answers within the limit, but three of them one after the other would not.
TEST(UpdateTimeLimit, IsOneForAllTheSourcesHoweverManyAreSlow)
{
    Held h;
    const auto slowly = [](const std::string &) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return httpReply(503, "later");
    };
    TestServer first(slowly);
    TestServer second(slowly);
    TestServer third(slowly);
    DownloadLimits limits;
    limits.updateTimeout = std::chrono::milliseconds(700);
    const auto start = std::chrono::steady_clock::now();
    const UpdateResult r = updateFromSources(
        h.target, {first.url(), second.url("/A102{draw}.CSV"), third.url()}, false, limits);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1100));
    EXPECT_EQ(r.outcome, UpdateOutcome::DownloadFailed) << r.message();
    EXPECT_NE(r.message().find("its time limit, and nothing was changed"), std::string::npos)
        << r.message();
    EXPECT_TRUE(h.unchanged());
}

// A download's own time limit is cut to what is left of its update's, and none starts after it.
TEST(UpdateTimeLimit, CutsEachDownloadToWhatIsLeft)
{
    // Headers that promise a body which never comes.
    TestServer stalled(httpReply(200, std::string(10000, 'x')).substr(0, 300), true);
    DownloadLimits limits;
    limits.totalTimeout = std::chrono::seconds(5);
    limits.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    std::string body;
    const auto start = std::chrono::steady_clock::now();
    const Status stalledOut = download(stalled.url(), body, limits);
    EXPECT_FALSE(stalledOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_EQ(downloadReason(stalledOut.fault()).kind, FaultKind::TimedOut);

    // A server that would answer at once is not asked once the update's time is up.
    TestServer quick(httpReply(200, "draws"));
    limits.deadline = std::chrono::steady_clock::now() - std::chrono::milliseconds(1);
    const Status late = download(quick.url(), body, limits);
    EXPECT_FALSE(late);
    EXPECT_EQ(downloadReason(late.fault()).kind, FaultKind::DeadlinePassed);
    EXPECT_NE(late.message().find("time limit was reached"), std::string::npos) << late.message();
    EXPECT_TRUE(body.empty());
}

// The update.conf installed with the programs names the official per-draw files; the same
// address pattern on a loopback server with the official layout brings the next draw.
TEST(DrawByDrawUpdate, TheInstalledConfigurationFetchesTheOfficialFiles)
{
    std::ifstream conf(fs::path(SHARED_HISTORY).parent_path() / UpdateConfigFileName);
    std::string line, url;
    while (std::getline(conf, line))
        if (line.starts_with("url="))
            url = line.substr(4);
    const std::string official = "https://www.mizuhobank.co.jp";
    ASSERT_TRUE(url.starts_with(official)) << url;
    const std::string path = url.substr(official.size());
    EXPECT_EQ(path, "/retail/takarakuji/loto/loto6/csv/A102{draw}.CSV");

    Held h;
    const std::string folder = "/retail/takarakuji/loto/loto6/csv/";
    TestServer server([&](const std::string &asked) {
        if (asked == folder + "A1022144.CSV")
            return httpReply(200, officialFile(bundledDraw(2144)));
        if (asked == folder + "A1022145.CSV")
            return httpReply(200, officialFile(nextDraw(2145, "2026-10-12")));
        return httpReply(404, "");
    });
    std::ofstream(h.dir / UpdateConfigFileName)
        << "# the official files\nurl=" << server.url(path) << "\n";
    test::ScopedEnv noUrl(UpdateUrlVariable, nullptr);
    test::ScopedEnv noServer(UpdateServerVariable, nullptr);
    const std::vector<std::string> sources = configuredUpdateSources(h.dir.path());
    ASSERT_EQ(sources.size(), 1u);
    const UpdateResult r = updateFromSources(h.target, sources, false);
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(r.drawCount, 1u);
}

// A server that wants a browser: the message says how to fetch the file by hand.
TEST(DrawByDrawUpdate, ARefusedAutomatedDownloadSaysToSaveTheFileFromABrowser)
{
    Held h;
    TestServer forbidden(httpReply(403, "<html>forbidden</html>"));
    TestServer page(httpReply(200, "\r\n  <!DOCTYPE html><html><body>robot check</body></html>"));
    TestServer pageForADraw([&](const std::string &path) {
        return path.ends_with("2144.CSV") ? httpReply(200, officialFile(bundledDraw(2144)))
                                          : httpReply(200, "<html>robot check</html>");
    });
    for (const std::string &source :
        {forbidden.url(), page.url(), pageForADraw.url("/A102{draw}.CSV")}) {
        SCOPED_TRACE(source);
        const UpdateResult r = updateFromSources(h.target, {source}, false);
        EXPECT_FALSE(r.ok());
        EXPECT_NE(r.message().find("open its results page in a browser, save the result file, "
                                   "and import it"),
            std::string::npos)
            << r.message();
        // The advice wraps the reason: the server's refusal is still its kind.
        EXPECT_EQ(r.reason.fault().kind, FaultKind::BrowserOnly);
        if (source == forbidden.url()) {
            EXPECT_TRUE(isHttpStatus(r.reason.fault(), 403));
        }
        EXPECT_TRUE(h.unchanged());
    }
}
