#include "store/drawvalidation.h"
#include "store/fault.h"
#include "store/result.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace loto6;

// Every kind has an English text with each fact filled in: no placeholder is left over, and a
// kind that wraps another says its cause.
TEST(Fault, EveryKindHasItsEnglishTextFilled)
{
    Fault cause{.kind = FaultKind::DrawTwice, .draw = 8};
    for (int k = 1; k < static_cast<int>(FaultKind::Count); ++k) {
        Fault f{.kind = static_cast<FaultKind>(k), .file = "h.db", .value = "44", .detail = "x"};
        f.cause = std::make_shared<const Fault>(cause);
        const std::string text = englishText(f);
        EXPECT_FALSE(text.empty()) << k;
        EXPECT_EQ(text.find('{'), std::string::npos) << k << ": " << text;
    }
}

// The place goes first once: a fact of the fault when it has none, a wrapper when it has one.
TEST(Fault, PlaceIsPutFirstOnce)
{
    const Status twice = Status::failure(Fault{.kind = FaultKind::DrawTwice, .draw = 7});
    EXPECT_EQ(inFile(atLine(twice, 4), "h.csv", true).message(),
        "\"h.csv\": line 4: draw 7 occurs twice");
    EXPECT_EQ(inFile(inFile(twice, "a", false), "b", false).message(), "b: a: draw 7 occurs twice");
    EXPECT_EQ(atLine(Status::failure("plain reason"), 2).message(), "line 2: plain reason");
    EXPECT_TRUE(inFile(Status::success(), "h.csv", true));
}

// One check of a draw's numbers for every reader: the same fault, each reader's words.
TEST(Fault, DrawNumbersCheckedOnceWordedPerReader)
{
    DrawFields fields{};
    int field = -1;
    const std::array<std::string, 7> outside{"1", "2", "3", "44", "5", "6", "7"};
    const std::array<std::string, 7> repeated{"1", "2", "3", "4", "5", "6", "2"};
    struct Case
    {
        DrawForm form;
        const std::array<std::string, 7> &texts;
        const char *english;
    };
    const Case cases[] = {
        {DrawForm::HistoryCsv, outside, "44 is outside 1..43"},
        {DrawForm::OfficialFile, outside, "\"44\" is not a number from 1 to 43 in ASCII digits"},
        {DrawForm::Command, outside, "add: N4 \"44\" is not a whole number from 1 to 43"},
        {DrawForm::HistoryCsv, repeated,
            "draw 9 has 2 twice (also in 第2数字); a draw's seven numbers all differ"},
        {DrawForm::OfficialFile, repeated,
            "ボーナス数字: 2 occurs twice (also in 第2数字); a draw's seven numbers all differ"},
        {DrawForm::Command, repeated,
            "add: BONUS 2 repeats N2; the seven numbers of a draw are all different"},
    };
    for (const Case &c : cases) {
        const Status s = readDrawFields(c.texts, c.form, 9, fields, &field);
        EXPECT_EQ(s.message(), c.english);
        EXPECT_EQ(field, &c.texts == &outside ? 3 : 6);
    }
    const std::array<std::string, 6> ticket{"1", "2", "3", "4", "4", "6"};
    EXPECT_EQ(readDrawFields(ticket, DrawForm::Ticket, 0, fields).message(),
        "ticket number 4 is given twice; a ticket holds six different numbers");
    // A history CSV may leave a field empty; the fields are given only when all are right.
    const std::array<std::string, 7> partial{"1", "", "3", "4", "5", "6", "7"};
    ASSERT_TRUE(readDrawFields(partial, DrawForm::HistoryCsv, 1, fields));
    EXPECT_FALSE(fields[1]);
    EXPECT_EQ(fields[6], 7);
    EXPECT_FALSE(readDrawFields(partial, DrawForm::OfficialFile, 1, fields));
    const std::array<std::string, 7> huge{"1", "2", "3", "99999999999999999999", "5", "6", "7"};
    EXPECT_EQ(readDrawFields(huge, DrawForm::HistoryCsv, 1, fields).message(),
        "\"99999999999999999999\" is outside 1..43");
}
