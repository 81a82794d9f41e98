#pragma once

#include "store/drawhistory.h"
#include "store/result.h"

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace loto6::test {

// A complete draw: six main numbers then the bonus.
inline DrawRecord draw(int no, std::initializer_list<long long> numbers)
{
    DrawRecord r;
    r.drawNo = no;
    std::size_t i = 0;
    for (long long n : numbers)
        if (i < r.fields.size())
            r.fields[i++] = n;
    return r;
}

// A draw whose given field is empty.
inline DrawRecord incomplete(int no, int emptyField)
{
    DrawRecord r = draw(no, {1, 2, 3, 4, 5, 6, 7});
    r.fields[static_cast<std::size_t>(emptyField)].reset();
    return r;
}

inline DrawHistory history(std::vector<DrawRecord> records)
{
    return DrawHistory(std::move(records));
}

// A fresh folder under the system's temporary folder, removed at the end of the test.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path operator/(const std::string &name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

inline TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "loto6-test-XXXXXX").string();
    if (char *made = ::mkdtemp(pattern.data()))
        m_path = made;
}

inline TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string readAll(const std::filesystem::path &file);

// `count` complete draws numbered from 1, each seven different numbers from a shuffle seeded
// with `seed`, dated in January 2020.
std::vector<DrawRecord> makeDraws(int count, unsigned seed);
// The draws as the program's own CSV.
std::string csvOf(const std::vector<DrawRecord> &draws);
// The draws of a history file or text of any layout, read by the reader both programs use.
Status readDraws(const std::filesystem::path &file, std::vector<DrawRecord> &draws);
Status readDrawBytes(std::string_view bytes, std::vector<DrawRecord> &draws);
// A database file holding the draws, created as the programs create one from a seed file.
void makeDatabase(const std::filesystem::path &file, const std::vector<DrawRecord> &draws);

// Sets an environment variable (or removes it, for nullptr) and restores it when the test ends.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const char *value)
        : m_name(name)
    {
        if (const char *old = std::getenv(name))
            m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    const char *m_name;
    std::optional<std::string> m_old;
};

// What one run of the command line printed and returned.
struct CliRun
{
    int code;
    std::string out;
    std::string err;
};

// Runs loto6zumvel-cli with the given arguments (without the program name).
CliRun runCli(std::vector<std::string> args);

// Every combination of six of 1..43 in ascending order, by plain nested loops: the tests' own
// enumeration, independent of the code under test.
template<typename F>
void forEachSixOf43(F f)
{
    int c[6];
    for (c[0] = 1; c[0] <= 38; ++c[0])
        for (c[1] = c[0] + 1; c[1] <= 39; ++c[1])
            for (c[2] = c[1] + 1; c[2] <= 40; ++c[2])
                for (c[3] = c[2] + 1; c[3] <= 41; ++c[3])
                    for (c[4] = c[3] + 1; c[4] <= 42; ++c[4])
                        for (c[5] = c[4] + 1; c[5] <= 43; ++c[5])
                            f(static_cast<const int *>(c));
}

} // namespace loto6::test

#include "cli/cli.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "store/historyfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <numeric>
#include <random>
#include <sstream>

inline loto6::test::CliRun loto6::test::runCli(std::vector<std::string> args)
{
    args.insert(args.begin(), "loto6zumvel-cli");
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    std::ostringstream out, err;
    const int code = loto6::cli::run(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

inline std::string loto6::test::readAll(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

inline std::vector<loto6::DrawRecord> loto6::test::makeDraws(int count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<DrawRecord> draws;
    for (int no = 1; no <= count; ++no) {
        DrawRecord r;
        r.drawNo = no;
        r.date = "2020-01-" + std::string(no % 28 < 9 ? "0" : "") + std::to_string(no % 28 + 1);
        std::vector<int> pool(43);
        std::iota(pool.begin(), pool.end(), 1);
        std::shuffle(pool.begin(), pool.end(), rng);
        for (std::size_t f = 0; f < r.fields.size(); ++f)
            r.fields[f] = pool[f];
        draws.push_back(r);
    }
    return draws;
}

inline std::string loto6::test::csvOf(const std::vector<DrawRecord> &draws)
{
    std::ostringstream out;
    exportCsv(out, draws);
    return out.str();
}

inline loto6::Status loto6::test::readDraws(
    const std::filesystem::path &file, std::vector<DrawRecord> &draws)
{
    HistoryFile read;
    Status s = readHistoryFile(file, read);
    if (s)
        draws = std::move(read.draws);
    return s;
}

inline loto6::Status loto6::test::readDrawBytes(
    std::string_view bytes, std::vector<DrawRecord> &draws)
{
    HistoryFile read;
    Status s = readHistoryBytes(bytes, read);
    if (s)
        draws = std::move(read.draws);
    return s;
}

inline void loto6::test::makeDatabase(
    const std::filesystem::path &file, const std::vector<DrawRecord> &draws)
{
    const auto seed = file.parent_path() / (file.filename().string() + ".seed.csv");
    std::ofstream(seed, std::ios::binary) << csvOf(draws);
    {
        Database db;
        const Status s = db.openOrCreate(file, seed);
        ASSERT_TRUE(s) << s.message();
    }
    std::filesystem::remove(seed);
}
