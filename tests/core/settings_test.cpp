#include "testsupport.h"

#include "prediction/predictionoptions.h"
#include "store/textcodec.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace loto6;
using loto6::test::TempDir;

TEST(SettingsFile, WrittenInShiftJisWithCrLfAndReadBack)
{
    TempDir dir;
    const auto file = dir / PredictionOptions::FileName;
    PredictionOptions on;
    on.on.fill(true);
    on.on[3] = false;
    ASSERT_TRUE(writeInitFile(file, on));
    const std::string bytes = test::readAll(file);
    const auto utf8 = cp932ToUtf8(bytes);
    ASSERT_TRUE(utf8);
    EXPECT_TRUE(utf8->starts_with("頻度分析Opt=True\r\n間隔分析Opt=True\r\n出現回数分析Opt=True\r\n"
                                  "バラツキ分析Opt=False\r\n"));
    EXPECT_TRUE(utf8->ends_with("下一桁連続出現回数分析Opt=True\r\n"));
    EXPECT_FALSE(isValidUtf8(bytes)) << "the file must be Shift-JIS, not UTF-8";
    PredictionOptions back;
    ASSERT_TRUE(readInitFile(file, back));
    EXPECT_EQ(back, on);
    // Only the file itself remains: the temporary was renamed over it.
    int files = 0;
    for ([[maybe_unused]] const auto &e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(SettingsFile, ConversionAndMatchingRules)
{
    struct Case
    {
        const char *name;
        const char *text;
        int index;
        bool start;
        bool expected;
    };
    const Case cases[] = {
        {"lower_false", "頻度分析Opt=false\r\n", 0, true, false},
        {"upper_true", "頻度分析Opt=TRUE\r\n", 0, false, true},
        {"number_one", "頻度分析Opt=1\r\n", 0, false, true},
        {"number_zero", "頻度分析Opt=0\n", 0, true, false},
        {"case_of_key", "頻度分析opt=True\r\n", 0, false, false},
        {"spaces_around_key", " 頻度分析Opt=True\r\n", 0, false, false},
        {"missing_equals", "頻度分析Opt True\r\n", 0, true, true},
        {"unconvertible", "頻度分析Opt=maybe\r\n", 0, true, true},
        {"last_wins", "間隔分析Opt=True\r\n間隔分析Opt=False\r\n", 1, false, false},
        {"extra_lines", "[section]\r\nfoo=bar\r\n下一桁出現傾向分析Opt=True\r\n", 10, false, true},
        {"last_digit_runs", "下一桁連続出現回数分析Opt=True", 11, false, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PredictionOptions o;
        o.on.fill(c.start);
        parseInitText(c.text, o);
        EXPECT_EQ(o.on[static_cast<std::size_t>(c.index)], c.expected);
    }
}

TEST(SettingsFile, Utf8InputAndMissingFile)
{
    TempDir dir;
    const auto file = dir / "s.ini";
    std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF"
                                             "数字合計分析Opt=True\n";
    PredictionOptions o;
    ASSERT_TRUE(readInitFile(file, o));
    EXPECT_TRUE(o.on[6]);

    PredictionOptions kept;
    kept.on[2] = true;
    EXPECT_FALSE(readInitFile(dir / "missing.ini", kept));
    EXPECT_TRUE(kept.on[2]) << "a missing file leaves the switches as they are";
}

TEST(SettingsFile, FailedWriteKeepsTheOldFile)
{
    TempDir dir;
    const auto file = dir / "s.ini";
    PredictionOptions o;
    o.on[0] = true;
    ASSERT_TRUE(writeInitFile(file, o));
    const std::string before = test::readAll(file);
    // A folder where the file should be cannot be replaced.
    EXPECT_FALSE(writeInitFile(dir / "no-such-folder" / "s.ini", o));
    EXPECT_EQ(test::readAll(file), before);
}
