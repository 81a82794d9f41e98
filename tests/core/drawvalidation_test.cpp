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
        { "empty", "", NumberText::Empty },
        { "spaces only", "  ", NumberText::Empty },
        { "zero", "0", NumberText::Wrong },
        { "lowest", "1", NumberText::Valid },
        { "highest", "43", NumberText::Valid },
        { "above range", "44", NumberText::Wrong },
        { "zero padded above range", "044", NumberText::Wrong },
        { "decimal point on a whole number", "7.0", NumberText::Wrong },
        { "leading zero", "07", NumberText::Valid },
        { "negative", "-5", NumberText::Wrong },
        { "sign", "+5", NumberText::Wrong },
        { "exponent", "1e1", NumberText::Wrong },
        { "huge", "99999999999999999999999", NumberText::Wrong },
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
    const std::vector<int> used { 1, 2, 5 };
    struct Case
    {
        const char *name;
        const char *text;
        DrawNumberText expected;
    };
    const Case cases[] = {
        { "free", "3", DrawNumberText::Valid },
        { "far above", "1000", DrawNumberText::Valid },
        { "used", "5", DrawNumberText::AlreadyUsed },
        { "used with leading zero", "05", DrawNumberText::AlreadyUsed },
        { "zero", "0", DrawNumberText::NotWholeNumber },
        { "empty", "", DrawNumberText::NotWholeNumber },
        { "decimal", "3.0", DrawNumberText::NotWholeNumber },
        { "negative", "-3", DrawNumberText::NotWholeNumber },
        { "beyond int", "4294967296", DrawNumberText::NotWholeNumber },
    };
    for (const Case &c : cases)
        EXPECT_EQ(checkDrawNumberText(c.text, used), c.expected) << c.name;
}

TEST(DrawValidation, NextFreeDrawNumberSkipsUsedOnes)
{
    EXPECT_EQ(nextFreeDrawNumber(0, {}), 1);
    EXPECT_EQ(nextFreeDrawNumber(2, { 1, 2, 5 }), 3);
    EXPECT_EQ(nextFreeDrawNumber(2, { 5, 4, 3, 3, 1, 2, 7 }), 6) << "unsorted with a duplicate";
    EXPECT_EQ(nextFreeDrawNumber(7, { 1, 2, 3 }), 8);
    EXPECT_EQ(nextFreeDrawNumber(-4, { 1 }), 2);
}
