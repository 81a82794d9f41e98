#include "prediction/predictionoptions.h"
#include "store/textcodec.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace loto6;

void writeBytes(const std::filesystem::path &file, const std::string &bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

TEST(PredictionOptions, WrittenFileReadsBackTheSameSwitches)
{
    test::TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    std::vector<PredictionOptions> cases(3);
    cases[1].on.fill(true);
    for (int i = 0; i < PredictionOptions::Count; i += 2)
        cases[2].on[static_cast<std::size_t>(i)] = true;
    for (int i = 0; i < PredictionOptions::Count; ++i) {
        PredictionOptions one;
        one.on[static_cast<std::size_t>(i)] = true;
        cases.push_back(one);
    }
    const auto file = dir / PredictionOptions::FileName;
    for (const PredictionOptions &written : cases) {
        ASSERT_TRUE(writeInitFile(file, written));
        PredictionOptions read;
        ASSERT_TRUE(readInitFile(file, read));
        EXPECT_EQ(read, written);
    }
}

TEST(PredictionOptions, FileIsTwelveShiftJisLinesWithCrLf)
{
    test::TempDir dir;
    const auto file = dir / "settings.ini";
    PredictionOptions o;
    o.on[10] = true;
    ASSERT_TRUE(writeInitFile(file, o));
    const std::string bytes = test::readAll(file);
    const std::optional<std::string> text = cp932ToUtf8(bytes);
    ASSERT_TRUE(text);
    EXPECT_NE(bytes, *text) << "the keys are written in Shift-JIS, not UTF-8";
    EXPECT_TRUE(text->starts_with("頻度分析Opt=False\r\n間隔分析Opt=False\r\n"));
    EXPECT_NE(text->find("\r\n下一桁出現傾向分析Opt=True\r\n下一桁連続出現回数分析Opt=False\r\n"),
        std::string::npos);
    EXPECT_EQ(std::count(text->begin(), text->end(), '\n'), 12);
}

TEST(PredictionOptions, ReadsTheValuesOfTheFile)
{
    struct Row
    {
        const char *name;
        std::string text;
        int index;
        bool expected;
    };
    const Row rows[] = {
        { "lower-case false", "頻度分析Opt=false\r\n", 0, false },
        { "upper-case TRUE", "頻度分析Opt=TRUE\r\n", 0, true },
        { "number one", "頻度分析Opt=1\r\n", 0, true },
        { "number zero", "頻度分析Opt=0\r\n", 0, false },
        { "LF line end", "間隔分析Opt=True\n", 1, true },
        { "last occurrence wins", "間隔分析Opt=True\r\n間隔分析Opt=False\r\n", 1, false },
        { "key in other case is ignored", "頻度分析OPT=True\r\n", 0, false },
        { "key with spaces is ignored", " 頻度分析Opt=True\r\n", 0, false },
        { "extra lines are ignored", "[section]\r\nfoo=bar\r\n連番飛び石分析Opt=True\r\n", 5,
            true },
        { "last-digit keys", "下一桁出現傾向分析Opt=True\r\n", 10, true },
        { "last-digit run key", "下一桁連続出現回数分析Opt=True\r\n", 11, true },
        { "missing key stays off", "頻度分析Opt=True\r\n", 3, false },
    };
    test::TempDir dir;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        for (bool cp932 : { true, false }) {
            const auto file = dir / "in.ini";
            const std::optional<std::string> bytes
                = cp932 ? utf8ToCp932(row.text) : std::optional<std::string>(row.text);
            ASSERT_TRUE(bytes);
            writeBytes(file, *bytes);
            PredictionOptions o;
            ASSERT_TRUE(readInitFile(file, o));
            EXPECT_EQ(o.on[static_cast<std::size_t>(row.index)], row.expected)
                << (cp932 ? "Shift-JIS" : "UTF-8");
        }
    }
}

} // namespace
