#include "testsupport.h"
#include "ticketsupport.h"

#include "analysis/probability.h"
#include "grid/sheetwriter.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "tickets/ticketbook.h"
#include "tickets/ticketgrading.h"
#include "tickets/ticketsheets.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace loto6;
using loto6::test::draw;
using loto6::test::ticket;

namespace {

DrawHistory realHistory()
{
    std::vector<DrawRecord> draws;
    EXPECT_TRUE(test::readDraws(SHARED_HISTORY, draws));
    return DrawHistory(std::move(draws));
}

DrawPrizes payouts(int drawNo, std::array<std::optional<long long>, 5> prizes)
{
    DrawPrizes p;
    p.drawNo = drawNo;
    for (std::size_t i = 0; i < 5; ++i)
        p.tiers[i] = {prizes[i] ? 1 : 0, prizes[i]};
    return p;
}

} // namespace

TEST(TicketGrading, TiersFollowTheOfficialRules)
{
    // Draw: main 1..6, bonus 7.
    const DrawHistory h = test::history({draw(1, {1, 2, 3, 4, 5, 6, 7})});
    struct Row
    {
        const char *name;
        std::array<int, MainNumberCount> numbers;
        int matches;
        bool bonus;
        int tier;
    };
    const Row rows[] = {
        {"all six is 1等", {1, 2, 3, 4, 5, 6}, 6, false, 1},
        {"five and the bonus is 2等", {1, 2, 3, 4, 5, 7}, 5, true, 2},
        {"five without the bonus is 3等", {1, 2, 3, 4, 5, 40}, 5, false, 3},
        {"four and the bonus is still 4等", {1, 2, 3, 4, 7, 40}, 4, true, 4},
        {"four is 4等", {1, 2, 3, 4, 40, 41}, 4, false, 4},
        {"three and the bonus is still 5等", {1, 2, 3, 7, 40, 41}, 3, true, 5},
        {"two and the bonus wins nothing", {1, 2, 7, 40, 41, 42}, 2, true, 0},
        {"none", {20, 21, 22, 23, 24, 25}, 0, false, 0},
    };
    for (const Row &r : rows) {
        const TicketGrading g({ticket(r.numbers)}, h, {});
        ASSERT_EQ(g.rows().size(), 1u) << r.name;
        EXPECT_EQ(g.rows()[0].matches, r.matches) << r.name;
        EXPECT_EQ(g.rows()[0].bonus(), r.bonus) << r.name;
        EXPECT_EQ(g.rows()[0].tier, r.tier) << r.name;
    }
}

TEST(TicketGrading, DrawOneTicketWinsFirstPrizeOnDrawOne)
{
    const DrawHistory h = realHistory();
    const TicketGrading g({ticket({2, 8, 10, 13, 27, 30}, 1, 3)}, h, {});
    ASSERT_EQ(g.rows().size(), 3u);
    EXPECT_EQ(g.rows()[0].drawNo, 1);
    EXPECT_EQ(g.rows()[0].tier, 1);
    EXPECT_EQ(g.prize(g.rows()[0]), TicketGrading::Unknown);
    EXPECT_EQ(g.summary().tierUnits[0], 1);
    EXPECT_EQ(g.summary().cost, 600);
    EXPECT_FALSE(g.summary().winningsKnown());
    EXPECT_NE(ticketResultsSheet(g).text(12, 2), std::string_view());
    EXPECT_EQ(ticketResultsSheet(g).text(12, 2), "不明");

    const TicketGrading check = checkCombination({30, 27, 13, 10, 8, 2}, h, {});
    const Sheet s = combinationCheckSheet(check, h);
    EXPECT_EQ(s.text(1, 2), "第1回");
    EXPECT_EQ(s.text(10, 2), "1等");
    EXPECT_EQ(s.rows(), 1 + check.summary().winningUnits);
}

// A ticket running past the latest draw lists its coming draws as 未抽選 after its graded ones,
// before the next ticket's rows; a ticket wholly in the future has only such rows.
TEST(TicketGrading, DrawsStillToComeAreListedAsNotYetDrawn)
{
    const DrawHistory h
        = test::history({draw(1, {1, 2, 3, 4, 5, 6, 7}), draw(2, {8, 9, 10, 11, 12, 13, 14})});
    Ticket running = ticket({1, 2, 3, 4, 5, 6}, 2, 3);
    running.id = 1;
    Ticket future = ticket({20, 21, 22, 23, 24, 25}, 5, 2, 3);
    future.id = 2;
    const TicketGrading g({running, future}, h, {});
    const Sheet s = ticketResultsSheet(g);
    ASSERT_EQ(s.rows(), 1 + 5);
    const char *expected[][3] = {{"1", "第2回", "—"}, {"1", "第3回", "未抽選"},
        {"1", "第4回", "未抽選"}, {"2", "第5回", "未抽選"}, {"2", "第6回", "未抽選"}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(s.text(1, 2 + i), expected[i][0]) << i;
        EXPECT_EQ(s.text(2, 2 + i), expected[i][1]) << i;
        EXPECT_EQ(s.text(11, 2 + i), expected[i][2]) << i;
    }
    EXPECT_EQ(s.text(3, 5), "20");
    EXPECT_EQ(s.text(9, 5), "");
    EXPECT_EQ(s.text(13, 5), "600円");
    // Only drawn draws count towards the cost.
    EXPECT_EQ(g.summary().cost, 200);
}

// The summary's figures are whole in their columns, and its verdict is a note for the window
// to wrap below the table.
TEST(TicketGrading, SummaryColumnsHoldTheirTextsAndTheVerdictIsANote)
{
    const DrawHistory h = realHistory();
    const TicketGrading g({ticket({2, 8, 10, 13, 27, 30}, 1, 40, 3)}, h, {});
    const Sheet s = ticketSummarySheet(g);
    for (int col = 1; col <= s.columns(); ++col)
        for (int row = 1; row < s.rows(); ++row)
            EXPECT_LE(displayWidth(s.text(col, row)), s.colWidth(col))
                << s.text(col, row) << " in column " << col;
    EXPECT_NE(s.text(2, 11).find("不明"), std::string_view::npos) << s.text(2, 11);
    EXPECT_EQ(s.text(1, s.rows()), "注");
    EXPECT_EQ(s.text(2, s.rows()), g.summary().sentence);
}

TEST(TicketGrading, TierChancesMatchEnumerationAndSumToOne)
{
    // Every combination of 1..43 against the draw 1..6 with bonus 7.
    std::array<long long, MainNumberCount> counts{};
    const std::uint64_t mains = 0b1111110, bonus = 1u << 7;
    test::forEachSixOf43([&](const int *a) {
        std::uint64_t m = 0;
        for (int i = 0; i < 6; ++i)
            m |= std::uint64_t{1} << a[i];
        ++counts[static_cast<std::size_t>(
            TicketGrading::tierOf(std::popcount(m & mains), (m & bonus) != 0))];
    });
    const long long expected[] = {0, 1, 6, 216, 9990, 155400};
    long long total = 0;
    double chanceSum = 0;
    for (int t = 1; t <= 5; ++t) {
        EXPECT_EQ(counts[static_cast<std::size_t>(t)], expected[t]) << t << "等";
        EXPECT_NEAR(TicketGrading::tierChance(t) * 6096454.0, double(expected[t]), 1e-6);
        chanceSum += TicketGrading::tierChance(t);
        total += counts[static_cast<std::size_t>(t)];
    }
    const long long none = counts[0];
    EXPECT_EQ(total + none, 6096454);
    EXPECT_DOUBLE_EQ(chanceSum + double(none) / 6096454.0, 1.0);
    EXPECT_DOUBLE_EQ(TicketGrading::anyPrizeChance(), 165613.0 / 6096454.0);
}

TEST(TicketGrading, BinomialTailsMatchTheExactSumAndStayPrecise)
{
    // Poisson-binomial by convolution with all chances alike is the binomial law.
    const int n = 40;
    const double p = 165613.0 / 6096454.0;
    std::vector<double> pmf{1.0};
    for (int i = 0; i < n; ++i) {
        std::vector<double> next(pmf.size() + 1, 0.0);
        for (std::size_t k = 0; k < pmf.size(); ++k) {
            next[k] += pmf[k] * (1 - p);
            next[k + 1] += pmf[k] * p;
        }
        pmf.swap(next);
    }
    double upper = 0;
    for (int k = n; k >= 0; --k) {
        upper += pmf[static_cast<std::size_t>(k)];
        EXPECT_NEAR(binomialSf(n, p, k), upper, 1e-12 + 1e-9 * upper) << "k = " << k;
        EXPECT_NEAR(binomialCdf(n, p, k - 1), 1 - upper, 1e-12) << "k = " << k;
    }
    // A far tail of a large count keeps its precision instead of rounding to 0.
    EXPECT_GT(binomialSf(1'000'000, p, 30'000), 0.0);
    EXPECT_LT(binomialSf(1'000'000, p, 30'000), 1e-20);
    EXPECT_NEAR(binomialSf(1'000'000, 0.5, 500'000), 0.5, 1e-3);
}

TEST(TicketGrading, YenTotalsUseStoredPayoutsAndSayWhatIsUnknown)
{
    const DrawHistory h = test::history({draw(1, {1, 2, 3, 4, 5, 6, 7}),
        draw(2, {10, 11, 12, 13, 14, 15, 16}), draw(3, {1, 2, 3, 20, 21, 22, 23})});
    std::map<int, DrawPrizes> prizes;
    prizes[1] = payouts(1, {200000000, 10000000, 500000, 9000, 1000});
    prizes[3] = payouts(3, {std::nullopt, 12000000, 400000, 8000, 1100});

    // Five main numbers on draw 1 (3等), nothing on 2, three on draw 3 (5等): 2 units each.
    const TicketGrading known({ticket({1, 2, 3, 4, 5, 40}, 1, 3, 2)}, h, prizes);
    const auto &s = known.summary();
    EXPECT_EQ(s.units, 6);
    EXPECT_EQ(s.cost, 1200);
    EXPECT_TRUE(s.winningsKnown());
    EXPECT_EQ(s.winnings, 2 * 500000 + 2 * 1100);
    EXPECT_EQ(s.balance(), 1002200 - 1200);
    EXPECT_EQ(s.tierUnits[2], 2);
    EXPECT_EQ(s.tierUnits[4], 2);
    EXPECT_EQ(s.expectedYenUnits, 4); // draw 2 has no payouts
    const double draw1 = 200000000 / 6096454.0 + 10000000 * 6 / 6096454.0 + 500000 * 216 / 6096454.0
        + 9000 * 9990 / 6096454.0 + 1000 * 155400 / 6096454.0;
    const double draw3 = 12000000 * 6 / 6096454.0 + 400000 * 216 / 6096454.0
        + 8000 * 9990 / 6096454.0 + 1100 * 155400 / 6096454.0;
    EXPECT_NEAR(s.expectedYen, 2 * draw1 + 2 * draw3, 1e-6);
    // Draw 3's 1等 had no winner: left out of the expected yen, and the note says so.
    EXPECT_EQ(s.expectedYenGapDraws, 1);
    EXPECT_NE(
        std::string(ticketSummarySheet(known).text(3, 11)).find("当せんのなかった等級がある1回分"),
        std::string::npos);

    // 4等 on draw 2, whose payouts are not stored: the prize is unknown, never 0.
    const TicketGrading unknown({ticket({10, 11, 12, 13, 40, 41}, 2)}, h, prizes);
    EXPECT_FALSE(unknown.summary().winningsKnown());
    EXPECT_EQ(unknown.summary().unknownUnits, 1);
    EXPECT_EQ(unknown.prize(unknown.rows()[0]), TicketGrading::Unknown);
    EXPECT_NE(std::string(ticketSummarySheet(unknown).text(2, 11)).find("不明"), std::string::npos);
}

// The units of one line on one draw win or lose together: the chance is that of the line.
TEST(TicketGrading, UnitsOfOneLineWinOrLoseTogether)
{
    const DrawHistory one = test::history({draw(1, {1, 2, 3, 4, 5, 6, 7})});
    const TicketGrading tenUnits({ticket({1, 2, 3, 40, 41, 42}, 1, 1, 10)}, one, {});
    EXPECT_EQ(tenUnits.summary().winningUnits, 10);
    EXPECT_EQ(tenUnits.summary().winningLines, 1);
    EXPECT_NEAR(tenUnits.summary().pAtLeast, TicketGrading::anyPrizeChance(), 1e-12);
    EXPECT_NEAR(tenUnits.summary().pAtLeast, 0.0272, 1e-4);

    // One line over the whole history: its units change the amounts, never the chance.
    const DrawHistory real = realHistory();
    const TicketGrading single({ticket({3, 11, 19, 24, 33, 41}, 1, 2144, 1)}, real, {});
    const TicketGrading many({ticket({3, 11, 19, 24, 33, 41}, 1, 2144, 100'000)}, real, {});
    EXPECT_EQ(many.summary().units, 100'000 * single.summary().units);
    EXPECT_DOUBLE_EQ(many.summary().pAtLeast, single.summary().pAtLeast);
    EXPECT_DOUBLE_EQ(many.summary().pAtMost, single.summary().pAtMost);
    EXPECT_GT(many.summary().pAtLeast, 0.01);
    EXPECT_DOUBLE_EQ(many.summary().expectedWinningLines, 2144 * TicketGrading::anyPrizeChance());
    EXPECT_NE(many.summary().sentence.find("件以上当たる確率"), std::string::npos);
}

// More results than a table holds: the cut is said in the table, the summary and the JSON.
TEST(TicketGrading, ResultsPastTheTableLimitSayTheyAreCut)
{
    const DrawHistory real = realHistory();
    std::vector<Ticket> book;
    for (int i = 0; i < 62; ++i)
        book.push_back(ticket({1, 2, 3, 4, 5, 6 + i % 30}, 1, 2144));
    const TicketGrading g(std::move(book), real, {});
    ASSERT_GT(g.rows().size(), static_cast<std::size_t>(Sheet::MaxRows));
    const Sheet results = ticketResultsSheet(g);
    EXPECT_TRUE(results.wasCut());
    EXPECT_NE(results.caption().find("先頭131,071件だけを表示"), std::string::npos)
        << results.caption();
    EXPECT_NE(
        std::string(ticketSummarySheet(g).text(2, 15)).find("照合結果の表は"), std::string::npos);
    std::ostringstream json;
    writeSheetJsonObject(json, results);
    EXPECT_NE(json.str().find("\"cut\": true"), std::string::npos);

    const TicketGrading small({ticket({1, 2, 3, 4, 5, 6}, 1, 2144)}, real, {});
    EXPECT_EQ(ticketResultsSheet(small).caption(), "照合結果");
    std::ostringstream whole;
    writeSheetJsonObject(whole, ticketResultsSheet(small));
    EXPECT_EQ(whole.str().find("\"cut\""), std::string::npos);
}

TEST(TicketGrading, DrawsNotYetHeldAreLeftUngraded)
{
    const DrawHistory h = test::history(
        {draw(1, {1, 2, 3, 4, 5, 6, 7}), test::incomplete(2, 3), draw(4, {1, 2, 3, 4, 5, 6, 7})});
    const TicketGrading g({ticket({1, 2, 3, 40, 41, 42}, 1, 10)}, h, {});
    EXPECT_EQ(g.summary().lines, 2);
    EXPECT_EQ(g.summary().ungraded, 8);
    EXPECT_EQ(g.summary().cost, 400);
}

TEST(TicketNumbers, ParsesLinesAndRefusesBadOnes)
{
    struct Row
    {
        const char *name;
        const char *line;
        bool ok;
    };
    const Row rows[] = {
        {"spaces and zeros", "02 08 10 13 27 30", true},
        {"commas", "2,8,10,13,27,30", true},
        {"full width", "０２　０８　１０　１３　２７　３０", true},
        {"tabs and trailing space", "2\t8\t10\t13\t27\t30 ", true},
        {"five numbers", "1 2 3 4 5", false},
        {"seven numbers", "1 2 3 4 5 6 7", false},
        {"a letter", "1 2 3 4 5 x", false},
        {"a sign", "1 2 3 4 5 +6", false},
        {"huge", "1 2 3 4 5 99999999999", false},
    };
    for (const Row &r : rows) {
        std::array<int, MainNumberCount> n{};
        EXPECT_EQ(parseTicketNumbers(r.line, n).ok(), r.ok) << r.name;
        if (r.ok) {
            EXPECT_EQ(n, (std::array<int, MainNumberCount>{2, 8, 10, 13, 27, 30})) << r.name;
        }
    }
    struct Bad
    {
        const char *name;
        Ticket t;
        const char *says;
    };
    const Bad bad[] = {
        {"repeat", ticket({1, 1, 2, 3, 4, 5}), "twice"},
        {"zero", ticket({0, 1, 2, 3, 4, 5}), "outside 1..43"},
        {"44", ticket({44, 1, 2, 3, 4, 5}), "outside 1..43"},
        {"no units", ticket({1, 2, 3, 4, 5, 6}, 1, 1, 0), "units"},
        {"no draws", ticket({1, 2, 3, 4, 5, 6}, 1, 0), "consecutive draws"},
        {"past the last draw", ticket({1, 2, 3, 4, 5, 6}, MaxDrawNumber, 2), "consecutive"},
    };
    for (Bad b : bad) {
        const Status s = validateTicket(b.t);
        EXPECT_FALSE(s) << b.name;
        EXPECT_NE(s.message().find(b.says), std::string::npos) << b.name << ": " << s.message();
    }
}

TEST(TicketBook, RecordedPredictionRefusesEditsAndIsGradedAfterItsDraw)
{
    Database db;
    ASSERT_TRUE(db.openInMemory());
    TicketBook book(db);
    std::vector<Ticket> none;
    ASSERT_TRUE(book.tickets(none));
    EXPECT_TRUE(none.empty());

    std::vector<Ticket> typed{ticket({1, 2, 3, 4, 5, 6}, 5)};
    ASSERT_TRUE(book.add(typed));
    typed[0].units = 3;
    EXPECT_TRUE(book.update(typed[0]));

    PredictionRecord entry;
    entry.latestDrawNo = 1;
    entry.switches = std::string(12, '0');
    entry.historyHash = historyHash(test::history({draw(1, {1, 2, 3, 4, 5, 6, 7})}));
    std::vector<Ticket> made;
    ASSERT_TRUE(book.record(entry, {{2, 8, 10, 13, 27, 30}}, made));
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].firstDraw, 2);

    Ticket edited = made[0];
    edited.memo = "changed";
    const Status refused = book.update(edited);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.message().find("cannot be edited"), std::string::npos);
    // The database itself refuses too, whoever writes to it.
    EXPECT_FALSE(db.exec("update 購入番号 set 数字1 = 9 where 予想記録 is not null"));
    EXPECT_FALSE(db.exec("update 予想記録 set 基準回 = 7"));

    std::vector<Ticket> all;
    ASSERT_TRUE(book.tickets(all));
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].units, 3);
    EXPECT_EQ(all[1].numbers, made[0].numbers);
    EXPECT_EQ(all[1].source, Ticket::Source::Prediction);

    // Before its draw it waits; once draw 2 is in the history it is graded like any ticket.
    const DrawHistory before = test::history({draw(1, {1, 2, 3, 4, 5, 6, 7})});
    EXPECT_EQ(TicketGrading({all[1]}, before, {}).summary().ungraded, 1);
    const DrawHistory after
        = test::history({draw(1, {1, 2, 3, 4, 5, 6, 7}), draw(2, {2, 8, 10, 13, 27, 41, 30})});
    const TicketGrading graded({all[1]}, after, {});
    ASSERT_EQ(graded.rows().size(), 1u);
    EXPECT_EQ(graded.rows()[0].tier, 2);

    EXPECT_TRUE(book.remove(made[0].id));
    EXPECT_FALSE(book.remove(made[0].id));
    std::vector<PredictionRecord> ledger;
    ASSERT_TRUE(book.records(ledger));
    ASSERT_EQ(ledger.size(), 1u);
    EXPECT_EQ(ledger[0].latestDrawNo, 1);
    EXPECT_EQ(ledger[0].historyHash, entry.historyHash);
}

TEST(TicketBook, BadLineAmongSeveralStoresNone)
{
    Database db;
    ASSERT_TRUE(db.openInMemory());
    TicketBook book(db);
    std::vector<Ticket> lines{ticket({1, 2, 3, 4, 5, 6}), ticket({1, 2, 3, 4, 5, 50})};
    const Status s = book.add(lines);
    EXPECT_FALSE(s);
    EXPECT_NE(s.message().find("line 2"), std::string::npos) << s.message();
    std::vector<Ticket> all;
    ASSERT_TRUE(book.tickets(all));
    EXPECT_TRUE(all.empty());
}
