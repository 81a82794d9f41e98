// The entry window's save that checks first: a draw another program added, changed (its date
// alone included) or deleted since the window read it is never written over unseen.
#include "testsupport.h"

#include "store/database.h"
#include "store/guardedsave.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace loto6;

namespace {

DrawRecord dated(DrawRecord r, std::string date)
{
    r.date = std::move(date);
    return r;
}

// The draw stored under the number, read as another program would.
std::optional<DrawRecord> storedDraw(const std::filesystem::path &file, int drawNo)
{
    Database db;
    EXPECT_TRUE(db.open(file));
    std::vector<DrawRecord> draws;
    EXPECT_TRUE(db.readDraws(draws));
    for (const DrawRecord &r : draws)
        if (r.drawNo == drawNo)
            return r;
    return std::nullopt;
}

// The same draw by its number, date and fields, without the code under test.
void expectSame(const DrawRecord &actual, const DrawRecord &expected)
{
    EXPECT_EQ(actual.drawNo, expected.drawNo);
    EXPECT_EQ(actual.date, expected.date);
    EXPECT_EQ(actual.fields, expected.fields);
}

} // namespace

TEST(GuardedSave, ADrawChangedElsewhereSinceTheWindowReadItIsNeverWrittenOver)
{
    const DrawRecord seen = dated(test::draw(2, {8, 9, 10, 11, 12, 13, 14}), "2020-01-09");
    const DrawRecord typed = dated(test::draw(2, {40, 9, 10, 11, 12, 13, 14}), "2020-01-09");
    struct Case
    {
        const char *name;
        int drawNo;
        std::optional<DrawRecord> seen;              // what the window read
        std::function<Status(Database &)> elsewhere; // what the other program did meanwhile
        std::optional<DrawRecord> storedAfter;       // what is stored after the save
    };
    const Case cases[] = {
        // Only the date was corrected (by an import, say): the correction is kept.
        {"date-corrected", 2, seen,
            [&](Database &db) { return db.saveDraw(dated(seen, "2020-01-10")); },
            dated(seen, "2020-01-10")},
        {"numbers-changed", 2, seen,
            [&](Database &db) {
                return db.saveDraw(dated(test::draw(2, {20, 21, 22, 23, 24, 25, 26}), seen.date));
            },
            dated(test::draw(2, {20, 21, 22, 23, 24, 25, 26}), seen.date)},
        // The stored row is gone: a missing row is a change, not "nothing changed".
        {"deleted", 2, seen, [](Database &db) { return db.deleteDraw(2); }, std::nullopt},
        {"added", 6, std::nullopt,
            [](Database &db) {
                return db.saveDraw(test::draw(6, {31, 32, 33, 34, 35, 36, 37}));
            },
            test::draw(6, {31, 32, 33, 34, 35, 36, 37})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const auto file = dir / "h.db";
        std::vector<DrawRecord> draws = test::makeDraws(5, 1);
        draws[1] = seen;
        test::makeDatabase(file, draws);
        Database window;
        ASSERT_TRUE(window.open(file));
        {
            Database other;
            ASSERT_TRUE(other.open(file));
            ASSERT_TRUE(c.elsewhere(other));
        }
        DrawRecord mine = typed;
        mine.drawNo = c.drawNo;
        GuardedSave outcome;
        ASSERT_TRUE(saveDrawIfUnchanged(window, mine, c.seen, outcome));
        EXPECT_FALSE(outcome.saved);
        // What the other program stored stays, and the window is told of it to ask the user.
        const std::optional<DrawRecord> after = storedDraw(file, c.drawNo);
        EXPECT_EQ(after.has_value(), c.storedAfter.has_value());
        EXPECT_EQ(outcome.stored.has_value(), c.storedAfter.has_value());
        if (c.storedAfter && after)
            expectSame(*after, *c.storedAfter);
        if (c.storedAfter && outcome.stored)
            expectSame(*outcome.stored, *c.storedAfter);
    }
}

TEST(GuardedSave, ADrawNobodyElseTouchedIsWritten)
{
    test::TempDir dir;
    const auto file = dir / "h.db";
    std::vector<DrawRecord> draws = test::makeDraws(5, 1);
    test::makeDatabase(file, draws);
    Database window;
    ASSERT_TRUE(window.open(file));
    struct Case
    {
        const char *name;
        DrawRecord typed;
        std::optional<DrawRecord> seen;
    };
    const Case cases[] = {
        {"changed", dated(test::draw(2, {40, 9, 10, 11, 12, 13, 14}), "2020-01-11"), draws[1]},
        {"new", dated(test::draw(6, {1, 2, 3, 4, 5, 6, 7}), "2020-01-20"), std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        GuardedSave outcome;
        ASSERT_TRUE(saveDrawIfUnchanged(window, c.typed, c.seen, outcome));
        EXPECT_TRUE(outcome.saved);
        EXPECT_FALSE(outcome.stored);
        const std::optional<DrawRecord> after = storedDraw(file, c.typed.drawNo);
        ASSERT_TRUE(after);
        expectSame(*after, c.typed);
    }
}
