// The popularity estimate kept in the database: a stored and a fresh one give the same bytes
// from every command that shows popularity, any change of the draws or payouts it learnt from
// makes it again, a damaged, foreign or outdated entry is never trusted, --as-of has its own,
// and a database that cannot be written, or two programs at once, still get the answer.
#include "popularity/estimateblob.h"
#include "popularity/observations.h"
#include "popularity/storedestimate.h"
#include "store/database.h"
#include "store/estimatestore.h"
#include "store/prizestore.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <limits>
#include <numeric>
#include <random>

using namespace loto6;
using namespace loto6::popularity;
namespace fs = std::filesystem;

namespace {

const std::string Prizes = (fs::path(SHARED_HISTORY).parent_path() / "loto6-prizes.csv").string();

using Args = std::vector<std::string>;

test::CliRun run(const std::string &db, Args args)
{
    args.insert(args.begin(), {"--db", db});
    return test::runCli(std::move(args));
}

// The bundled history with its payouts and a book of ten tickets, made once; each test works
// on its own copy.
class EstimateStore : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new test::TempDir;
        s_template = (s_dir->path() / "template.db").string();
        ASSERT_EQ(run(s_template, {"import", "--replace", SHARED_HISTORY}).code, 0);
        ASSERT_EQ(run(s_template, {"import", Prizes}).code, 0);
        std::mt19937 rng(3);
        for (int t = 0; t < 10; ++t) {
            std::vector<int> all(43);
            std::iota(all.begin(), all.end(), 1);
            std::shuffle(all.begin(), all.end(), rng);
            Args add{"tickets", "add"};
            for (int i = 0; i < 6; ++i)
                add.push_back(std::to_string(all[static_cast<std::size_t>(i)]));
            ASSERT_EQ(run(s_template, add).code, 0);
        }
    }
    static void TearDownTestSuite() { delete s_dir; }

    std::string copy(const std::string &name) const
    {
        const fs::path to = m_dir.path() / name;
        fs::copy_file(s_template, to);
        return to.string();
    }
    static void sql(const std::string &db, const std::string &statement)
    {
        Database d;
        ASSERT_TRUE(d.open(db));
        ASSERT_TRUE(d.exec(statement)) << statement;
    }
    static long long entries(const std::string &db)
    {
        Database d;
        EXPECT_TRUE(d.open(db));
        SqlStatement st = d.prepare("SELECT count(*) FROM 人気度推定");
        return st.next() ? st.integer(0) : -1;
    }
    static std::vector<DrawObservation> draws(const std::string &db, int asOf = Database::NoCut)
    {
        Database d;
        EXPECT_TRUE(d.open(db));
        DrawHistory h;
        std::map<int, DrawPrizes> prizes;
        EXPECT_TRUE(d.loadHistory(h, asOf));
        EXPECT_TRUE(readPrizes(d, prizes));
        return observationsOf(h, prizes);
    }

    static test::TempDir *s_dir;
    static std::string s_template;
    test::TempDir m_dir;
};

test::TempDir *EstimateStore::s_dir = nullptr;
std::string EstimateStore::s_template;

const Args Ticket{"2", "8", "10", "13", "27", "30"};

Args with(Args head, const Args &tail = Ticket)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The popularity part of a check's JSON.
std::string popularityOf(const std::string &json)
{
    const std::size_t at = json.find("\"popularity\"");
    return at == std::string::npos ? std::string("none") : json.substr(at);
}

// Every command that shows popularity or a yen value from it.
const std::vector<Args> &popularityCommands()
{
    static const std::vector<Args> commands{
        with({"popularity"}),
        with({"popularity", "--format", "json"}),
        with({"check", "--format", "json"}),
        with({"odds", "--format", "json"}),
        {"design", "--least-popular", "10", "--count", "--format", "json"},
        {"design", "--least-popular", "12.345", "--count"},
        {"design", "--pick", "5", "--popularity", "--seed", "7", "--format", "json"},
        {"tickets", "check", "--format", "json"},
        {"popularity", "--backtest", "--format", "json"},
        {"chart", "popularity", "--format", "svg"},
    };
    return commands;
}

TEST_F(EstimateStore, StoredAndFreshGiveTheSameBytesFromEveryCommand)
{
    const std::string stored = copy("stored.db");
    const std::string fresh = copy("fresh.db");
    ASSERT_EQ(run(stored, with({"popularity"})).code, 0); // makes and stores
    EXPECT_EQ(entries(stored), 1);
    for (const Args &command : popularityCommands()) {
        sql(fresh, "DROP TABLE IF EXISTS 人気度推定");
        const test::CliRun a = run(fresh, command);
        const test::CliRun b = run(stored, command);
        EXPECT_EQ(a.code, 0) << command[0] << a.err;
        EXPECT_EQ(b.code, a.code) << command[0];
        EXPECT_EQ(b.out, a.out) << command[0] << ' ' << command[1];
        EXPECT_EQ(b.err, a.err) << command[0];
    }
    // The estimate, the running backtest's fits, one per block of 100 draws from 1500 to 2144
    // (seven), of this model and of the per-number one, and what the chart draws of it.
    EXPECT_EQ(entries(stored), 1 + 2 * 7 + 1);
}

TEST_F(EstimateStore, EveryChangeOfDrawsOrPayoutsMakesItAgain)
{
    const std::string db = copy("changed.db");
    const Args check = with({"check", "--format", "json"});
    const std::string before = popularityOf(run(db, check).out);
    // A new draw with its payouts, imported; a changed sales figure; payouts removed; the
    // history replaced by a shorter one.
    const fs::path extra = m_dir.path() / "extra.csv";
    const fs::path changed = m_dir.path() / "changed.csv";
    const fs::path shorter = m_dir.path() / "shorter.csv";
    {
        std::ifstream in(Prizes);
        std::string header, line, last;
        std::getline(in, header);
        while (std::getline(in, line))
            if (!line.empty())
                last = line;
        // The last draw again as the next one, a week on; then with half its sales.
        const std::size_t comma = last.find_last_of(',');
        const std::size_t first = last.find(',');
        const std::size_t date = last.find(',', first + 1);
        std::ofstream(extra) << header << '\n'
                             << std::stoi(last.substr(0, first)) + 1 << ",2031/1/9"
                             << last.substr(date) << '\n';
        std::ofstream(changed) << header << '\n'
                               << last.substr(0, comma + 1)
                               << std::stoll(last.substr(comma + 1)) / 2 << '\n';
        std::ifstream h(SHARED_HISTORY);
        std::ofstream s(shorter);
        for (int i = 0; i < 1900 && std::getline(h, line); ++i)
            s << line << '\n';
    }
    std::vector<std::pair<std::string, std::function<void()>>> changes{
        {"draw added",
            [&] {
                ASSERT_EQ(run(db, {"import", extra.string()}).code, 0);
            }},
        {"changed sales",
            [&] {
                const test::CliRun r = run(db, {"import", "--allow-loss", changed.string()});
                ASSERT_EQ(r.code, 0) << r.err;
            }},
        {"payouts removed", [&] { sql(db, "DELETE FROM 払戻金 WHERE 回数 > 2100"); }},
        {"history replaced",
            [&] {
                ASSERT_EQ(run(db, {"import", "--replace", shorter.string()}).code, 0);
            }},
    };
    std::string last = before;
    for (const auto &[what, change] : changes) {
        change();
        const std::string fresh = (m_dir.path() / ("fresh-" + what + ".db")).string();
        fs::copy_file(db, fresh);
        sql(fresh, "DROP TABLE 人気度推定");
        const std::string afterStored = popularityOf(run(db, check).out);
        EXPECT_EQ(afterStored, popularityOf(run(fresh, check).out)) << what;
        EXPECT_NE(afterStored, last) << what << ": the old estimate was used";
        last = afterStored;
    }
}

TEST_F(EstimateStore, AsOfHasItsOwnEstimate)
{
    const std::string db = copy("asof.db");
    const Args json = with({"popularity", "--format", "json"});
    const std::string whole = run(db, json).out;
    Args asOf{"--as-of", "1800"};
    asOf.insert(asOf.end(), json.begin(), json.end());
    const std::string cut = run(db, asOf).out;
    EXPECT_NE(cut, whole);
    EXPECT_EQ(entries(db), 2);
    const std::string fresh = copy("asof-fresh.db");
    EXPECT_EQ(run(fresh, asOf).out, cut);
    // And the other way round: the whole history never takes the cut one's.
    EXPECT_EQ(run(fresh, json).out, whole);
}

// A blob read back must be this version's estimate of exactly these draws, whole.
TEST_F(EstimateStore, DamagedForeignOrOutdatedEntriesAreMadeAgain)
{
    const std::string db = copy("hostile.db");
    const std::vector<DrawObservation> all = draws(db);
    const std::vector<DrawObservation> cut = draws(db, 1700);
    const std::string key = digestText(PopularityEstimate::keyOf(all));
    const std::string good = PopularityEstimate::makeBlob(all);
    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x10;
    // Another version, otherwise whole: the version field changed and the checksum made anew.
    std::string otherVersion = good.substr(0, good.size() - 16);
    otherVersion[4] ^= 0x7;
    const Digest sum = digestOf(otherVersion);
    otherVersion.append(reinterpret_cast<const char *>(sum.data()), sizeof sum);
    const std::vector<std::pair<std::string, std::string>> hostile{
        {"garbage", std::string(5000, 'x')},
        {"empty", std::string()},
        {"truncated", good.substr(0, good.size() - 9)},
        {"flipped byte", flipped},
        {"other version", otherVersion},
        {"other history", PopularityEstimate::makeBlob(cut)},
    };
    Database d;
    ASSERT_TRUE(d.open(db));
    const popularity::StoredEstimate reference = storedEstimate(d, all);
    ASSERT_EQ(reference.origin, EstimateOrigin::Made);
    ASSERT_EQ(storedEstimate(d, all).origin, EstimateOrigin::Stored);
    const auto answer = [](const PopularityEstimate &e) {
        const TicketValue v = e.valuer().value({2, 8, 10, 13, 27, 30});
        return std::array<double, 3>{
            v.expectedValue, e.percentile(v.relativePopularity), e.leastPopularThreshold(10)};
    };
    for (const auto &[what, blob] : hostile) {
        ASSERT_TRUE(storeEstimate(d, "estimate", key, blob)) << what;
        const popularity::StoredEstimate again = storedEstimate(d, all);
        EXPECT_EQ(again.origin, EstimateOrigin::Made) << what << " was trusted";
        ASSERT_TRUE(again.estimate) << what;
        EXPECT_EQ(answer(*again.estimate), answer(*reference.estimate)) << what;
        EXPECT_EQ(storedEstimate(d, all).origin, EstimateOrigin::Stored) << what;
    }
}

// What the popularity chart draws of the backtest, stored, equals what running the backtest
// gives, and an entry that is damaged, of another history or of another starting draw is made
// again and stored in its place.
TEST_F(EstimateStore, TheChartsSummaryIsStoredWholeAndNeverTrustedDamaged)
{
    const std::string db = copy("summary.db");
    const std::vector<DrawObservation> all = draws(db);
    const int from = DefaultBacktestFrom;
    const BacktestSummary recomputed = summariseBacktest(
        runRunningBacktest(all, from, [&](int before) { return fitPopularity(all, before); }));
    ASSERT_EQ(recomputed.firstPrize.size(), static_cast<std::size_t>(CalibrationGroups));
    Database d;
    ASSERT_TRUE(d.open(db));
    EXPECT_EQ(storedBacktestSummary(d, all, from), recomputed);
    std::string key;
    {
        SqlStatement st = d.prepare("SELECT 鍵 FROM 人気度推定 WHERE 種類 = 'backtest-summary'");
        ASSERT_TRUE(st.next());
        key = st.text(0);
    }
    const std::optional<std::string> good = readStoredEstimate(d, "backtest-summary", key);
    ASSERT_TRUE(good);
    EXPECT_EQ(storedBacktestSummary(d, all, from), recomputed) << "read back";
    // Whole blobs that must not be taken: each would draw another chart.
    BacktestSummary other = recomputed;
    other.firstPrize[0].observed += 1;
    other.lowerTiers[1].pop_back();
    BacktestSummary otherFrom = other;
    otherFrom.from = from + 100;
    const Digest thisKey = learningKey(all, 0, {});
    std::string flipped = *good;
    flipped[flipped.size() / 3] ^= 0x04;
    const std::vector<std::pair<std::string, std::string>> hostile{
        {"garbage", std::string(300, 'y')},
        {"truncated", good->substr(0, good->size() - 20)},
        {"flipped byte", flipped},
        {"other history", summaryBlob(other, learningKey(draws(db, 1900), 0, {}))},
        {"other from", summaryBlob(otherFrom, thisKey)},
        {"the estimate's blob", PopularityEstimate::makeBlob(draws(db, 400))},
    };
    for (const auto &[what, blob] : hostile) {
        ASSERT_TRUE(storeEstimate(d, "backtest-summary", key, blob)) << what;
        EXPECT_EQ(storedBacktestSummary(d, all, from), recomputed) << what << " was trusted";
        EXPECT_EQ(readStoredEstimate(d, "backtest-summary", key), good) << what << " kept";
    }
    // The same reader takes an altered summary under its own key: the test above is not vacuous.
    EXPECT_EQ(summaryFromBlob(summaryBlob(other, thisKey), thisKey, from), other);
}

TEST_F(EstimateStore, ATableOfAnotherShapeStillGetsTheAnswer)
{
    const std::string db = copy("shape.db");
    const std::string fresh = copy("shape-fresh.db");
    sql(db, "CREATE TABLE 人気度推定 (x)");
    const test::CliRun r = run(db, with({"check", "--format", "json"}));
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, run(fresh, with({"check", "--format", "json"})).out);
}

// Runs the command line in a child process as an unprivileged user when the test runs as
// root (who may write any file), so that a write-protected file or folder holds.
test::CliRun runUnprivileged(const std::string &db, const Args &args)
{
    if (::geteuid() != 0)
        return run(db, args);
    int fds[2];
    if (::pipe(fds) != 0)
        return {-1, "", "no pipe"};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const test::CliRun r = run(db, args);
        const std::string text = r.out + '\x1f' + r.err;
        for (std::size_t at = 0; at < text.size();) {
            const ssize_t n = ::write(fds[1], text.data() + at, text.size() - at);
            if (n <= 0)
                break;
            at += static_cast<std::size_t>(n);
        }
        ::_exit(r.code);
    }
    ::close(fds[1]);
    std::string text;
    char buf[65536];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    const std::size_t split = text.find('\x1f');
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.substr(0, split),
        split == std::string::npos ? "" : text.substr(split + 1)};
}

TEST_F(EstimateStore, AReadOnlyDatabaseAnswersFromMemoryQuietly)
{
    const std::string fresh = copy("ro-fresh.db");
    for (const Args &command :
        {with({"check", "--format", "json"}), Args{"chart", "popularity", "--format", "svg"}}) {
        const std::string expected = run(fresh, command).out;
        ::chmod(m_dir.path().c_str(), 0755);
        for (const bool wholeFolder : {false, true}) {
            const fs::path folder = m_dir.path() / (wholeFolder ? "ro-folder" : "ro-file");
            fs::create_directory(folder);
            const std::string file = (folder / "ro.db").string();
            fs::copy_file(s_template, file);
            ::chmod(file.c_str(), wholeFolder ? 0644 : 0444);
            ::chmod(folder.c_str(), wholeFolder ? 0555 : 0777);
            const test::CliRun r = runUnprivileged(file, command);
            EXPECT_EQ(r.code, 0) << wholeFolder << r.err;
            EXPECT_EQ(r.err, "") << wholeFolder;
            EXPECT_EQ(r.out, expected) << wholeFolder;
            ::chmod(folder.c_str(), 0755);
            Database d;
            ASSERT_TRUE(d.open(file));
            EXPECT_FALSE(readStoredEstimate(
                d, "estimate", digestText(PopularityEstimate::keyOf(draws(file)))))
                << "written into a read-only database";
            fs::remove_all(folder);
        }
    }
}

TEST_F(EstimateStore, TwoProgramsMakingItAtOnceBothSucceed)
{
    const std::string db = copy("twice.db");
    const std::string expected
        = run(copy("twice-fresh.db"), with({"check", "--format", "json"})).out;
    std::vector<pid_t> children;
    for (int i = 0; i < 2; ++i) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const test::CliRun r = run(db, with({"check", "--format", "json"}));
            std::ofstream((m_dir.path() / ("out" + std::to_string(i))).string()) << r.out;
            ::_exit(r.code == 0 && r.err.empty() ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (std::size_t i = 0; i < children.size(); ++i) {
        int status = 0;
        ASSERT_EQ(::waitpid(children[i], &status, 0), children[i]);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << i;
        EXPECT_EQ(test::readAll(m_dir.path() / ("out" + std::to_string(i))), expected) << i;
    }
    EXPECT_EQ(entries(db), 1);
}

// The sums over four and five numbers added up when asked agree with the full pass's table to
// rounding; the blob reader refuses what is not whole.
TEST(EstimateForm, SumsAskedForAgreeWithTheFullPass)
{
    std::array<double, HighestNumber> numbers{};
    for (int n = 0; n < HighestNumber; ++n)
        numbers[static_cast<std::size_t>(n)] = 0.01 * (n % 7) - 0.02 * (n > 30);
    const PopularityModel model(ModelTerms::full(), numbers, {0.1, -0.05, 0.2});
    const Neighbourhood full(model);
    const Neighbourhood stored(model, full.levels());
    std::mt19937 rng(9);
    for (int i = 0; i < 300; ++i) {
        std::vector<int> all(43);
        std::iota(all.begin(), all.end(), 1);
        std::shuffle(all.begin(), all.end(), rng);
        Combination c{};
        std::copy(all.begin(), all.begin() + MainNumberCount, c.begin());
        std::sort(c.begin(), c.end());
        const auto a = full.matchShares(c), b = stored.matchShares(c);
        for (std::size_t j = 0; j < a.size(); ++j)
            EXPECT_NEAR(a[j], b[j], 1e-13 * a[j] + 1e-300) << j;
        for (std::size_t k : {4u, 5u}) {
            const std::vector<int> list(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(k));
            EXPECT_NEAR(*full.listPopularity(list), *stored.listPopularity(list),
                1e-13 * *full.listPopularity(list));
        }
    }
}

TEST(EstimateForm, TheReaderRefusesWhatIsNotWhole)
{
    BlobWriter w;
    w.u32(7);
    w.f64(1.5);
    const std::string blob = w.finish();
    BlobReader whole(blob);
    EXPECT_EQ(whole.u32(), 7u);
    EXPECT_EQ(whole.f64(), 1.5);
    EXPECT_TRUE(whole.finished());
    BlobReader past(blob);
    past.u32();
    past.f64();
    past.u32();
    EXPECT_FALSE(past.ok()) << "a read past the end";
    std::string bad = blob;
    bad[5] ^= 1;
    EXPECT_FALSE(BlobReader(bad).ok()) << "checksum";
    BlobWriter n;
    n.f64(std::numeric_limits<double>::quiet_NaN());
    const std::string notFinite = n.finish();
    BlobReader nan(notFinite);
    nan.f64();
    EXPECT_FALSE(nan.ok()) << "a value that is not finite";
    std::vector<double> many;
    BlobReader huge(blob);
    huge.f64s(std::size_t{1} << 60, many);
    EXPECT_FALSE(huge.ok()) << "a count beyond the blob";
}

} // namespace
