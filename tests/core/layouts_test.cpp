#include "store/csvhistory.h"
#include "store/historyfile.h"
#include "store/japanesedate.h"
#include "store/textcodec.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

using namespace loto6;

namespace {

const std::string Layouts = std::string(TEST_DATA_DIR) + "/layouts/";

std::map<int, DrawRecord> bundledDraws()
{
    std::vector<DrawRecord> draws;
    EXPECT_TRUE(test::readDraws(SHARED_HISTORY, draws));
    std::map<int, DrawRecord> byNo;
    for (const DrawRecord &r : draws)
        byNo[r.drawNo] = r;
    return byNo;
}

std::vector<long long> sortedNumbers(const DrawRecord &r)
{
    std::vector<long long> v;
    for (int f = 0; f < 6; ++f)
        v.push_back(r.number(f));
    std::sort(v.begin(), v.end());
    v.push_back(r.bonus());
    return v;
}

std::string sjis(const std::string &utf8) { return *utf8ToCp932(utf8); }

// The official result file of draw 2016 as UTF-8 lines, to make bad variants from.
std::vector<std::string> officialLines()
{
    const std::string text = *decodeUtf8OrCp932(test::readAll(Layouts + "A1022016.CSV"));
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find("\r\n", start)) != std::string::npos; start = nl + 2)
        lines.push_back(text.substr(start, nl - start));
    return lines;
}

std::string joinCrLf(const std::vector<std::string> &lines)
{
    std::string s;
    for (const std::string &l : lines)
        s += l + "\r\n";
    return sjis(s);
}

} // namespace

TEST(HistoryLayouts, EverySampleGivesTheBundledNumbersDatesAndPayouts)
{
    const auto bundled = bundledDraws();
    struct Case
    {
        const char *name;
        const char *file;
        HistoryLayout layout;
        std::size_t draws;
    };
    const Case cases[] = {
        {"official result", "A1022016.CSV", HistoryLayout::OfficialResult, 1},
        {"history with prizes", "prize-history-sample.csv", HistoryLayout::PrizeHistory, 3},
        {"alternating", "alternating-history-sample.csv", HistoryLayout::Alternating, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        HistoryFile file;
        const Status s = readHistoryFile(Layouts + c.file, file);
        ASSERT_TRUE(s) << s.message();
        EXPECT_EQ(file.layout, c.layout);
        ASSERT_EQ(file.draws.size(), c.draws);
        EXPECT_EQ(file.prizes.size(), c.draws);
        for (const DrawRecord &r : file.draws) {
            const DrawRecord &b = bundled.at(r.drawNo);
            EXPECT_EQ(sortedNumbers(r), sortedNumbers(b)) << "draw " << r.drawNo;
            EXPECT_EQ(r.date, b.date) << "draw " << r.drawNo;
        }
    }
}

TEST(HistoryLayouts, OfficialResultCarriesEveryTierCarryOverAndSales)
{
    HistoryFile file;
    ASSERT_TRUE(readHistoryFile(Layouts + "A1022016.CSV", file));
    const DrawPrizes &p = file.prizes.at(2016);
    EXPECT_EQ(p.tier(1).winners, 0);
    EXPECT_FALSE(p.tier(1).prize) << "該当なし is no prize";
    EXPECT_EQ(p.tier(2).winners, 4);
    EXPECT_EQ(p.tier(2).prize, 17191600);
    EXPECT_EQ(p.tier(5).winners, 140198);
    EXPECT_EQ(p.tier(5).prize, 1000);
    EXPECT_EQ(p.carryOver, 229213996);
    EXPECT_EQ(p.sales, 1313152600);
    EXPECT_EQ(file.draws[0].bonus(), 1);

    // The same payout from the history with prizes, where nobody-won is written 0 and 0.
    HistoryFile table;
    ASSERT_TRUE(readHistoryFile(Layouts + "prize-history-sample.csv", table));
    const DrawPrizes &q = table.prizes.at(2016);
    for (int t = 1; t <= 5; ++t) {
        EXPECT_EQ(q.tier(t).winners, p.tier(t).winners) << t;
        EXPECT_EQ(q.tier(t).prize, p.tier(t).prize) << t;
    }
    EXPECT_EQ(q.carryOver, p.carryOver);
    EXPECT_FALSE(q.sales) << "the layout has no sales column";
}

TEST(HistoryLayouts, AlternatingKeepsTheDrawnOrderAndEnglishReadsIsoDates)
{
    HistoryFile alt;
    ASSERT_TRUE(readHistoryBytes(
        "抽せん回,抽せん日,曜日,本数字1,本数字2,本数字3,本数字4,本数字5,本数字6,ボーナス数字,"
        "1等口数,1等賞金,2等口数,2等賞金,3等口数,3等賞金,4等口数,4等賞金,5等口数,5等賞金,"
        "キャリーオーバー\n7,2000/11/16,木,25,1,2,4,6,28,33,0,0,1,5,2,6,3,7,4,8,9\n",
        alt));
    ASSERT_EQ(alt.draws.size(), 1u);
    EXPECT_EQ(alt.draws[0].number(0), 25);
    EXPECT_EQ(alt.prizes.at(7).tier(4).prize, 7);
    EXPECT_EQ(alt.prizes.at(7).carryOver, 9);

    HistoryFile en;
    ASSERT_TRUE(readHistoryBytes("draw_no,date,n1,n2,n3,n4,n5,n6,bonus\n"
                                 "2144,2026-10-08,3,9,14,22,30,41,18\n",
        en));
    EXPECT_EQ(en.layout, HistoryLayout::English);
    ASSERT_EQ(en.draws.size(), 1u);
    EXPECT_EQ(en.draws[0].date, "2026-10-08");
    EXPECT_EQ(en.draws[0].bonus(), 18);
    EXPECT_TRUE(en.prizes.empty());
}

TEST(HistoryLayouts, JapaneseEraDates)
{
    struct Case
    {
        const char *name;
        const char *text;
        const char *iso; // empty: refused
    };
    const Case cases[] = {
        {"reiwa", "令和7年7月14日", "2025-07-14"},
        {"heisei", "平成30年3月29日", "2018-03-29"},
        {"heisei last day", "平成31年4月30日", "2019-04-30"},
        {"reiwa gannen", "令和元年5月9日", "2019-05-09"},
        {"reiwa 1 written as a number", "令和1年5月1日", "2019-05-01"},
        {"heisei after the change", "平成31年5月9日", ""},
        {"reiwa gannen before the change", "令和元年4月25日", ""},
        {"heisei 32", "平成32年1月6日", ""},
        {"unknown era", "昭和64年1月5日", ""},
        {"western year", "2025年7月14日", ""},
        {"no such day", "令和6年2月30日", ""},
        {"leap day", "令和6年2月29日", "2024-02-29"},
        {"full-width digits", "令和７年７月14日", ""},
        {"trailing text", "令和7年7月14日(月)", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string iso;
        const Status s = parseJapaneseDate(c.text, iso);
        if (*c.iso) {
            ASSERT_TRUE(s) << s.message();
            EXPECT_EQ(iso, c.iso);
        } else {
            EXPECT_FALSE(s);
        }
    }
}

TEST(HistoryLayouts, BadOfficialFilesAreRefusedWithLineAndReason)
{
    struct Case
    {
        const char *name;
        std::function<void(std::vector<std::string> &)> change;
        const char *where;
    };
    const Case cases[] = {
        {"a tier line missing", [](auto &l) { l.erase(l.begin() + 6); },
            "line 7: expected the ３等"},
        {"unknown era",
            [](auto &l) { l[1] = "第2016回ロト６,数字選択式全国自治宝くじ,昭和7年7月14日,東京"; },
            "line 2: \"昭和7年7月14日\" is not a date in a known era"},
        {"heisei after the change",
            [](auto &l) { l[1] = "第1380回ロト６,数字選択式全国自治宝くじ,平成31年5月9日,東京"; },
            "line 2: \"平成31年5月9日\" lies outside the 平成 era"},
        {"full-width number", [](auto &l) { l[3] = "本数字,10,13,27,31,40,４２,ボーナス数字,01"; },
            "line 4: \"４２\" is not a number from 1 to 43 in ASCII digits"},
        {"full-width amount", [](auto &l) { l[5] = "２等,４口,17191600円"; },
            "line 6: ２等: expected N口"},
        {"half-width tier label", [](auto &l) { l[4] = "1等,該当なし,該当なし"; },
            "line 5: expected the １等 line"},
        {"number out of range", [](auto &l) { l[3] = "本数字,10,13,27,31,40,44,ボーナス数字,01"; },
            "line 4: \"44\""},
        {"number repeated", [](auto &l) { l[3] = "本数字,10,13,13,31,40,42,ボーナス数字,01"; },
            "line 4: 第3数字: 13 occurs twice (also in 第2数字)"},
        {"bonus repeats a main number",
            [](auto &l) { l[3] = "本数字,10,13,27,31,40,42,ボーナス数字,42"; },
            "line 4: ボーナス数字: 42 occurs twice (also in 第6数字)"},
        {"truncated after the tiers", [](auto &l) { l.resize(8); }, "line 9: the file ends before"},
        {"a result line among the conditions", [](auto &l) { l.push_back("２等,4口,17191600円"); },
            "line 17: unexpected line after the results"},
        {"no sales line", [](auto &l) { l[10] = "販売額,1313152600円"; },
            "line 11: expected 販売実績額"},
        {"draw title in full-width digits",
            [](auto &l) { l[1] = "第２０１６回ロト６,x,令和7年7月14日,東京"; },
            "line 2: \"第２０１６回ロト６\" is not a draw title"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> lines = officialLines();
        ASSERT_EQ(lines.size(), 16u);
        c.change(lines);
        HistoryFile file;
        const Status s = readHistoryBytes(joinCrLf(lines), file);
        ASSERT_FALSE(s);
        EXPECT_NE(s.message().find(c.where), std::string::npos) << s.message();
        EXPECT_TRUE(file.draws.empty());
    }
}

TEST(HistoryLayouts, CutFilesAndTheIndexAreRefused)
{
    const std::string official = test::readAll(Layouts + "A1022016.CSV");
    const std::string prizes = test::readAll(Layouts + "prize-history-sample.csv");
    struct Case
    {
        const char *name;
        std::string bytes;
        const char *where;
    };
    const Case cases[] = {
        {"official cut in a line", official.substr(0, official.find("1313152600") + 4),
            "line 11: the file ends in the middle of a line"},
        {"official cut after the title", official.substr(0, 80), ""},
        {"index given as a history", test::readAll(Layouts + "official-index-sample.csv"),
            "line 3: this is the official index"},
        {"prize history without a tier column",
            sjis("開催回,日付,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,BONUS数字,1等口数,"
                 "2等口数,"
                 "3等口数,4等口数,5等口数,1等賞金,2等賞金,4等賞金,5等賞金,キャリーオーバー\r\n"),
            "line 1: no 3等賞金 column"},
        {"prize history with a full-width amount",
            prizes.substr(0, prizes.find("\r\n") + 2)
                + sjis("1,2000/10/5,2,8,10,13,27,30,39,2,2,262,12413,174452,45513600,40961900,"
                       "375200,６900,1000,0\r\n"),
            "line 2, column 18 (4等賞金)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        HistoryFile file;
        const Status s = readHistoryBytes(c.bytes, file);
        ASSERT_FALSE(s);
        EXPECT_NE(s.message().find(c.where), std::string::npos) << s.message();
        EXPECT_TRUE(file.draws.empty());
    }
}
