#include "summary/drawsummary.h"

#include "grid/numbertext.h"
#include "grid/sheetwriter.h"
#include "popularity/popularitysheets.h"
#include "tickets/ticketsheets.h"

#include <algorithm>
#include <cmath>

namespace loto6 {

namespace {

std::string drawText(int drawNo) { return "第" + std::to_string(drawNo) + "回"; }

Sheet drawSheet(const DrawSummary &s)
{
    static constexpr double Widths[] = {8, 11, 7, 7, 7, 7, 7, 7, 7};
    static constexpr const char *Header[] = {"回", "抽せん日", "第1数字", "第2数字", "第3数字",
        "第4数字", "第5数字", "第6数字", "ボーナス"};
    Sheet sheet = ticketTableSheet(
        "summary-draw", drawText(s.draw.drawNo) + "の抽せん結果", 9, 2, Widths, Header);
    sheet.setText(1, 2, drawText(s.draw.drawNo));
    sheet.setText(2, 2, s.draw.date.empty() ? std::string("不明") : s.draw.date);
    for (int i = 0; i < MainNumberCount; ++i)
        sheet.setText(3 + i, 2, twoDigitText(s.draw.mainNumber(i)));
    sheet.setText(9, 2, twoDigitText(s.draw.bonus()));
    return sheet;
}

Sheet payoutSheet(const DrawSummary &s)
{
    static constexpr double Widths[] = {14, 14, 16};
    static constexpr const char *Header[] = {"等級", "当せん口数", "1口の当せん金"};
    const std::string unknown = "不明";
    Sheet sheet = ticketTableSheet("summary-payouts",
        drawText(s.draw.drawNo) + "の払戻金" + (s.prizes ? "" : "（払戻金の記録なし）"), 3, 8,
        Widths, Header);
    for (int t = 1; t <= DrawPrizes::TierCount; ++t) {
        sheet.setText(1, 1 + t, TicketGrading::tierName(t));
        if (!s.prizes) {
            sheet.setText(2, 1 + t, unknown);
            sheet.setText(3, 1 + t, unknown);
            continue;
        }
        const TierPayout &p = s.prizes->tier(t);
        sheet.setText(2, 1 + t, groupedText(p.winners) + "口");
        sheet.setText(3, 1 + t,
            p.prize              ? yenText(*p.prize)
                : p.winners == 0 ? std::string("該当なし")
                                 : unknown);
    }
    const auto amount
        = [&](const std::optional<long long> &v) { return s.prizes && v ? yenText(*v) : unknown; };
    sheet.setText(1, 7, "キャリーオーバー");
    sheet.setText(3, 7, amount(s.prizes ? s.prizes->carryOver : std::nullopt));
    sheet.setText(1, 8, "販売実績額");
    sheet.setText(3, 8, amount(s.prizes ? s.prizes->sales : std::nullopt));
    return sheet;
}

Sheet ticketsSheet(const DrawSummary &s)
{
    Sheet sheet = ticketResultsSheet(s.onDraw);
    sheet.setName("summary-tickets");
    sheet.setCaption(drawText(s.draw.drawNo) + "の購入番号の照合"
        + (s.onDraw.tickets().empty() ? "（この回の購入番号はありません）" : ""));
    return sheet;
}

// 当せん額 and 収支: exact when every winning unit's prize is stored, else what is known.
std::string knownYen(const TicketGrading::Summary &s, long long value)
{
    if (s.winningsKnown())
        return yenText(value);
    return "不明（判明分で " + yenText(value) + "、払戻金不明の当せん "
        + groupedText(s.unknownUnits) + "口）";
}

Sheet balanceSheet(const DrawSummary &s)
{
    static constexpr double Widths[] = {14, 24, 24};
    const std::string upTo = drawText(s.draw.drawNo) + "までの累計";
    const std::string on = drawText(s.draw.drawNo);
    const char *const Header[] = {"項目", on.c_str(), upTo.c_str()};
    Sheet sheet = ticketTableSheet("summary-balance", "収支", 3, 6, Widths, Header);
    const TicketGrading::Summary *columns[] = {&s.onDraw.summary(), &s.upToDraw.summary()};
    sheet.setText(1, 2, "照合した口数");
    sheet.setText(1, 3, "当せん口数");
    sheet.setText(1, 4, "購入額");
    sheet.setText(1, 5, "当せん額");
    sheet.setText(1, 6, "収支");
    for (int c = 0; c < 2; ++c) {
        const TicketGrading::Summary &t = *columns[c];
        sheet.setText(2 + c, 2, groupedText(t.units) + "口");
        sheet.setText(2 + c, 3, groupedText(t.winningUnits) + "口");
        sheet.setText(2 + c, 4, yenText(t.cost));
        sheet.setText(2 + c, 5, knownYen(t, t.winnings));
        sheet.setText(2 + c, 6, knownYen(t, t.balance()));
        if (t.winningsKnown() && t.balance() < 0)
            sheet.setForeColor(2 + c, 6, 2 + c, 6, colors::red);
    }
    for (int c = 2; c <= 3; ++c)
        for (int row = 2; row <= 6; ++row)
            sheet.setColWidth(
                c, std::max<double>(sheet.colWidth(c), displayWidth(sheet.text(c, row)) + 2));
    return sheet;
}

Sheet recordsSheet(const DrawSummary &s)
{
    static constexpr double Widths[] = {6, 20, 7, 7, 7, 7, 7, 7, 5, 7, 6, 14, 26};
    static constexpr const char *Header[] = {"記録", "記録日時", "第1数字", "第2数字", "第3数字",
        "第4数字", "第5数字", "第6数字", "一致", "ボーナス", "等級", "当せん金", "記録時の履歴"};
    int lines = 0;
    for (const DrawSummary::Record &r : s.records)
        lines += static_cast<int>(r.lines.size());
    Sheet sheet = ticketTableSheet("summary-predictions",
        drawText(s.draw.drawNo) + "の予想記録の結果"
            + (s.records.empty() ? "（この回の予想記録はありません）" : ""),
        13, 1 + lines, Widths, Header);
    int row = 2;
    for (const DrawSummary::Record &r : s.records) {
        for (const TicketGrading::Row &line : r.lines) {
            const Ticket &t = s.onDraw.tickets()[static_cast<std::size_t>(line.ticket)];
            sheet.setText(1, row, r.record.id);
            sheet.setText(2, row, r.record.recordedAt);
            const std::uint64_t bonus = line.bonus() ? std::uint64_t{1} << line.bonusNumber : 0;
            writeTicketNumbers(sheet, 3, row, t.numbers, s.onDraw.matched(line), bonus);
            sheet.setText(9, row, static_cast<int>(line.matches));
            sheet.setText(10, row, line.bonus() ? "○" : "");
            sheet.setText(11, row, TicketGrading::tierName(line.tier));
            sheet.setText(12, row, prizeText(s.onDraw, line));
            sheet.setText(
                13, row, r.sameHistory ? "今の履歴と同じ" : "記録の後で履歴が変わりました");
            if (line.tier > 0)
                sheet.setColors(11, row, 12, row, colors::red, colors::lightYellow);
            ++row;
        }
    }
    return sheet;
}

// The switches in Japanese, 、between them; なし when none is on.
std::string switchNames(const PredictionOptions &options)
{
    std::string out;
    for (int k = 0; k < PredictionOptions::Count; ++k)
        if (options.on[static_cast<std::size_t>(k)])
            out += (out.empty() ? "" : "、") + std::string(PredictionOptions::name(k));
    return out.empty() ? "なし" : out;
}

Sheet nextSheet(const DrawSummary &s)
{
    static constexpr double Widths[] = {8, 7, 7, 7, 7, 7, 7};
    static constexpr const char *Header[]
        = {"予想", "第1数字", "第2数字", "第3数字", "第4数字", "第5数字", "第6数字"};
    const int rows = 1 + static_cast<int>(s.nextLines.size());
    Sheet sheet = ticketTableSheet("summary-next",
        drawText(s.draw.drawNo + 1) + "の予想（反映する項目：" + switchNames(s.options)
            + "、反映シフト " + std::to_string(s.next.reflectionShift) + "）"
            + (s.nextLines.empty() ? "（予想できる組がありません）" : ""),
        7, rows, Widths, Header);
    for (std::size_t i = 0; i < s.nextLines.size(); ++i) {
        const int row = 2 + static_cast<int>(i);
        sheet.setText(1, row, s.nextLines[i].label);
        writeTicketNumbers(sheet, 2, row, s.nextLines[i].numbers, 0, 0);
    }
    return sheet;
}

// The popularity model's expected winners of each tier beside the actual ones.
Sheet popularitySheet(const DrawSummary &s)
{
    static constexpr double Widths[] = {8, 30, 16, 12};
    static constexpr const char *Header[]
        = {"等級", "予想当せん口数（95%範囲）", "実際の当せん口数", "実際÷予想"};
    const SummaryPopularity &p = s.popularity;
    using State = SummaryPopularity::State;
    std::string caption = drawText(s.draw.drawNo) + "の当せん口数：人気度モデルの予想と実際";
    if (p.state == State::None)
        caption += "（人気度を学習できる払戻金がありません）";
    else if (p.state == State::Ready && p.tickets)
        caption += "（予想：販売口数 " + groupedText(std::llround(*p.tickets))
            + "口 × "
              "当せんする券の割合から、人気の集中を含む1回ごとのばらつきの法則で求めた期待値と"
              "95%範囲。"
            + "モデルはこの回を含む販売実績額のある " + std::to_string(p.learntDraws)
            + "回で学習）";
    else if (p.state == State::Ready)
        caption += "（この回の販売実績額がないため予想できません）";
    const bool shown = p.state == State::Ready && p.tickets;
    Sheet sheet = ticketTableSheet("summary-popularity", caption, 4,
        p.state == State::Pending ? 2 : 1 + DrawPrizes::TierCount, Widths, Header);
    if (p.state == State::Pending) {
        sheet.setText(2, 2, "計算中…");
        return sheet;
    }
    for (int t = 1; t <= DrawPrizes::TierCount; ++t) {
        const double predicted = p.predicted[static_cast<std::size_t>(t - 1)];
        sheet.setText(1, 1 + t, TicketGrading::tierName(t));
        sheet.setText(2, 1 + t,
            shown ? popularity::predictedCountText(
                predicted, p.interval[static_cast<std::size_t>(t - 1)])
                  : std::string("-"));
        if (!s.prizes)
            continue;
        const long long actual = s.prizes->tier(t).winners;
        sheet.setText(3, 1 + t, groupedText(actual) + "口");
        if (shown && predicted > 0)
            sheet.setText(4, 1 + t, fixedText(static_cast<double>(actual) / predicted, 2));
    }
    return sheet;
}

// The next lines' popularity and expected yen (the ticket rating every output shows).
Sheet nextPopularitySheet(const DrawSummary &s)
{
    const SummaryPopularity &p = s.popularity;
    const std::string caption
        = drawText(s.draw.drawNo + 1) + "の予想の人気度と期待値（200円あたり）";
    if (p.nextPopularity) {
        Sheet sheet = *p.nextPopularity;
        sheet.setName("summary-next-popularity");
        sheet.setCaption(caption);
        return sheet;
    }
    static constexpr double Widths[] = {40};
    static constexpr const char *Header[] = {"人気度"};
    Sheet sheet = ticketTableSheet("summary-next-popularity", caption, 1, 2, Widths, Header);
    sheet.setText(1, 2,
        p.state == SummaryPopularity::State::Pending ? "計算中…"
                                                     : "人気度を学習できる払戻金がありません");
    return sheet;
}

} // namespace

std::vector<Sheet> summarySheets(const DrawSummary &summary)
{
    return {drawSheet(summary), payoutSheet(summary), popularitySheet(summary),
        ticketsSheet(summary), balanceSheet(summary), recordsSheet(summary), nextSheet(summary),
        nextPopularitySheet(summary)};
}

} // namespace loto6
