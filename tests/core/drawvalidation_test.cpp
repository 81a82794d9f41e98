#include "store/drawvalidation.h"

#include <gtest/gtest.h>

#include <string>

using namespace loto6;

// The rule itself, edges included, so that a run of the core tests alone catches a change to it.
TEST(DrawValidation, NumberCellTexts)
{
    struct Case
    {
        const char *name;
        const char *text;
        NumberText expected;
    };
    const Case cases[] = {
        {"empty", "", NumberText::Empty},
        {"spaces only", "  ", NumberText::Empty},
        {"zero", "0", NumberText::Wrong},
        {"lowest", "1", NumberText::Valid},
        {"highest", "43", NumberText::Valid},
        {"above range", "44", NumberText::Wrong},
        {"zero padded above range", "044", NumberText::Wrong},
        {"decimal point on a whole number", "7.0", NumberText::Wrong},
        {"leading zero", "07", NumberText::Valid},
        {"negative", "-5", NumberText::Wrong},
        {"sign", "+5", NumberText::Wrong},
        {"exponent", "1e1", NumberText::Wrong},
        {"huge", "99999999999999999999999", NumberText::Wrong},
    };
    for (const Case &c : cases)
        EXPECT_EQ(checkNumberText(c.text), c.expected) << c.name;
    EXPECT_EQ(parseNumberText("07"), 7);
    EXPECT_EQ(parseNumberText("43"), 43);
    EXPECT_EQ(parseNumberText("44"), std::nullopt);
    EXPECT_EQ(parseNumberText("0"), std::nullopt);
}

TEST(DrawValidation, DrawNumberMustBeUnusedWholeNumberFromOne)
{
    const std::vector<int> used{1, 2, 5};
    struct Case
    {
        const char *name;
        const char *text;
        DrawNumberText expected;
    };
    const Case cases[] = {
        {"free", "3", DrawNumberText::Valid},
        {"far above", "1000", DrawNumberText::Valid},
        {"used", "5", DrawNumberText::AlreadyUsed},
        {"used with leading zero", "05", DrawNumberText::AlreadyUsed},
        {"zero", "0", DrawNumberText::NotWholeNumber},
        {"empty", "", DrawNumberText::NotWholeNumber},
        {"decimal", "3.0", DrawNumberText::NotWholeNumber},
        {"negative", "-3", DrawNumberText::NotWholeNumber},
        {"beyond int", "4294967296", DrawNumberText::TooLarge},
        {"beyond the limit", "1000000000", DrawNumberText::TooLarge},
        {"beyond 64 bits", "99999999999999999999999", DrawNumberText::TooLarge},
        {"at the limit", "999999999", DrawNumberText::Valid},
    };
    for (const Case &c : cases)
        EXPECT_EQ(checkDrawNumberText(c.text, used), c.expected) << c.name;
}

TEST(DrawValidation, WholeNumberProblemSaysWhatIsWrong)
{
    struct Case
    {
        const char *name;
        const char *text;
        std::string problem; // empty: accepted
        long long value;
    };
    const Case cases[] = {
        {"leading_zeros", "0000000000000000000007", "", 7},
        {"largest", "999999999", "", 999'999'999},
        {"one_above", "1000000000", "is too large: the largest draw number is 999999999", 0},
        {"beyond_64_bits", "99999999999999999999999", "is too large", 0},
        {"zero", "0", "is below 1", 0},
        {"negative", "-5", "is below 1", 0},
        {"decimal", "7.0", "is not a whole number", 0},
        {"sign", "+7", "is not a whole number", 0},
        {"empty", "", "is not a whole number", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        int drawNo = -1;
        const std::string problem = drawNumberProblem(c.text, drawNo);
        if (c.problem.empty()) {
            EXPECT_EQ(problem, "");
            EXPECT_EQ(drawNo, c.value);
        } else {
            EXPECT_EQ(problem.substr(0, c.problem.size()), c.problem);
            EXPECT_EQ(drawNo, -1) << "left as it was";
        }
    }
}

TEST(DrawValidation, SevenNumbersInRangeAndNoneRepeated)
{
    using F = NumberFault;
    const F ok = F::None;
    struct Case
    {
        const char *name;
        DrawFields fields;
        std::array<NumberFault, 7> expected;
    };
    const Case cases[] = {
        {"right", {2, 8, 10, 13, 27, 30, 39}, {ok, ok, ok, ok, ok, ok, ok}},
        {"main repeated", {2, 8, 2, 13, 27, 30, 39}, {ok, ok, F::Repeated, ok, ok, ok, ok}},
        {"bonus is a main number", {2, 8, 10, 13, 27, 30, 8},
            {ok, ok, ok, ok, ok, ok, F::Repeated}},
        {"out of range", {0, 44, 10, 13, 27, 30, 39},
            {F::OutOfRange, F::OutOfRange, ok, ok, ok, ok, ok}},
        {"absent fields skipped", {5, std::nullopt, std::nullopt, 6, 7, 8, 9},
            {ok, ok, ok, ok, ok, ok, ok}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(checkDrawNumbers(c.fields), c.expected) << c.name;
    EXPECT_EQ(repeatedField({2, 8, 10, 13, 27, 30, 8}, 6), 1);
}

TEST(DrawValidation, DrawDatesAreRealDates)
{
    struct Case
    {
        const char *name;
        const char *text;
        const char *expected; // nullptr: refused
    };
    const Case cases[] = {
        {"iso", "2026-12-07", "2026-12-07"},
        {"slashes, short", "2026/1/5", "2026-01-05"},
        {"leap day", "2024-02-29", "2024-02-29"},
        {"no leap day", "2025-02-29", nullptr},
        {"month 13", "2026-13-01", nullptr},
        {"day 32", "2026-01-32", nullptr},
        {"mixed separators", "2026-01/05", nullptr},
        {"two-digit year", "26-01-05", nullptr},
        {"trailing text", "2026-01-05x", nullptr},
        {"empty", "", nullptr},
    };
    for (const Case &c : cases) {
        const auto date = parseDrawDate(c.text);
        if (c.expected)
            EXPECT_EQ(date.value_or("refused"), c.expected) << c.name;
        else
            EXPECT_FALSE(date) << c.name;
    }
}

TEST(DrawValidation, NextDrawDay)
{
    struct Case
    {
        const char *name;
        const char *date;
        const char *expected;
    };
    const Case cases[] = {
        {"thursday to monday", "2026-12-03", "2026-12-07"},
        {"monday to thursday", "2026-12-07", "2026-12-10"},
        {"across the year end", "2026-12-31", "2027-01-04"},
        {"thursdays only before april 2011", "2011-03-24", "2011-03-31"},
        {"first monday draw", "2011-03-31", "2011-04-04"},
        {"not a date", "2026-02-30", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(nextDrawDay(c.date), c.expected) << c.name;
}
