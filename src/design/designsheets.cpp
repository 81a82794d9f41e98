#include "design/designsheets.h"

#include "grid/numbertext.h"

#include <cmath>

namespace loto6::design {

namespace {

constexpr const char *TierNames[] = {"1等", "2等", "3等", "4等", "5等"};

Sheet tableSheet(std::string_view name, std::string_view caption, int cols, int rows)
{
    Sheet s{std::string(name), std::string(caption)};
    s.prepare(cols, rows, cols, std::min(rows, 40), 12, 6);
    s.setFrozen(0, 1);
    s.setColors(1, 1, cols, 1, colors::black, colors::lightPink);
    s.setBorder(1, 1, cols, rows, border::AllSides, colors::lightBlue);
    return s;
}

} // namespace

Sheet filterCountSheet(const DesignFilter &filter, const FilterCount &count)
{
    Sheet s = tableSheet("design-count", "条件に合う組合せ", 2, 8);
    static const std::string InSampleNote = "（人気度は同じ回から学んだモデルで判定：標本内）";
    s.setColWidth(1, 24);
    s.setColWidth(2, 40);
    const std::pair<const char *, std::string> rows[] = {
        {"項目", "値"},
        {"条件", filter.empty() ? "なし" : filter.optionsText()},
        {"組合せ数",
            groupedText(static_cast<long long>(count.combinations)) + " / "
                + groupedText(static_cast<long long>(AllCombinations))},
        {"次回の6数字が条件に合う確率", fixedText(count.probability * 100, 4) + "%"},
        {"過去の抽選回数", groupedText(count.draws)},
        {"条件に合った回",
            groupedText(count.passed) + (count.popularityInSample ? InSampleNote : "")},
        {"偶然での期待回数",
            fixedText(count.expected, 2) + "（標準偏差 " + fixedText(count.sd, 2) + "、95%の範囲 "
                + groupedText(count.low) + "～" + groupedText(count.high) + "回）"},
    };
    int row = 1;
    for (const auto &[label, value] : rows) {
        s.setText(1, row, label);
        s.setText(2, row, value);
        ++row;
    }
    s.setText(1, row, "注");
    s.setText(2, row,
        "過去の各回は、その前の回と、それまでに出た1等の組合せに対して判定し、公平な抽選でその回が"
        "条件に合う確率を足したものを期待回数としています。");
    return s;
}

Sheet designTicketsSheet(const std::vector<Combination> &tickets, std::string_view caption)
{
    const int rows = static_cast<int>(tickets.size()) + 1;
    Sheet s = tableSheet("design-tickets", caption, 7, rows);
    s.setText(1, 1, "番号");
    for (int i = 1; i <= MainNumberCount; ++i) {
        s.setText(1 + i, 1, "第" + std::to_string(i) + "数字");
        s.setColWidth(1 + i, 7);
    }
    s.setColWidth(1, 6);
    int row = 2;
    for (const Combination &c : tickets) {
        s.setText(1, row, row - 1);
        for (int i = 0; i < MainNumberCount; ++i) {
            const int n = c[static_cast<std::size_t>(i)];
            s.setText(2 + i, row, twoDigitText(n));
        }
        ++row;
    }
    return s;
}

Sheet ticketOddsSheet(const TicketOdds &odds)
{
    Sheet s = tableSheet(
        "design-odds", "次回の当せん確率と期待値", 4, odds.tickets > 0 ? TierCount + 3 : 1);
    const char *header[] = {"等級", "1本以上当たる確率", "期待本数", "期待額"};
    const double widths[] = {10, 30, 14, 14};
    for (int c = 1; c <= 4; ++c) {
        s.setText(c, 1, header[c - 1]);
        s.setColWidth(c, widths[c - 1]);
    }
    if (odds.tickets == 0)
        return s;
    double expectedAll = 0;
    for (int t = 1; t <= TierCount; ++t) {
        const std::size_t i = static_cast<std::size_t>(t - 1);
        s.setText(1, t + 1, TierNames[i]);
        s.setText(2, t + 1, oneInText(odds.atLeastOne[i]));
        s.setText(3, t + 1, fixedText(odds.expectedCount[i], 6));
        s.setText(
            4, t + 1, odds.expectedYen[i] > 0 ? fixedText(odds.expectedYen[i], 1) + "円" : "不明");
        expectedAll += odds.expectedCount[i];
    }
    s.setText(1, TierCount + 2, "いずれか");
    s.setText(2, TierCount + 2, oneInText(odds.atLeastOne[TierCount]));
    s.setText(3, TierCount + 2, fixedText(expectedAll, 6));
    s.setText(4, TierCount + 2, fixedText(odds.expectedReturn, 1) + "円");
    s.setText(1, TierCount + 3, "購入額");
    s.setText(2, TierCount + 3, yenText(odds.cost));
    s.setText(3, TierCount + 3, "還元率");
    s.setText(4, TierCount + 3,
        fixedText(odds.cost ? odds.expectedReturn / odds.cost * 100 : 0, 1) + "%");
    return s;
}

std::vector<std::string> oddsFacts(const TicketOdds &odds)
{
    std::vector<std::string> out{
        "Every distinct ticket has the same chance: 1 in 6,096,454 for 1等, whatever its numbers.",
        "A wheel changes only how wins cluster across its tickets, not their expected number.",
    };
    std::ostringstream o;
    o << "Expected return " << fixedText(odds.expectedReturn, 1) << " yen against a stake of "
      << odds.cost
      << " yen: " << fixedText(odds.cost ? odds.expectedReturn / odds.cost * 100 : 0, 1)
      << "% comes back on average";
    if (!odds.returnComplete)
        o << " (tiers without stored payouts count as 0)";
    out.push_back(o.str() + ".");
    out.push_back(odds.prizesPerTicket
            ? "Each ticket's expected prizes are its own: they depend on how many other players "
              "are expected to have chosen the same numbers, never on the chance of winning."
            : "Each tier's expected prize is the average payout of the stored draws.");
    if (odds.distinct < odds.tickets)
        out.push_back("Some tickets repeat: the repeats add to the prizes of a win, not to the "
                      "chance of winning.");
    return out;
}

std::string wheelGapText(const Wheel &w)
{
    const auto size = static_cast<long long>(w.tickets.size());
    std::string text;
    if (w.bestKnown)
        text = size == w.bestKnown
            ? "the best known size"
            : std::to_string(size - w.bestKnown) + " above the best known size";
    if (w.knownMinimum && size == w.knownMinimum)
        return text + (text.empty() ? "" : "; ") + "proven smallest";
    return text + (text.empty() ? "" : ", ")
        + (size == w.lowerBound ? "at the bound"
                                : std::to_string(size - w.lowerBound) + " above the bound");
}

std::string wheelSummary(const Wheel &w)
{
    std::ostringstream o;
    o << w.tickets.size() << " tickets, " << w.win << " if " << w.ifDrawn << " verified on every "
      << w.ifDrawn << "-subset of the pool, ";
    if (w.bestKnown)
        o << "best known " << w.bestKnown << ", ";
    o << "lower bound " << w.lowerBound << " (" << wheelGapText(w) << ") ("
      << fixedText(w.seconds, 2) << " s)";
    if (w.cancelled)
        o << "; the search was stopped early";
    return o.str();
}

} // namespace loto6::design
