#include "store/atomicfile.h"
#include "store/database.h"
#include "store/historyimport.h"
#include "store/packedprizes.h"
#include "store/prizestore.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace loto6;
using test::TempDir;

namespace {

const std::string Layouts = std::string(TEST_DATA_DIR) + "/layouts/";

HistoryFile fileOf(std::vector<DrawRecord> draws, std::vector<DrawPrizes> prizes = {})
{
    HistoryFile f;
    f.draws = std::move(draws);
    for (const DrawPrizes &p : prizes)
        f.prizes[p.drawNo] = p;
    return f;
}

DrawRecord dated(DrawRecord r, std::string date)
{
    r.date = std::move(date);
    return r;
}

DrawPrizes payout(int drawNo, long long firstWinners)
{
    DrawPrizes p;
    p.drawNo = drawNo;
    p.tiers[0].winners = firstWinners;
    if (firstWinners)
        p.tiers[0].prize = 200000000;
    p.carryOver = 0;
    return p;
}

IncomingHistory incoming(const HistoryFile &f, const std::string &name = "new.csv")
{
    IncomingHistory in;
    EXPECT_TRUE(in.add(f, DrawSource::from(DrawSource::Kind::File, name)));
    return in;
}

// A database holding draws 1 and 2, the first dated and with a payout, the second bare.
Database heldDatabase()
{
    Database db;
    EXPECT_TRUE(db.openInMemory());
    MergeReport r;
    EXPECT_TRUE(mergeHistory(db,
        incoming(fileOf({dated(test::draw(1, {1, 2, 3, 4, 5, 6, 7}), "2000-10-05"),
                            test::draw(2, {8, 9, 10, 11, 12, 13, 14})},
                     {payout(1, 1)}),
            "old.csv"),
        MergeMode::Add, r));
    return db;
}

} // namespace

TEST(HistoryMerge, AddsNewDrawsFillsMissingDataAndRefusesConflicts)
{
    struct Case
    {
        const char *name;
        HistoryFile file;
        bool ok;
        int added, filled, unchanged;
        const char *conflict; // part of the listed reason
    };
    const Case cases[] = {
        {"new draw", fileOf({test::draw(3, {1, 2, 3, 4, 5, 6, 8})}), true, 1, 0, 0, ""},
        {"same draw again", fileOf({test::draw(1, {1, 2, 3, 4, 5, 6, 7})}), true, 0, 0, 1, ""},
        {"same numbers in drawn order fill date and payout",
            fileOf(
                {dated(test::draw(2, {13, 8, 9, 10, 11, 12, 14}), "2000-10-12")}, {payout(2, 0)}),
            true, 0, 1, 0, ""},
        {"numbers differ", fileOf({test::draw(2, {8, 9, 10, 11, 12, 15, 14})}), false, 0, 0, 0,
            "numbers 8 9 10 11 12 13 + 14 held, 8 9 10 11 12 15 + 14 given (file new.csv)"},
        {"bonus differs", fileOf({test::draw(1, {1, 2, 3, 4, 5, 6, 9})}), false, 0, 0, 0,
            "numbers"},
        {"date differs", fileOf({dated(test::draw(1, {1, 2, 3, 4, 5, 6, 7}), "2000-10-06")}), false,
            0, 0, 0, "date 2000-10-05 held, 2000-10-06 given"},
        {"payout differs", fileOf({test::draw(1, {1, 2, 3, 4, 5, 6, 7})}, {payout(1, 2)}), false, 0,
            0, 0, "payout"},
        {"one conflict refuses the new draw beside it",
            fileOf(
                {test::draw(2, {8, 9, 10, 11, 12, 15, 14}), test::draw(3, {1, 2, 3, 4, 5, 6, 8})}),
            false, 0, 0, 0, "numbers"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Database db = heldDatabase();
        MergeReport r;
        const Status s = mergeHistory(db, incoming(c.file), MergeMode::Add, r);
        ASSERT_EQ(s.ok(), c.ok) << s.message();
        EXPECT_EQ(r.added, c.added);
        EXPECT_EQ(r.filled, c.filled);
        EXPECT_EQ(r.unchanged, c.unchanged);
        if (*c.conflict) {
            ASSERT_FALSE(r.conflicts.empty());
            EXPECT_NE(r.conflictList().find(c.conflict), std::string::npos) << r.conflictList();
            std::vector<DrawRecord> draws;
            ASSERT_TRUE(db.readDraws(draws));
            EXPECT_EQ(draws.size(), 2u) << "a refused merge changes nothing";
            EXPECT_EQ(draws[1].number(5), 13);
        }
    }
}

// A payout that differs from the held one only in its carry-over or sales is never passed
// over: an amount the held payout lacks is filled, a corrected one is a conflict the user is
// told about, and written when the loss is allowed.
TEST(HistoryMerge, ACarryOverOrSalesGivenOrCorrectedIsNeverIgnored)
{
    const auto amounts = [](std::optional<long long> carryOver, std::optional<long long> sales) {
        DrawPrizes p = payout(1, 1);
        p.carryOver = carryOver;
        p.sales = sales;
        return p;
    };
    const std::optional<long long> none;
    const struct
    {
        const char *name;
        DrawPrizes held, given;
        MergeMode mode;
        bool conflict; // listed; refuses the merge unless the loss is allowed
        int filled, replaced, unchanged;
        DrawPrizes stored;
    } cases[] = {
        {"sales-given", amounts(0, none), amounts(0, 1300000000), MergeMode::Add, false, 1, 0, 0,
            amounts(0, 1300000000)},
        {"carry-over-given", amounts(none, 900), amounts(5, 900), MergeMode::Add, false, 1, 0, 0,
            amounts(5, 900)},
        {"sales-corrected", amounts(0, 1300000000), amounts(0, 1400000000), MergeMode::Add, true, 0,
            0, 0, amounts(0, 1300000000)},
        {"sales-corrected-loss-allowed", amounts(0, 1300000000), amounts(0, 1400000000),
            MergeMode::AllowLoss, true, 0, 1, 0, amounts(0, 1400000000)},
        {"carry-over-corrected", amounts(0, 900), amounts(388848, 900), MergeMode::Add, true, 0, 0,
            0, amounts(0, 900)},
        {"carry-over-corrected-loss-allowed", amounts(0, 900), amounts(388848, 900),
            MergeMode::AllowLoss, true, 0, 1, 0, amounts(388848, 900)},
        {"the-same-again", amounts(0, 900), amounts(0, 900), MergeMode::Add, false, 0, 0, 1,
            amounts(0, 900)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Database db = heldDatabase();
        ASSERT_TRUE(writePrizes(db, c.held));
        MergeReport r;
        const Status s = mergeHistory(
            db, incoming(fileOf({test::draw(1, {1, 2, 3, 4, 5, 6, 7})}, {c.given})), c.mode, r);
        ASSERT_EQ(s.ok(), !c.conflict || c.mode == MergeMode::AllowLoss) << s.message();
        EXPECT_EQ(r.filled, c.filled);
        EXPECT_EQ(r.replaced, c.replaced);
        EXPECT_EQ(r.unchanged, c.unchanged);
        ASSERT_EQ(r.conflicts.size(), c.conflict ? 1u : 0u) << r.conflictList();
        if (c.conflict) {
            EXPECT_NE(r.conflictList().find("the payout differs"), std::string::npos)
                << r.conflictList();
        }
        std::map<int, DrawPrizes> prizes;
        ASSERT_TRUE(readPrizes(db, prizes));
        EXPECT_EQ(prizes.at(1).carryOver, c.stored.carryOver);
        EXPECT_EQ(prizes.at(1).sales, c.stored.sales);
    }
}

TEST(HistoryMerge, AllowLossAndReplaceTakeTheGivenDraws)
{
    const HistoryFile file = fileOf({test::draw(2, {8, 9, 10, 11, 12, 15, 14})}, {payout(2, 3)});
    {
        Database db = heldDatabase();
        MergeReport r;
        ASSERT_TRUE(mergeHistory(db, incoming(file), MergeMode::AllowLoss, r));
        EXPECT_EQ(r.replaced, 1);
        EXPECT_EQ(r.conflicts.size(), 1u);
        std::vector<DrawRecord> draws;
        ASSERT_TRUE(db.readDraws(draws));
        ASSERT_EQ(draws.size(), 2u);
        EXPECT_EQ(draws[1].number(5), 15);
        std::map<int, DrawPrizes> prizes;
        ASSERT_TRUE(readPrizes(db, prizes));
        EXPECT_EQ(prizes.at(2).tier(1).winners, 3);
        EXPECT_EQ(prizes.at(1).tier(1).winners, 1);
    }
    {
        Database db = heldDatabase();
        MergeReport r;
        ASSERT_TRUE(mergeHistory(db, incoming(file), MergeMode::Replace, r));
        EXPECT_EQ(r.removed, 1);
        std::vector<DrawRecord> draws;
        ASSERT_TRUE(db.readDraws(draws));
        ASSERT_EQ(draws.size(), 1u);
        std::map<int, DrawPrizes> prizes;
        ASSERT_TRUE(readPrizes(db, prizes));
        EXPECT_FALSE(prizes.contains(1)) << "the payout of a removed draw goes with it";
    }
}

TEST(HistoryMerge, FilesOfOneImportMustAgree)
{
    IncomingHistory in;
    const DrawSource a = DrawSource::from(DrawSource::Kind::File, "a.csv");
    ASSERT_TRUE(in.add(fileOf({test::draw(5, {1, 2, 3, 4, 5, 6, 7})}), a));
    ASSERT_TRUE(
        in.add(fileOf({dated(test::draw(5, {1, 2, 3, 4, 5, 6, 7}), "2000-11-02")}, {payout(5, 0)}),
            DrawSource::from(DrawSource::Kind::File, "b.csv")));
    ASSERT_TRUE(in.find(5));
    EXPECT_EQ(in.find(5)->draw.date, "2000-11-02");
    EXPECT_TRUE(in.find(5)->prizes);
    const Status s = in.add(fileOf({test::draw(5, {1, 2, 3, 4, 5, 8, 7})}),
        DrawSource::from(DrawSource::Kind::File, "c.csv"));
    ASSERT_FALSE(s);
    EXPECT_NE(s.message().find("draw 5 disagrees with file a.csv"), std::string::npos)
        << s.message();
}

TEST(HistoryMerge, EachPathInRecordsWhereTheDrawCameFrom)
{
    TempDir dir;
    Database db;
    ASSERT_TRUE(db.openOrCreate(dir / "h.db", SHARED_HISTORY));
    ASSERT_TRUE(db.saveDraw(test::draw(2145, {1, 2, 3, 4, 5, 6, 7})));
    ASSERT_TRUE(db.saveDraw(
        test::draw(2146, {1, 2, 3, 4, 5, 6, 8}), DrawSource::from(DrawSource::Kind::AddCommand)));
    MergeReport r;
    ASSERT_TRUE(importHistoryFiles(db, {Layouts + "A1022016.CSV"}, MergeMode::Add, r));
    EXPECT_EQ(r.summary(), "1 already held") << "the bundled payouts already hold draw 2016";

    std::vector<DrawSource> all;
    ASSERT_TRUE(readSources(db, std::nullopt, all));
    EXPECT_EQ(all.size(), 2144u + 2144u + 2u);
    std::vector<DrawSource> one;
    ASSERT_TRUE(readSources(db, 2016, one));
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(one[0].origin(), "bundled history (loto6-history.csv)");
    EXPECT_EQ(one[1].origin(), "bundled history (loto6-prizes.csv)");
    ASSERT_TRUE(readSources(db, 2145, one));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].origin(), "entry window");
    ASSERT_TRUE(readSources(db, 2146, one));
    EXPECT_EQ(one[0].origin(), "add command");
    EXPECT_EQ(one[0].when.size(), 20u);
}

TEST(HistoryMerge, AFileFillsThePayoutOfAHeldDraw)
{
    Database db;
    ASSERT_TRUE(db.openInMemory());
    MergeReport r;
    ASSERT_TRUE(mergeHistory(
        db, incoming(fileOf({test::draw(2016, {10, 13, 27, 31, 40, 42, 1})})), MergeMode::Add, r));
    ASSERT_TRUE(importHistoryFiles(db, {Layouts + "A1022016.CSV"}, MergeMode::Add, r));
    EXPECT_EQ(r.filled, 1);
    std::map<int, DrawPrizes> prizes;
    ASSERT_TRUE(readPrizes(db, prizes));
    EXPECT_EQ(prizes.at(2016).sales, 1313152600);
    std::vector<DrawSource> sources;
    ASSERT_TRUE(readSources(db, 2016, sources));
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(sources[1].changeText(), "date or payout filled");
    EXPECT_NE(sources[1].name.find("A1022016.CSV"), std::string::npos);
}

TEST(HistoryMerge, BundledSeedHoldsThePayouts)
{
    TempDir dir;
    Database db;
    ASSERT_TRUE(db.openOrCreate(dir / "h.db", SHARED_HISTORY));
    std::map<int, DrawPrizes> prizes;
    ASSERT_TRUE(readPrizes(db, prizes));
    ASSERT_EQ(prizes.size(), 2144u) << "every draw of the bundled history has its payout";
    EXPECT_EQ(prizes.begin()->first, 1);
    EXPECT_EQ(prizes.rbegin()->first, 2144);
    EXPECT_EQ(prizes.at(2141).tier(1).prize, 450730500);
    EXPECT_EQ(prizes.at(1000).sales, 1717617200);
    EXPECT_FALSE(prizes.at(1000).tier(1).prize);
    // First and last rows as the file gives them; sales only where two origins agree.
    EXPECT_EQ(prizes.at(1).tier(5).winners, 174452);
    EXPECT_EQ(prizes.at(1).tier(1).prize, 45513600);
    EXPECT_FALSE(prizes.at(1).sales);
    EXPECT_EQ(prizes.at(2144).tier(2).prize, 15029600);
    EXPECT_EQ(prizes.at(2144).carryOver, 388848);
    int withSales = 0;
    for (const auto &[no, p] : prizes)
        withSales += p.sales ? 1 : 0;
    EXPECT_GT(withSales, 1000);
    EXPECT_LT(withSales, 1200);

    std::vector<DrawSource> sources;
    ASSERT_TRUE(readSources(db, std::nullopt, sources));
    std::set<int> fromPrizesFile;
    for (const DrawSource &s : sources)
        if (s.origin() == "bundled history (loto6-prizes.csv)")
            fromPrizesFile.insert(s.drawNo);
    EXPECT_EQ(fromPrizesFile.size(), 2144u) << "each payout row records where it came from";
}

TEST(HistoryMerge, AnOlderDatabaseGainsTheTablesOnItsFirstWrite)
{
    TempDir dir;
    const auto file = dir / "old.db";
    {
        Database db;
        ASSERT_TRUE(db.openInMemory());
        ASSERT_TRUE(
            db.exec("drop table 払戻金; drop table 取得元; vacuum into '" + file.string() + "'"));
    }
    Database db;
    ASSERT_TRUE(db.open(file));
    std::map<int, DrawPrizes> prizes;
    ASSERT_TRUE(readPrizes(db, prizes)) << "no payout table reads as no payouts";
    std::vector<DrawSource> sources;
    ASSERT_TRUE(readSources(db, std::nullopt, sources));
    MergeReport r;
    ASSERT_TRUE(importHistoryFiles(db, {Layouts + "A1022016.CSV"}, MergeMode::Add, r));
    ASSERT_TRUE(readPrizes(db, prizes));
    EXPECT_EQ(prizes.size(), 1u);
}

TEST(HistoryMerge, ReadingStopsBetweenFilesWhenAsked)
{
    TempDir dir;
    std::vector<std::filesystem::path> files;
    for (const char *name : {"a.csv", "b.csv", "c.csv"}) {
        files.push_back(dir / name);
        ASSERT_TRUE(writeFileAtomically(files.back(),
            "回数,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,ボーナス数字\n"
                + std::string(1, name[0] - 'a' + '1') + ",1,2,3,4,5,6,7\n"));
    }
    const struct
    {
        const char *name;
        int filesBeforeStop; // -1: never stops
        std::size_t draws;
    } cases[] = {
        {"at-once", 0, 0},
        {"after-two-files", 2, 0},
        {"never", -1, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        IncomingHistory in;
        std::filesystem::path refused = "stale";
        int asked = 0;
        const Status s = readHistoryFiles(files, in, &refused,
            [&] { return c.filesBeforeStop < 0 || asked++ < c.filesBeforeStop; });
        EXPECT_EQ(s.ok(), c.filesBeforeStop < 0) << s.message();
        EXPECT_EQ(in.size(), c.draws) << "all or nothing";
        EXPECT_TRUE(refused.empty()) << "a cancel refuses no file";
    }
}

TEST(PackedDraw, KeepsWhatReadersGiveAndRefusesWhatItWouldLose)
{
    auto with = [](DrawRecord r, auto change) {
        change(r);
        return r;
    };
    const DrawRecord full = dated(test::draw(999'999'999, {1, 2, 3, 4, 5, 6, 43}), "9999-12-31");
    const struct
    {
        const char *name;
        DrawRecord draw;
        bool packs;
    } cases[] = {
        {"complete and dated", full, true},
        {"first date", dated(test::draw(1, {1, 2, 3, 4, 5, 6, 7}), "1000-01-01"), true},
        {"undated", test::draw(2, {8, 9, 10, 11, 12, 13, 14}), true},
        {"empty fields", with(full, [](DrawRecord &r) { r.fields[2].reset(); }), true},
        {"bonus only", with(DrawRecord{}, [](DrawRecord &r) { r.fields[6] = 5; }), true},
        {"number 0", with(full, [](DrawRecord &r) { r.fields[0] = 0; }), false},
        {"number 256", with(full, [](DrawRecord &r) { r.fields[3] = 256; }), false},
        {"negative number", with(full, [](DrawRecord &r) { r.fields[6] = -5; }), false},
        {"slash date", with(full, [](DrawRecord &r) { r.date = "2020/01/05"; }), false},
        {"short date", with(full, [](DrawRecord &r) { r.date = "2020-1-5"; }), false},
        {"zero date", with(full, [](DrawRecord &r) { r.date = "0000-00-00"; }), false},
        {"malformed", with(full, [](DrawRecord &r) { r.malformed = true; }), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<PackedDraw> packed = PackedDraw::pack(c.draw);
        ASSERT_EQ(packed.has_value(), c.packs);
        if (!packed)
            continue;
        const DrawRecord back = packed->unpack();
        EXPECT_EQ(back.drawNo, c.draw.drawNo);
        EXPECT_EQ(back.date, c.draw.date);
        EXPECT_EQ(back.fields, c.draw.fields);
        EXPECT_EQ(packed->isComplete(), c.draw.isComplete());
    }
    EXPECT_LE(sizeof(PackedDraw), 16u) << "a million draws in 16 MB";
}

TEST(PackedPrizes, KeepsEveryAmountAndRefusesWinnerCountsItWouldLose)
{
    DrawPrizes full;
    full.drawNo = 999'999'999;
    for (int t = 0; t < DrawPrizes::TierCount; ++t)
        full.tiers[static_cast<std::size_t>(t)] = {4'294'967'295LL - t, 600'000'000LL * (t + 1)};
    full.carryOver = 9'000'000'000'000LL;
    full.sales = 0;
    DrawPrizes sparse;
    sparse.drawNo = 7;
    sparse.tiers[2].winners = 3; // no prize known, nor carry-over or sales
    DrawPrizes negative = sparse;
    negative.tiers[4].winners = -1;
    DrawPrizes huge = sparse;
    huge.tiers[0].winners = 4'294'967'296LL;
    for (const DrawPrizes &p : {full, sparse}) {
        const std::optional<PackedPrizes> packed = PackedPrizes::pack(p);
        ASSERT_TRUE(packed);
        const DrawPrizes back = packed->unpack();
        EXPECT_EQ(back.drawNo, p.drawNo);
        for (int t = 1; t <= DrawPrizes::TierCount; ++t) {
            EXPECT_EQ(back.tier(t).winners, p.tier(t).winners) << t;
            EXPECT_EQ(back.tier(t).prize, p.tier(t).prize) << t;
        }
        EXPECT_EQ(back.carryOver, p.carryOver);
        EXPECT_EQ(back.sales, p.sales);
    }
    EXPECT_FALSE(PackedPrizes::pack(negative));
    EXPECT_FALSE(PackedPrizes::pack(huge));
    EXPECT_LE(sizeof(PackedPrizes), 88u);
}

TEST(HistoryMerge, FilesInAnyOrderMergeByDrawNumberWithEachFileNoted)
{
    IncomingHistory in;
    ASSERT_TRUE(
        in.add(fileOf({test::draw(9, {1, 2, 3, 4, 5, 6, 7}), test::draw(3, {1, 2, 3, 4, 5, 6, 8}),
                   test::draw(3, {1, 2, 3, 4, 5, 6, 8})}),
            DrawSource::from(DrawSource::Kind::File, "a.csv")));
    ASSERT_TRUE(in.add(fileOf({dated(test::draw(9, {6, 5, 4, 3, 2, 1, 7}), "2000-12-07"),
                                  test::draw(5, {9, 10, 11, 12, 13, 14, 15})},
                           {payout(9, 0)}),
        DrawSource::from(DrawSource::Kind::File, "b.csv")));
    ASSERT_EQ(in.size(), 3u);
    std::vector<int> order;
    ASSERT_TRUE(in.forEach([&](const IncomingDraw &d) {
        order.push_back(d.draw.drawNo);
        return Status::success();
    }));
    EXPECT_EQ(order, (std::vector<int>{3, 5, 9}));
    const std::optional<IncomingDraw> nine = in.find(9);
    ASSERT_TRUE(nine);
    EXPECT_EQ(nine->draw.date, "2000-12-07");
    EXPECT_EQ(nine->draw.number(0), 1) << "the first file's order is kept";
    EXPECT_TRUE(nine->prizes);
    ASSERT_EQ(nine->sources.size(), 2u);
    EXPECT_EQ(nine->sources[0]->name, "a.csv");
    EXPECT_EQ(nine->sources[1]->name, "b.csv");
    EXPECT_EQ(in.find(3)->sources.size(), 1u) << "a draw named twice in one file is noted once";
    EXPECT_FALSE(in.find(4));
    EXPECT_FALSE(in.contains(4));
}
