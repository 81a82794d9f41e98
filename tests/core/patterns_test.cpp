// The pattern tickets: the family's counts against the test's own enumeration (sorted numbers,
// runs, differences and sheet coordinates, no masks), the sets the published evidence names,
// and the latest draws taken from a history.
#include "popularity/patterns.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

using namespace loto6;
using namespace loto6::popularity;

namespace {

using Six = std::array<int, 6>;

bool evenlySpaced(const int *a, int count)
{
    for (int i = 2; i < count; ++i)
        if (a[i] - a[i - 1] != a[1] - a[0])
            return false;
    return true;
}

bool longRun(const Six &a)
{
    int run = 1;
    for (std::size_t i = 1; i < a.size(); ++i) {
        run = a[i] == a[i - 1] + 1 ? run + 1 : 1;
        if (run >= 4)
            return true;
    }
    return false;
}

bool fiveSpaced(const Six &a)
{
    for (std::size_t skip = 0; skip < a.size(); ++skip) {
        int rest[5];
        int k = 0;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (i != skip)
                rest[k++] = a[i];
        if (evenlySpaced(rest, 5))
            return true;
    }
    return false;
}

// The frame of rows 1-42 of a sheet seven across, clockwise from 1: a cell's place 0..21.
int framePlace(int n)
{
    const int r = (n - 1) / 7, c = (n - 1) % 7;
    if (n > 42)
        return -1;
    if (r == 0)
        return c;
    if (c == 6)
        return 6 + r;
    if (r == 5)
        return 11 + (6 - c);
    if (c == 0)
        return 17 + (5 - r);
    return -1;
}

bool onOneLine(const Six &a)
{
    const auto same = [&a](auto key) {
        return std::all_of(a.begin(), a.end(), [&](int n) { return key(n) == key(a[0]); });
    };
    if (same([](int n) { return (n - 1) / 7; }) || same([](int n) { return (n - 1) % 7; })
        || same([](int n) { return (n - 1) / 7 - (n - 1) % 7; })
        || same([](int n) { return (n - 1) / 7 + (n - 1) % 7; }))
        return true;
    std::array<int, 6> place{};
    for (std::size_t i = 0; i < 6; ++i)
        if ((place[i] = framePlace(a[i])) < 0)
            return false;
    std::sort(place.begin(), place.end());
    int breaks = (place[0] + 22 - place[5]) % 22 != 1 ? 1 : 0;
    for (std::size_t i = 1; i < 6; ++i)
        breaks += place[i] - place[i - 1] != 1 ? 1 : 0;
    return breaks == 1;
}

bool allMultiples(const Six &a)
{
    for (int k = 3; k <= 7; ++k)
        if (std::all_of(a.begin(), a.end(), [k](int n) { return n % k == 0; }))
            return true;
    return false;
}

bool known(const Six &a)
{
    return a == Six{1, 2, 3, 4, 5, 6} || a == Six{7, 14, 21, 28, 35, 42}
    || a == Six{5, 10, 15, 20, 25, 30} || a == Six{38, 39, 40, 41, 42, 43};
}

} // namespace

TEST(Patterns, FamilyCountsMatchAnIndependentEnumeration)
{
    // Kinds in the table's order; the recent draws are none here.
    std::array<std::int64_t, 8> expected{};
    std::int64_t all = 0;
    test::forEachSixOf43([&](const int *c) {
        Six a;
        std::copy(c, c + 6, a.begin());
        const bool kinds[8] = {known(a), false, false, evenlySpaced(a.data(), 6), longRun(a),
            fiveSpaced(a), onOneLine(a), allMultiples(a)};
        for (std::size_t k = 0; k < 8; ++k)
            expected[k] += kinds[k] ? 1 : 0;
        all += std::any_of(std::begin(kinds), std::end(kinds), [](bool b) { return b; }) ? 1 : 0;
    });
    const PatternCounts counts = countPatterns(PatternFamily{});
    ASSERT_EQ(counts.perKind.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(counts.perKind[k], expected[k]) << patternKinds()[k].english;
    EXPECT_EQ(counts.all, all);
    // The figures the README gives.
    EXPECT_EQ(expected, (std::array<std::int64_t, 8>{4, 0, 0, 164, 28158, 7816, 81, 3242}));
    EXPECT_EQ(all, 37594);
    EXPECT_EQ(sheetLines().size(), 38u);
}

TEST(Patterns, NamedSetsAndEdgesOfTheSheet)
{
    const PatternFamily family;
    const auto kind = [&](Six c) { return family.kindOf(c); };
    EXPECT_EQ(kind({1, 2, 3, 4, 5, 6}), PatternKind::KnownSet);
    EXPECT_EQ(kind({5, 10, 15, 20, 25, 30}), PatternKind::KnownSet);
    EXPECT_EQ(kind({38, 39, 40, 41, 42, 43}), PatternKind::KnownSet);
    EXPECT_EQ(kind({7, 14, 21, 28, 35, 42}), PatternKind::KnownSet);
    EXPECT_EQ(kind({13, 31, 36, 37, 38, 39}), PatternKind::Consecutive4);
    EXPECT_EQ(kind({3, 22, 40, 41, 42, 43}), PatternKind::Consecutive4);
    EXPECT_EQ(kind({1, 11, 21, 31, 41, 42}), PatternKind::Progression5);
    EXPECT_EQ(kind({1, 8, 15, 22, 36, 43}), PatternKind::SheetLine);  // first column
    EXPECT_EQ(kind({7, 13, 19, 25, 37, 43}), PatternKind::SheetLine); // diagonal to 43
    EXPECT_EQ(kind({5, 6, 7, 14, 21, 28}), PatternKind::SheetLine);   // frame, round a corner
    EXPECT_EQ(kind({3, 9, 12, 21, 33, 42}), PatternKind::Multiples);  // of 3
    EXPECT_EQ(kind({2, 8, 10, 13, 27, 30}), std::nullopt);
    EXPECT_EQ(kind({2, 4, 8, 16, 32, 40}), std::nullopt);    // all even is no pattern
    EXPECT_EQ(kind({11, 12, 13, 15, 16, 17}), std::nullopt); // runs of three
    EXPECT_EQ(kind({36, 37, 38, 39, 40, 43}), PatternKind::Consecutive4);
    EXPECT_EQ(std::string(patternInfo(PatternKind::KnownSet).japanese), "有名な組");
}

TEST(Patterns, TheLatestTenDrawsAndTheirShiftsFromTheHistory)
{
    std::vector<DrawRecord> draws;
    for (int no = 1; no <= 12; ++no)
        draws.push_back(test::draw(no, {no, no + 10, no + 13, 30, 38, 43, 1}));
    draws.push_back(test::incomplete(13, 2));
    draws.push_back(test::draw(14, {30, 2, 8, 10, 13, 27, 40})); // unsorted, as stored
    const PatternFamily family = PatternFamily::fromHistory(test::history(draws));
    EXPECT_EQ(family.recent().size(), PatternFamily::RecentDraws);
    EXPECT_EQ(family.kindOf(Six{2, 8, 10, 13, 27, 30}), PatternKind::RecentFirstPrize);
    EXPECT_EQ(family.kindOf(Six{3, 9, 11, 14, 28, 31}), PatternKind::RecentShifted);
    EXPECT_EQ(family.kindOf(Six{1, 7, 9, 12, 26, 29}), PatternKind::RecentShifted);
    EXPECT_EQ(family.kindOf(Six{2, 9, 11, 14, 28, 31}), std::nullopt);
    // Draws 4..12 are among the latest ten; draws 1..3 are not.
    EXPECT_EQ(family.kindOf(Six{4, 14, 17, 30, 38, 43}), PatternKind::RecentFirstPrize);
    EXPECT_EQ(family.kindOf(Six{3, 13, 16, 29, 37, 42}), PatternKind::RecentShifted);
    EXPECT_EQ(family.kindOf(Six{3, 13, 16, 30, 38, 43}), std::nullopt);
    // 43 cannot move up, 1 cannot move down.
    const PatternFamily edge(std::vector<Combination>{{1, 9, 20, 26, 34, 43}});
    const PatternCounts counts = countPatterns(edge);
    EXPECT_EQ(counts.perKind[1], 1);
    EXPECT_EQ(counts.perKind[2], 0);
    // The family's tickets built from their shapes are those of the pass over every
    // combination, each once.
    for (const PatternFamily &f : {family, edge, PatternFamily{}}) {
        const std::vector<PatternMask> tickets = patternTickets(f);
        EXPECT_EQ(static_cast<std::int64_t>(tickets.size()), countPatterns(f).all);
        EXPECT_TRUE(std::ranges::adjacent_find(tickets) == tickets.end());
        EXPECT_TRUE(
            std::ranges::all_of(tickets, [&](PatternMask m) { return f.kindOf(m).has_value(); }));
    }
}
