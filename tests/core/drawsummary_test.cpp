// The draw-day summary: a small book graded on a new draw against figures worked by hand
// (tiers, yen, the running balance), the recorded predictions for the draw, the next lines,
// and the command line's output and refusals.

#include "testsupport.h"
#include "ticketsupport.h"

#include "summary/drawsummary.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace loto6;
using loto6::test::draw;

namespace {

DrawPrizes payout(int drawNo, std::array<long long, 5> winners, std::array<long long, 5> yen)
{
    DrawPrizes p;
    p.drawNo = drawNo;
    for (std::size_t t = 0; t < 5; ++t) {
        p.tiers[t].winners = winners[t];
        if (winners[t] > 0)
            p.tiers[t].prize = yen[t];
    }
    return p;
}

Ticket ticket(long long id, std::array<int, MainNumberCount> numbers, int from, int draws,
    int units, long long recordId = 0)
{
    Ticket t = test::ticket(numbers, from, draws, units);
    t.id = id;
    t.recordId = recordId;
    return t;
}

// Draw 3 is the new one: 05 10 15 20 25 30, bonus 35. Draw 1 has no stored payout.
struct Book
{
    DrawHistory history = test::history({draw(1, {1, 2, 3, 4, 5, 6, 7}),
        draw(2, {10, 11, 12, 13, 14, 15, 16}), draw(3, {5, 10, 15, 20, 25, 30, 35})});
    std::map<int, DrawPrizes> prizes
        = {{2, payout(2, {0, 2, 30, 900, 9000}, {0, 5'000'000, 400'000, 9'000, 1'000})},
            {3, payout(3, {0, 3, 40, 1000, 9000}, {0, 10'000'000, 500'000, 8'000, 1'000})}};
    std::vector<Ticket> tickets
        = {ticket(1, {5, 10, 15, 20, 25, 35}, 3, 1, 2),      // 5 and the bonus on 3: 2等 ×2
            ticket(2, {5, 10, 15, 20, 40, 41}, 2, 2, 1),     // 2 on draw 2; 4 on 3: 4等
            ticket(3, {1, 2, 3, 5, 10, 15}, 1, 3, 3),        // 4等 on 1 (no payout), 5等 ×3 on 3
            ticket(4, {11, 12, 13, 14, 15, 16}, 2, 1, 1),    // 2等 on draw 2 only
            ticket(5, {1, 2, 3, 4, 5, 6}, 4, 1, 1),          // not drawn yet
            ticket(6, {20, 25, 30, 40, 41, 42}, 3, 1, 1, 7), // recorded for draw 3: 5等
            ticket(7, {1, 2, 3, 4, 5, 6}, 3, 1, 1, 8)};      // recorded from another history
    std::vector<PredictionRecord> records;

    Book()
    {
        PredictionRecord same;
        same.id = 7;
        same.latestDrawNo = 2;
        same.historyHash = historyHash(history.cutAfter(2));
        PredictionRecord other = same;
        other.id = 8;
        other.historyHash = "0000000000000000";
        PredictionRecord earlier = same;
        earlier.id = 9;
        earlier.latestDrawNo = 1;
        records = {same, other, earlier};
    }

    DrawSummary summary(int drawNo) const
    {
        DrawSummary s;
        const Status made = summarizeDraw({history, prizes, tickets, records, {}}, drawNo, s);
        EXPECT_TRUE(made) << made.message();
        return s;
    }
};

const Sheet &sheetNamed(const std::vector<Sheet> &sheets, std::string_view name)
{
    const auto it = std::find_if(
        sheets.begin(), sheets.end(), [name](const Sheet &s) { return s.name() == name; });
    EXPECT_NE(it, sheets.end()) << name;
    return *it;
}

} // namespace

TEST(DrawSummary, GradesTheBookOnTheNewDrawWithTheRunningBalance)
{
    const Book book;
    const DrawSummary s = book.summary(3);
    // The tickets that covered draw 3, each on draw 3 alone.
    std::vector<std::pair<long long, int>> tiers;
    for (const TicketGrading::Row &r : s.onDraw.rows())
        tiers.emplace_back(s.onDraw.tickets()[static_cast<std::size_t>(r.ticket)].id, r.tier);
    EXPECT_EQ(
        tiers, (std::vector<std::pair<long long, int>>{{1, 2}, {2, 4}, {3, 5}, {6, 5}, {7, 0}}));
    const TicketGrading::Summary &on = s.onDraw.summary();
    EXPECT_EQ(on.units, 2 + 1 + 3 + 1 + 1);
    EXPECT_EQ(on.cost, 1'600);
    EXPECT_EQ(on.winnings, 20'000'000 + 8'000 + 3'000 + 1'000);
    EXPECT_TRUE(on.winningsKnown());
    EXPECT_EQ(on.balance(), 20'012'000 - 1'600);
    // Up to and including draw 3: ticket 5 is still to come; draw 1's 4等 has no payout.
    const TicketGrading::Summary &upTo = s.upToDraw.summary();
    EXPECT_EQ(upTo.units, 2 + 2 + 9 + 1 + 1 + 1);
    EXPECT_EQ(upTo.cost, 3'200);
    EXPECT_EQ(upTo.winnings, 20'012'000 + 5'000'000);
    EXPECT_EQ(upTo.unknownUnits, 3);
    EXPECT_EQ(upTo.ungraded, 0);

    const std::vector<Sheet> sheets = summarySheets(s);
    const Sheet &balance = sheetNamed(sheets, "summary-balance");
    EXPECT_EQ(balance.text(2, 1), "第3回");
    EXPECT_EQ(balance.text(2, 4), "1,600円");
    EXPECT_EQ(balance.text(2, 5), "20,012,000円");
    EXPECT_EQ(balance.text(2, 6), "20,010,400円");
    EXPECT_EQ(balance.text(3, 4), "3,200円");
    EXPECT_EQ(balance.text(3, 6), "不明（判明分で 25,008,800円、払戻金不明の当せん 3口）");
    const Sheet &tickets = sheetNamed(sheets, "summary-tickets");
    EXPECT_EQ(tickets.rows(), 6);
    EXPECT_EQ(tickets.text(11, 2), "2等");
    EXPECT_EQ(tickets.text(12, 2), "20,000,000円");
    EXPECT_EQ(tickets.text(12, 4), "3,000円");
}

TEST(DrawSummary, AnOlderDrawCountsOnlyWhatHadBeenDrawnByThen)
{
    const DrawSummary s = Book().summary(2);
    EXPECT_EQ(s.onDraw.tickets().size(), 3u); // tickets 2, 3 and 4
    EXPECT_EQ(s.onDraw.summary().winnings, 5'000'000);
    EXPECT_EQ(s.upToDraw.summary().units, 1 + 6 + 1);
    EXPECT_EQ(s.upToDraw.summary().cost, 1'600);
    EXPECT_EQ(s.next.latestDrawNo, 2);
    EXPECT_TRUE(s.records.size() == 1 && s.records[0].record.id == 9);
}

TEST(DrawSummary, RecordedPredictionsSayHowTheyDidAndFromWhichHistory)
{
    const DrawSummary s = Book().summary(3);
    ASSERT_EQ(s.records.size(), 2u);
    EXPECT_TRUE(s.records[0].sameHistory);
    EXPECT_FALSE(s.records[1].sameHistory);
    ASSERT_EQ(s.records[0].lines.size(), 1u);
    EXPECT_EQ(s.records[0].lines[0].tier, 5);
    const std::vector<Sheet> sheets = summarySheets(s);
    const Sheet &sheet = sheetNamed(sheets, "summary-predictions");
    EXPECT_EQ(sheet.rows(), 3);
    EXPECT_EQ(sheet.text(11, 2), "5等");
    EXPECT_EQ(sheet.text(12, 2), "1,000円");
    EXPECT_EQ(sheet.text(13, 3), "記録の後で履歴が変わりました");
}

TEST(DrawSummary, RefusesADrawNotHeldOrNotComplete)
{
    Book book;
    book.history = test::history({draw(1, {1, 2, 3, 4, 5, 6, 7}), test::incomplete(2, 3)});
    DrawSummary s;
    const Status missing = summarizeDraw({book.history, book.prizes, {}, {}, {}}, 5, s);
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.message().find("draw 5 is not in the history"), std::string::npos);
    const Status partial = summarizeDraw({book.history, book.prizes, {}, {}, {}}, 2, s);
    EXPECT_NE(partial.message().find("not complete"), std::string::npos) << partial.message();
    EXPECT_EQ(newestCompleteDraw(book.history), 1);
    // Draw 1 has nothing before it; an empty book gives empty tables, not a failure.
    ASSERT_TRUE(summarizeDraw({book.history, book.prizes, {}, {}, {}}, 1, s));
    EXPECT_EQ(s.upToDraw.summary().units, 0);
}

TEST(DrawSummary, PredictionLinesAreLabelledSortedAndWhole)
{
    Prediction p;
    p.consecutive = {30, 5, 12, 1, 40, 22, 9, 43, 2, 17, 33, 8};
    p.oneShot.assign(p.consecutive.begin(), p.consecutive.begin() + 6);
    p.elimination = {7, 3, 11, 19, 23, 29, 31, 37, 41, 4, 6, 10, 13, 14}; // two lines and a rest
    const std::vector<PredictionLine> lines = predictionLineList(p);
    std::vector<std::string> labels;
    for (const PredictionLine &l : lines)
        labels.push_back(l.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"1発", "消去法1", "消去法2", "連発"}));
    EXPECT_EQ(lines[0].numbers, (std::array<int, MainNumberCount>{1, 5, 12, 22, 30, 40}));
    EXPECT_EQ(lines[1].numbers, (std::array<int, MainNumberCount>{3, 7, 11, 19, 23, 29}));
    EXPECT_EQ(lines[3].numbers, (std::array<int, MainNumberCount>{2, 8, 9, 17, 33, 43}));
    // A short history predicts fewer numbers: no line is made of them.
    p.consecutive.resize(5);
    p.oneShot = p.consecutive;
    p.elimination.clear();
    EXPECT_TRUE(predictionLineList(p).empty());
}

TEST(SummaryCommand, DefaultsToTheNewestDrawAndRefusesInTheUsualWords)
{
    test::TempDir dir;
    const std::string db = (dir / "s.db").string();
    test::makeDatabase(db, test::makeDraws(60, 7));
    const std::string none = (dir / "none.ini").string();
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--db", db});
        return test::runCli(args);
    };
    ASSERT_EQ(
        run({"tickets", "add", "1", "2", "3", "4", "5", "6", "--from", "59", "--draws", "3"}).code,
        0);
    const test::CliRun newest = run({"summary", "--settings", none, "--format", "json"});
    ASSERT_EQ(newest.code, 0) << newest.err;
    EXPECT_EQ(newest.out, run({"summary", "60", "--settings", none, "--format", "json"}).out);
    EXPECT_NE(newest.out.find("\"draw\": 60, \"nextDraw\": 61"), std::string::npos);
    EXPECT_NE(newest.out.find("\"upToDraw\": {\"units\": 2, \"cost\": 400"), std::string::npos)
        << newest.out;
    EXPECT_NE(newest.out.find("第61回の予想"), std::string::npos);
    // As it stood after draw 59: the same as naming draw 59, the prediction included.
    EXPECT_EQ(run({"--as-of", "59", "summary", "--settings", none}).out,
        run({"summary", "59", "--settings", none}).out);
    EXPECT_EQ(run({"summary", "--format", "html", "--settings", none}).code, 0);

    const test::CliRun unknown = run({"summary", "61"});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_EQ(unknown.err,
        "loto6zumvel-cli: summary: draw 61 is not in the history; the newest complete draw is 60 "
        "(give no draw number for it)\n");
    const test::CliRun control = run({"summary", "6\x01"});
    EXPECT_EQ(control.code, 2);
    EXPECT_NE(control.err.find("\"6\\x01\""), std::string::npos) << control.err;
    const test::CliRun option = run({"summary", "--colour\x1b"});
    EXPECT_EQ(option.code, 2);
    EXPECT_EQ(option.err, "loto6zumvel-cli: summary: unexpected argument \"--colour\\x1b\"\n");
    EXPECT_EQ(run({"summary", "60", "59"}).code, 2);
    EXPECT_EQ(run({"summary", "--format", "csv"}).code, 2);
}

TEST(DrawSummary, PopularityIsPendingOrAbsentInPlaceNeverAFailure)
{
    const Book book;
    DrawSummary s;
    DrawSummaryInput input{book.history, book.prizes, book.tickets, book.records, {}};
    input.estimatePending = true;
    ASSERT_TRUE(summarizeDraw(input, 3, s));
    EXPECT_EQ(s.popularity.state, SummaryPopularity::State::Pending);
    std::vector<Sheet> sheets = summarySheets(s);
    EXPECT_EQ(sheetNamed(sheets, "summary-popularity").text(2, 2), "計算中…");
    EXPECT_EQ(sheetNamed(sheets, "summary-next-popularity").text(1, 2), "計算中…");
    // Without an estimate to come, the actual winners are still shown beside no prediction.
    input.estimatePending = false;
    ASSERT_TRUE(summarizeDraw(input, 3, s));
    sheets = summarySheets(s);
    const Sheet &winners = sheetNamed(sheets, "summary-popularity");
    EXPECT_NE(winners.caption().find("払戻金がありません"), std::string::npos);
    EXPECT_EQ(winners.text(3, 3), "3口");
    EXPECT_EQ(winners.text(2, 3), "-");
}
