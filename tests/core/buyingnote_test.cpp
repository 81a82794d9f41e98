// The buying note printed from a prediction: its heading names the draw and its day, every
// switch is there with its setting, and every buyable line is there, labelled and sorted.

#include "summary/buyingnote.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace loto6;

namespace {

std::vector<std::vector<std::string>> rowsOf(const Sheet &sheet)
{
    std::vector<std::vector<std::string>> rows;
    for (int r = 2; r <= sheet.rows(); ++r) {
        std::vector<std::string> row;
        for (int c = 1; c <= sheet.columns(); ++c)
            row.emplace_back(sheet.text(c, r));
        rows.push_back(row);
    }
    return rows;
}

Prediction prediction()
{
    Prediction p;
    p.latestDrawNo = 2147;
    p.oneShot = {40, 3, 22, 9, 31, 10};
    // Two whole elimination lines and a short rest, which is not a line.
    p.elimination = {43, 1, 2, 8, 7, 5, 30, 20, 10, 11, 12, 13, 33, 34};
    p.consecutive = {40, 3, 22, 9, 31, 10, 17, 16, 15, 14, 19, 18};
    return p;
}

} // namespace

TEST(BuyingNote, HeadingSwitchesAndEveryLine)
{
    PredictionOptions options;
    options.on[0] = true;
    options.on[7] = true;
    // Drawn on Thursday 2026-12-10: the next draw is on Monday.
    const BuyingNote note = predictionNote(prediction(), options, "2026-12-10");
    EXPECT_EQ(buyingNoteTitle(note), "第2148回の予想（2026-12-14）");

    const std::vector<Sheet> sheets = buyingNoteSheets(note, nullptr);
    ASSERT_EQ(sheets.size(), 2u);
    std::map<std::string, std::string> settings;
    for (const auto &row : rowsOf(sheets[0]))
        for (std::size_t c = 0; c + 1 < row.size(); c += 2)
            if (!row[c].empty())
                settings[row[c]] = row[c + 1];
    EXPECT_EQ(settings["抽選日"], "2026-12-14");
    EXPECT_EQ(settings["予想のもと"], "第2147回まで");
    for (int i = 0; i < PredictionOptions::Count; ++i)
        EXPECT_EQ(
            settings[std::string(PredictionOptions::name(i))], i == 0 || i == 7 ? "反映" : "無視")
            << PredictionOptions::name(i);

    using Line = std::vector<std::string>;
    std::vector<Line> lines;
    for (const auto &row : rowsOf(sheets[1]))
        lines.push_back(Line(row.begin(), row.begin() + 7));
    EXPECT_EQ(lines,
        (std::vector<Line>{{"1発", "03", "09", "10", "22", "31", "40"},
            {"消去法1", "01", "02", "05", "07", "08", "43"},
            {"消去法2", "10", "11", "12", "13", "20", "30"},
            {"連発", "14", "15", "16", "17", "18", "19"}}));
    // Without the estimate every line says that its popularity is not worked out yet.
    for (const auto &row : rowsOf(sheets[1]))
        EXPECT_FALSE(row.back().empty());
}

TEST(BuyingNote, UnknownDateAndNoLines)
{
    Prediction empty;
    empty.latestDrawNo = 5;
    const BuyingNote note = predictionNote(empty, PredictionOptions{}, "");
    EXPECT_EQ(buyingNoteTitle(note), "第6回の予想");
    const std::vector<Sheet> sheets = buyingNoteSheets(note, nullptr);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[1].rows(), 1);
}
