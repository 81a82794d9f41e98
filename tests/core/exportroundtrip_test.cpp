#include "testsupport.h"

#include "grid/sheet.h"
#include "grid/sheetwriter.h"
#include "store/csvhistory.h"
#include "store/paths.h"
#include "store/textcodec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

using namespace loto6;

namespace {

std::vector<DrawRecord> smallHistory()
{
    std::vector<DrawRecord> draws(3);
    draws[0] = {1, "2000-10-05", {2, 8, 10, 13, 27, 30, 39}, false};
    draws[1] = {2, "2000-10-12", {1, 9, 16, 20, 21, 43, 5}, false};
    draws[2] = {3, "", {1, 5, 15, 31, 36, 38, 13}, false};
    return draws;
}

bool sameDraws(const std::vector<DrawRecord> &a, const std::vector<DrawRecord> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].drawNo != b[i].drawNo || a[i].date != b[i].date || a[i].fields != b[i].fields)
            return false;
    return true;
}

} // namespace

// The exported history reads back the same in each form a spreadsheet program may save it.
TEST(CsvExport, RoundTripThroughEachEncoding)
{
    std::ostringstream out;
    exportCsv(out, smallHistory());
    const std::string utf8 = out.str();
    const std::optional<std::string> sjis = utf8ToCp932(utf8);
    ASSERT_TRUE(sjis);

    const struct
    {
        const char *name;
        std::string bytes;
    } cases[] = {
        {"utf8", utf8},
        {"utf8_with_bom", "\xEF\xBB\xBF" + utf8},
        {"shift_jis", *sjis},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DrawRecord> back;
        const Status s = test::readDrawBytes(c.bytes, back);
        ASSERT_TRUE(s) << s.message();
        EXPECT_TRUE(sameDraws(back, smallHistory()));
    }
}

// A table's CSV keeps texts with commas, quotes and Japanese through the Shift-JIS form.
TEST(SheetCsv, TextsSurviveShiftJis)
{
    Sheet s;
    s.setSize(3, 2);
    s.setText(1, 1, "出現回数");
    s.setText(2, 1, "a,b");
    s.setText(3, 1, "say \"6\"");
    s.setText(1, 2, 43);
    std::ostringstream out;
    writeSheetCsv(out, s);
    const std::optional<std::string> sjis = utf8ToCp932(out.str());
    ASSERT_TRUE(sjis);
    EXPECT_EQ(cp932ToUtf8(*sjis), out.str());
    EXPECT_EQ(out.str(), "出現回数,\"a,b\",\"say \"\"6\"\"\"\n43,,\n");
}

TEST(Paths, UserDataFolder)
{
    const struct
    {
        const char *name;
        const char *xdg;
        const char *home;
        const char *expected;
    } cases[] = {
        {"xdg_wins", "/x/data", "/home/u", "/x/data/loto6zumvel"},
        {"relative_xdg_ignored", "rel/data", "/home/u", "/home/u/.local/share/loto6zumvel"},
        {"empty_xdg_ignored", "", "/home/u", "/home/u/.local/share/loto6zumvel"},
        {"no_xdg", nullptr, "/home/u", "/home/u/.local/share/loto6zumvel"},
        {"nothing_known", nullptr, nullptr, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        test::ScopedEnv xdg("XDG_DATA_HOME", c.xdg);
        test::ScopedEnv home("HOME", c.home);
        EXPECT_EQ(userDataDir(), std::filesystem::path(c.expected));
    }
}

// Beside a test program there is no bundled history, nor an installed one: the local path is
// kept, so a build never writes into the user's folders by surprise.
TEST(Paths, LocalBuildKeepsTheProgramFolder)
{
    EXPECT_EQ(
        installedDataDir(), (programDir() / ".." / "share" / "loto6zumvel").lexically_normal());
    EXPECT_EQ(
        findDataFile("no-such-file.txt", "no-such-file.txt"), programDir() / "no-such-file.txt");
}
