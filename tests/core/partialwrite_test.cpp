// Every writer that replaces a file, made to fail part-way through its write, must leave the
// old bytes (or, for a file that did not exist, no file at all).

#include "testsupport.h"

#include "prediction/predictionoptions.h"
#include "store/atomicfile.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "store/historyupdater.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>

namespace fs = std::filesystem;
using namespace loto6;

namespace {

// Runs the writer in a child process whose files cannot grow past limit bytes: a write past
// it fails with EFBIG (SIGXFSZ is ignored, so the child is not killed). Returns whether the
// writer reported success, or nothing when the child did not finish normally.
std::optional<bool> writeUnderSizeLimit(rlim_t limit, const std::function<bool()> &writer)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0)
            ::_exit(3);
        ::_exit(writer() ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)
        || WEXITSTATUS(status) > 1)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

// The draw numbers of the stored history, to compare before and after.
std::string drawNumbers(const fs::path &db)
{
    Database d;
    DrawHistory h;
    if (!d.open(db) || !d.loadHistory(h))
        return "(unreadable)";
    std::string out;
    for (const DrawRecord &r : h)
        out += std::to_string(r.drawNo) + ";";
    return out;
}

class PartialWrite : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(m_dir.path()));
        // A small database, and a history much larger than it.
        ASSERT_TRUE(Database().openOrCreate(db(), smallCsv()));
        ASSERT_TRUE(test::readDraws(SHARED_HISTORY, m_bigHistory));
        ASSERT_GT(m_bigHistory.size(), 1000u);
    }
    fs::path db() const { return m_dir / "Loto6Zumvel.db"; }
    static fs::path smallCsv() { return fs::path(TEST_DATA_DIR) / "frequency" / "input.csv"; }

    test::TempDir m_dir;
    std::vector<DrawRecord> m_bigHistory;
};

} // namespace

// A plain file: the generic writer, the settings file and the command line's -o.
TEST_F(PartialWrite, ReplacedFileKeepsItsOldBytes)
{
    const fs::path file = m_dir / "target";
    const std::string old(4000, 'o');
    PredictionOptions allOn;
    allOn.on.fill(true);
    struct Case
    {
        const char *name;
        std::function<bool()> write;
    };
    const Case cases[] = {
        {"file-writer", [&] { return bool(writeFileAtomically(file, std::string(9000, 'n'))); }},
        {"settings-file", [&] { return bool(writeInitFile(file, allOn)); }},
        {"cli-output",
            [&] {
                return test::runCli({"--db", db().string(), "export", "-o", file.string()}).code
                    == 0;
            }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFileAtomically(file, old));
        EXPECT_EQ(writeUnderSizeLimit(100, c.write), std::optional<bool>(false));
        EXPECT_EQ(test::readAll(file), old);
        for (const auto &entry : fs::directory_iterator(m_dir.path()))
            EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
                << "left behind: " << entry.path();
    }
}

// The draws inside the database: a replacing import and an update from a CSV each run in one
// transaction, so a write that fails part-way leaves the old history.
TEST_F(PartialWrite, DatabaseKeepsItsOldHistory)
{
    const std::string oldHistory = drawNumbers(db());
    const std::string bigCsv = test::readAll(SHARED_HISTORY);
    struct Case
    {
        const char *name;
        std::function<bool()> write;
    };
    const Case cases[] = {
        {"import-replace",
            [&] {
                return test::runCli({"--db", db().string(), "import", "--replace", SHARED_HISTORY})
                           .code
                    == 0;
            }},
        {"import-add",
            [&] {
                Database d;
                return d.open(db()) && d.importDraws(m_bigHistory, false);
            }},
        {"update-from-csv",
            [&] { return installHistory(db(), bigCsv).outcome == UpdateOutcome::Updated; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        // Room for the backup of the small database, not for the large history.
        const auto limit = static_cast<rlim_t>(fs::file_size(db()) + 4096);
        EXPECT_EQ(writeUnderSizeLimit(limit, c.write), std::optional<bool>(false));
        EXPECT_EQ(drawNumbers(db()), oldHistory);
    }
}

// A database created from the bundled history is made whole beside the target, or not at all.
TEST_F(PartialWrite, CreatedDatabaseIsWholeOrAbsent)
{
    const fs::path fresh = m_dir / "fresh.db";
    EXPECT_EQ(writeUnderSizeLimit(
                  8192, [&] { return bool(Database().openOrCreate(fresh, SHARED_HISTORY)); }),
        std::optional<bool>(false));
    EXPECT_FALSE(fs::exists(fresh));
    for (const auto &entry : fs::directory_iterator(m_dir.path()))
        EXPECT_EQ(entry.path().filename().string().find("fresh"), std::string::npos)
            << "left behind: " << entry.path();
}
