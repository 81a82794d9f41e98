#include "tickets/ticketsheets.h"

#include "analysis/markcolors.h"
#include "grid/numbertext.h"
#include "grid/sheetwriter.h"
#include "store/drawrecord.h"
#include "store/textcodec.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace loto6 {

namespace {

Sheet plainSheet(std::string_view name, std::string_view caption, int cols, int rows,
    std::span<const double> widths, std::span<const char *const> header)
{
    Sheet s{std::string(name), std::string(caption)};
    s.prepare(cols, rows, cols, std::min(rows, 40), 12, 6);
    s.setFrozen(1, 1);
    for (int c = 1; c <= cols && c <= static_cast<int>(widths.size()); ++c)
        s.setColWidth(c, widths[static_cast<std::size_t>(c - 1)]);
    for (int c = 1; c <= cols && c <= static_cast<int>(header.size()); ++c)
        s.setText(c, 1, header[static_cast<std::size_t>(c - 1)]);
    s.setColors(1, 1, cols, 1, colors::black, colors::lightPink);
    s.setBorder(1, 1, cols, rows, border::AllSides, colors::lightBlue);
    return s;
}

std::string yen(long long v) { return yenText(v); }

// An expected amount, rounded to the yen and grouped like the amounts beside it.
std::string yen(double v) { return yen(std::llround(v)); }

// Writes six numbers from column col on, marking those among `mains` and `bonus`.
void writeNumbers(Sheet &s, int col, int row, const std::array<long long, MainNumberCount> &numbers,
    std::uint64_t mains, std::uint64_t bonus)
{
    for (int i = 0; i < MainNumberCount; ++i) {
        const long long n = numbers[static_cast<std::size_t>(i)];
        s.setText(col + i, row, twoDigitText(n));
        const std::uint64_t bit = n >= 1 && n <= HighestNumber ? std::uint64_t{1} << n : 0;
        if (bit & mains)
            s.setColors(col + i, row, col + i, row, colors::white, MainMark);
        else if (bit & bonus)
            s.setColors(col + i, row, col + i, row, colors::white, BonusMark);
    }
}

std::array<long long, MainNumberCount> asLongs(const std::array<int, MainNumberCount> &numbers)
{
    std::array<long long, MainNumberCount> out{};
    std::copy(numbers.begin(), numbers.end(), out.begin());
    return out;
}

} // namespace

std::string prizeText(const TicketGrading &grading, const TicketGrading::Row &row)
{
    if (row.tier == 0)
        return {};
    const long long v = grading.prize(row);
    return v == TicketGrading::Unknown ? std::string("不明") : yen(v);
}

Sheet ticketListSheet(const std::vector<Ticket> &tickets)
{
    static constexpr double Widths[] = {6, 7, 7, 7, 7, 7, 7, 8, 6, 6, 9, 20, 30};
    static constexpr const char *Header[] = {"番号", "第1数字", "第2数字", "第3数字", "第4数字",
        "第5数字", "第6数字", "開始回", "継続", "口数", "入手", "登録日時", "メモ"};
    constexpr int Cols = 13;
    const int rows = 1 + static_cast<int>(tickets.size());
    Sheet s = plainSheet("tickets", "購入番号", Cols, rows, Widths, Header);
    for (std::size_t i = 0; i < tickets.size(); ++i) {
        const Ticket &t = tickets[i];
        const int row = 2 + static_cast<int>(i);
        s.setText(1, row, t.id);
        writeNumbers(s, 2, row, asLongs(t.numbers), 0, 0);
        s.setText(8, row, t.firstDraw);
        s.setText(9, row, t.draws);
        s.setText(10, row, t.units);
        s.setText(11, row, Ticket::sourceLabel(t.source));
        s.setText(12, row, t.addedAt);
        s.setText(13, row, withoutControls(t.memo)); // a memo stored before it was checked
    }
    s.selectBlock(13, 2, 13, rows);
    s.setHAlign(HAlign::Left);
    s.endBlock();
    return s;
}

namespace {

// The first draw of a ticket still to be drawn: after the latest draw the history holds.
int firstComingDraw(const Ticket &t, int latestDrawNo)
{
    return std::max(t.firstDraw, latestDrawNo + 1);
}

// The rows of the results: every graded ticket-draw and every draw still to come.
std::size_t resultsCount(const TicketGrading &grading)
{
    std::size_t count = grading.rows().size();
    for (const Ticket &t : grading.tickets())
        count += static_cast<std::size_t>(
            std::max(0, t.lastDraw() - firstComingDraw(t, grading.latestDrawNo()) + 1));
    return count;
}

// Said wherever the results are shown when their table cannot hold every row.
std::string resultsCutNote(const TicketGrading &grading)
{
    const std::size_t count = resultsCount(grading);
    if (count + 1 <= static_cast<std::size_t>(Sheet::MaxRows))
        return {};
    return "（" + groupedText(static_cast<long long>(count)) + "件のうち先頭"
        + groupedText(Sheet::MaxRows - 1) + "件だけを表示。合計はすべての件を数えています）";
}

} // namespace

Sheet ticketResultsSheet(const TicketGrading &grading)
{
    static constexpr double Widths[] = {6, 8, 7, 7, 7, 7, 7, 7, 5, 7, 6, 14, 10};
    static constexpr const char *Header[] = {"番号", "回", "第1数字", "第2数字", "第3数字",
        "第4数字", "第5数字", "第6数字", "一致", "ボーナス", "等級", "当せん金", "購入額"};
    constexpr int Cols = 13;
    const auto &rows = grading.rows();
    const int latest = grading.latestDrawNo();
    // Each ticket's graded draws, then those still to come (未抽選).
    const std::size_t count = resultsCount(grading);
    Sheet s = plainSheet("ticket-results", "照合結果" + resultsCutNote(grading), Cols,
        1 + static_cast<int>(std::min<std::size_t>(count, Sheet::MaxRows)), Widths, Header);
    int row = 2;
    auto full = [&] { return row > s.rows(); };
    std::size_t next = 0;
    for (std::size_t k = 0; k < grading.tickets().size() && !full(); ++k) {
        const Ticket &t = grading.tickets()[k];
        const std::string cost = yen(static_cast<long long>(t.units) * Ticket::UnitPrice);
        for (; next < rows.size() && rows[next].ticket == static_cast<int>(k) && !full(); ++next) {
            const TicketGrading::Row &r = rows[next];
            s.setText(1, row, t.id);
            s.setText(2, row, "第" + std::to_string(r.drawNo) + "回");
            const std::uint64_t bonus = r.bonus() ? std::uint64_t{1} << r.bonusNumber : 0;
            writeNumbers(s, 3, row, asLongs(t.numbers), grading.matched(r), bonus);
            s.setText(9, row, static_cast<int>(r.matches));
            s.setText(10, row, r.bonus() ? "○" : "");
            s.setText(11, row, TicketGrading::tierName(r.tier));
            s.setText(12, row, prizeText(grading, r));
            s.setText(13, row, cost);
            if (r.tier > 0)
                s.setColors(11, row, 12, row, colors::red, colors::lightYellow);
            ++row;
        }
        for (int draw = firstComingDraw(t, latest); draw <= t.lastDraw() && !full();
             ++draw, ++row) {
            s.setText(1, row, t.id);
            s.setText(2, row, "第" + std::to_string(draw) + "回");
            writeNumbers(s, 3, row, asLongs(t.numbers), 0, 0);
            s.setText(11, row, "未抽選");
            s.setText(13, row, cost);
        }
    }
    return s;
}

namespace {

std::string unitsText(long long n) { return groupedText(n) + "口"; }

// 当せん額 and 収支: exact when every winning unit's prize is stored, else 不明 with what is known.
std::string winningsText(const TicketGrading::Summary &s, long long value)
{
    if (s.winningsKnown())
        return yen(value);
    return "不明（判明分で " + yen(value) + "、払戻金不明の当せん " + unitsText(s.unknownUnits)
        + "）";
}

} // namespace

Sheet ticketSummarySheet(const TicketGrading &grading)
{
    static constexpr double Widths[] = {14, 30, 30};
    static constexpr const char *Header[] = {"項目", "実績", "ランダムな番号なら（期待値）"};
    constexpr int Cols = 3;
    constexpr int Rows = 15;
    const TicketGrading::Summary &s = grading.summary();
    Sheet sheet = plainSheet("ticket-summary", "収支と偶然との比較", Cols, Rows, Widths, Header);
    for (int t = 1; t <= TicketGrading::Tiers; ++t) {
        const auto i = static_cast<std::size_t>(t - 1);
        sheet.setText(1, 1 + t, TicketGrading::tierName(t));
        sheet.setText(2, 1 + t, unitsText(s.tierUnits[i]));
        sheet.setText(3, 1 + t, fixedText(s.expectedTierUnits[i], t <= 3 ? 6 : 3) + "口");
    }
    sheet.setText(1, 7, "当せん計");
    sheet.setText(2, 7, unitsText(s.winningUnits) + "（" + groupedText(s.winningLines) + "件）");
    sheet.setText(3, 7,
        fixedText(s.expectedWinningUnits, 2) + "口（" + fixedText(s.expectedWinningLines, 2)
            + "件）");
    sheet.setText(1, 8, "照合した口数");
    sheet.setText(2, 8, unitsText(s.units) + "（" + groupedText(s.lines) + "件）");
    sheet.setText(1, 9, "未抽選・欠番");
    sheet.setText(2, 9, groupedText(s.ungraded) + "件");
    sheet.setText(1, 10, "購入額");
    sheet.setText(2, 10, yen(s.cost));
    sheet.setText(3, 10, yen(s.cost));
    sheet.setText(1, 11, "当せん額");
    sheet.setText(2, 11, winningsText(s, s.winnings));
    sheet.setText(3, 11,
        s.expectedYenUnits == 0
            ? std::string("不明（払戻金の記録なし）")
            : yen(s.expectedYen) + "（払戻金の分かる" + unitsText(s.expectedYenUnits)
                + (s.expectedYenGapDraws == 0
                        ? std::string()
                        : "。当せんのなかった等級がある" + groupedText(s.expectedYenGapDraws)
                            + "回分は、その等級の賞金を含みません")
                + "）");
    sheet.setText(1, 12, "収支");
    sheet.setText(2, 12, winningsText(s, s.balance()));
    if (s.expectedYenUnits == s.units && s.units > 0)
        sheet.setText(3, 12, yen(s.expectedYen - static_cast<double>(s.cost)));
    sheet.setText(1, 13, "この成績以上の確率");
    sheet.setText(2, 13, s.units ? pValueText(s.pAtLeast) : std::string("—"));
    sheet.setText(3, 13, "公平な抽選での当せん件数の分布（" + lawMethodText(s.law, true) + "）");
    sheet.setText(1, 14, "この成績以下の確率");
    sheet.setText(2, 14, s.units ? pValueText(s.pAtMost) : std::string("—"));
    if (s.law.simulated)
        sheet.setText(3, 14, "（" + lawMethodText(s.law, false) + "）");
    // The verdict is a note: the desktop wraps it below the table.
    const std::string cut = resultsCutNote(grading);
    sheet.setText(1, 15, "注");
    sheet.setText(2, 15, s.sentence + (cut.empty() ? "" : "照合結果の表は" + cut + "。"));
    sheet.selectBlock(2, 15, 2, 15);
    sheet.setHAlign(HAlign::Left);
    sheet.endBlock();
    sheet.setAllowOverflow(true);
    // Every figure whole: the columns as wide as their widest text (the note aside).
    for (int c = 1; c <= Cols; ++c) {
        int widest = static_cast<int>(Widths[c - 1]);
        for (int row = 1; row < Rows; ++row)
            widest = std::max(widest, displayWidth(sheet.text(c, row)) + 2);
        sheet.setColWidth(c, widest);
    }
    return sheet;
}

Sheet combinationCheckSheet(const TicketGrading &grading, const DrawHistory &history)
{
    static constexpr double Widths[] = {8, 7, 7, 7, 7, 7, 7, 7, 5, 5, 14};
    static constexpr const char *Header[] = {"回", "第1数字", "第2数字", "第3数字", "第4数字",
        "第5数字", "第6数字", "ボーナス", "一致", "等級", "当せん金"};
    constexpr int Cols = 11;
    std::vector<const TicketGrading::Row *> wins;
    for (const TicketGrading::Row &r : grading.rows())
        if (r.tier > 0)
            wins.push_back(&r);
    std::string caption = "過去の抽選との照合";
    if (!grading.tickets().empty())
        caption += " " + grading.tickets().front().numbersText();
    Sheet s = plainSheet("check", caption, Cols,
        1 + static_cast<int>(std::min<std::size_t>(wins.size(), Sheet::MaxRows - 1)), Widths,
        Header);
    const std::uint64_t mask = grading.tickets().empty() ? 0 : grading.tickets().front().mask();
    std::size_t next = 0;
    int row = 2;
    for (const DrawRecord &d : history) {
        if (next >= wins.size() || row > s.rows())
            break;
        if (!d.isComplete() || d.drawNo != wins[next]->drawNo)
            continue;
        const TicketGrading::Row &r = *wins[next++];
        s.setText(1, row, "第" + std::to_string(r.drawNo) + "回");
        std::array<long long, MainNumberCount> mains{};
        for (int i = 0; i < 6; ++i)
            mains[static_cast<std::size_t>(i)] = d.mainNumber(i);
        writeNumbers(s, 2, row, mains, mask, 0);
        s.setText(8, row, twoDigitText(d.bonus()));
        if (r.bonus())
            s.setColors(8, row, 8, row, colors::white, BonusMark);
        s.setText(9, row, static_cast<int>(r.matches));
        s.setText(10, row, TicketGrading::tierName(r.tier));
        s.setText(11, row, prizeText(grading, r));
        ++row;
    }
    return s;
}

TicketGrading checkCombination(const std::array<int, MainNumberCount> &numbers,
    const DrawHistory &history, const std::map<int, DrawPrizes> &prizes)
{
    Ticket t;
    t.numbers = numbers;
    std::sort(t.numbers.begin(), t.numbers.end());
    int latest = 1;
    for (const DrawRecord &r : history)
        latest = std::max(latest, r.drawNo);
    t.draws = latest;
    return TicketGrading({t}, history, prizes);
}

Sheet ticketTableSheet(std::string_view name, std::string_view caption, int cols, int rows,
    std::span<const double> widths, std::span<const char *const> header)
{
    return plainSheet(name, caption, cols, rows, widths, header);
}

void writeTicketNumbers(Sheet &s, int col, int row, const std::array<int, MainNumberCount> &numbers,
    std::uint64_t mains, std::uint64_t bonus)
{
    writeNumbers(s, col, row, asLongs(numbers), mains, bonus);
}

} // namespace loto6
