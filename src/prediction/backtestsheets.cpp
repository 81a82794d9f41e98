#include "prediction/backtestsheets.h"

#include "grid/numbertext.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace loto6 {

namespace {

using Result = BacktestReport::Result;

std::string general(double v)
{
    if (std::isnan(v))
        return "";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

std::string fixed(double v, int decimals) { return fixedText(v, decimals); }

// Below 1e-12 the rounding of the law's tails is larger than the value itself.
std::string pText(double p) { return pValueText(p, 1e-12); }

std::string shiftText(const Result &r)
{
    return r.shift < 0 ? std::string("共通") : std::to_string(r.shift);
}

std::string judgement(const Result &r)
{
    if (!r.available())
        return "—";
    if (r.better())
        return "偶然より良い";
    if (r.worse())
        return "偶然より悪い";
    return "区別できない";
}

std::vector<const Result *> shown(const BacktestReport &report, std::span<const int> shifts)
{
    std::vector<const Result *> out;
    for (int m = Backtest::Cycle7; m <= Backtest::Cycle12; ++m)
        if (const Result *r = report.find(static_cast<Backtest::Method>(m), -1))
            out.push_back(r);
    for (int s : shifts)
        for (int m = Backtest::Elimination; m <= Backtest::OneShot; ++m)
            if (const Result *r = report.find(static_cast<Backtest::Method>(m), s))
                out.push_back(r);
    return out;
}

// A sheet of text cells, centred except the first column, with thin light-blue lines.
Sheet plainSheet(std::string_view name, std::string_view caption, int cols, int rows)
{
    Sheet s{std::string(name), std::string(caption)};
    s.prepare(cols, rows, cols, std::min(rows, 40), 12, 9);
    s.setFrozen(1, 1);
    s.selectCell(1, -1);
    s.setHAlign(HAlign::Left);
    return s;
}

void header(Sheet &s, int row, int cols)
{
    s.setColors(1, row, cols, row, colors::black, colors::lightPink);
}

} // namespace

std::string switchList(const PredictionOptions &options)
{
    std::string out;
    for (int i = 0; i < PredictionOptions::Count; ++i)
        if (options.on[static_cast<std::size_t>(i)]) {
            if (!out.empty())
                out += "、";
            out += PredictionOptions::name(i);
        }
    return out.empty() ? std::string("なし") : out;
}

Sheet backtestSheet(const BacktestReport &report, std::span<const int> shifts)
{
    constexpr int Cols = 11;
    const std::vector<const Result *> results = shown(report, shifts);
    const std::vector<std::string> notes = {
        "第" + std::to_string(report.firstDrawNo) + "回から第" + std::to_string(report.lastDrawNo)
            + "回までの" + std::to_string(report.draws) + "回（" + std::to_string(report.from)
            + "回目以降の完全な回）を、その回より前の回だけを読み込んだときの予想で検証しました。",
        "期待値と95%範囲は、各回の予想と同じ個数の数字を1～43からランダムに選んだ場合のものです。",
        report.pValueMethod,
        report.verdict,
    };
    const int resultRows = static_cast<int>(results.size());
    const int rows = 1 + resultRows + 1 + static_cast<int>(notes.size());

    Sheet s = plainSheet(BacktestSheetName, BacktestCaption, Cols, rows);
    const double widths[Cols] = {12, 6, 8, 10, 10, 12, 14, 10, 12, 14, 90};
    for (int c = 1; c <= Cols; ++c)
        s.setColWidth(c, widths[c - 1]);
    s.selectBlock(Cols, 1, Cols, rows);
    s.setHAlign(HAlign::Left);
    s.endBlock();

    static constexpr const char *Header[Cols] = {"手法", "シフト", "検証回数", "平均予想数",
        "一致数平均", "偶然の期待値", "偶然の95%範囲", "p値", "Holm補正p値", "判定", "説明"};
    for (int c = 1; c <= Cols; ++c)
        s.setText(c, 1, Header[c - 1]);
    header(s, 1, Cols);
    s.setBorder(1, 1, Cols, 1 + resultRows, border::AllSides, colors::lightBlue);

    int row = 2;
    for (const Result *r : results) {
        s.setText(1, row, r->title);
        s.setText(2, row, shiftText(*r));
        s.setText(3, row, r->draws);
        s.setText(4, row, fixed(r->draws ? static_cast<double>(r->picks) / r->draws : NAN, 2));
        s.setText(5, row, fixed(r->observedMean, 3));
        s.setText(6, row, fixed(r->expectedMean, 3));
        s.setText(7, row, fixed(r->rangeLow, 3) + "～" + fixed(r->rangeHigh, 3));
        s.setText(8, row, pText(r->pValue));
        s.setText(9, row, pText(r->adjustedP));
        s.setText(10, row, judgement(*r));
        s.setText(11, row, r->verdict);
        s.setBackColor(1, row, 1, row, colors::lightYellow);
        if (r->notable)
            s.setColors(10, row, 10, row, colors::red, colors::lightMagenta);
        ++row;
    }
    // The notes stand in the first column and run on over the empty cells to their right.
    s.setAllowOverflow(true);
    ++row;
    for (const std::string &note : notes)
        s.setText(1, row++, "注　" + note);
    return s;
}

Sheet backtestMatchesSheet(const BacktestReport &report, std::span<const int> shifts)
{
    constexpr int Counts = BacktestReport::MaxMatches + 1;
    constexpr int Cols = 2 + 2 * (Counts + 1);
    const std::vector<const Result *> results = shown(report, shifts);
    const int rows = 2 + static_cast<int>(results.size());
    Sheet s = plainSheet("backtest-matches", "一致数の内訳（実測と偶然の期待回数）", Cols, rows);
    s.setFrozen(2, 2);
    s.setColWidth(1, 12);

    s.setText(1, 1, "手法");
    s.setText(2, 1, "シフト");
    for (int m = 0; m <= Counts; ++m) {
        const int c = 3 + 2 * m;
        s.setText(c, 1, m < Counts ? "一致" + std::to_string(m) + "個" : std::string("合計"));
        s.setText(c, 2, "実測");
        s.setText(c + 1, 2, "期待");
    }
    header(s, 1, Cols);
    header(s, 2, Cols);
    s.setBorder(1, 1, Cols, rows, border::AllSides, colors::lightBlue);

    int row = 3;
    for (const Result *r : results) {
        s.setText(1, row, r->title);
        s.setText(2, row, shiftText(*r));
        double expectedTotal = 0;
        for (int m = 0; m < Counts; ++m) {
            s.setText(3 + 2 * m, row, r->observedCounts[static_cast<std::size_t>(m)]);
            s.setText(4 + 2 * m, row, fixed(r->expectedCounts[static_cast<std::size_t>(m)], 2));
            expectedTotal += r->expectedCounts[static_cast<std::size_t>(m)];
        }
        s.setText(3 + 2 * Counts, row, r->draws);
        s.setText(4 + 2 * Counts, row, fixed(expectedTotal, 2));
        s.setBackColor(1, row, 1, row, colors::lightYellow);
        ++row;
    }
    return s;
}

namespace {

// The yen won in a prize class: the known amounts, and how many wins had no stored payout.
std::string wonText(int wins, long long yen, int unknown)
{
    if (wins == 0)
        return "";
    if (unknown == wins)
        return "不明";
    return unknown ? yenText(yen) + "＋不明" + std::to_string(unknown) + "回" : yenText(yen);
}

// One shift's row of the prize table: per class observed, yen and expected, then the total.
void writePrizeRow(Sheet &s, int row, const Result &r)
{
    constexpr int Classes = BacktestReport::PrizeClasses;
    s.setText(2, row, r.draws);
    s.setText(3, row, r.tickets);
    int won = 0;
    int unknown = 0;
    long long yen = 0;
    double expectedWon = 0;
    for (int c = 0; c < Classes; ++c) {
        const auto i = static_cast<std::size_t>(c);
        s.setText(4 + 3 * c, row, r.observedPrizes[i]);
        s.setText(5 + 3 * c, row, wonText(r.observedPrizes[i], r.prizeYen[i], r.unknownPrizes[i]));
        s.setText(6 + 3 * c, row, fixed(r.expectedPrizes[i], c < 3 ? 4 : 2));
        won += r.observedPrizes[i];
        unknown += r.unknownPrizes[i];
        yen += r.prizeYen[i];
        expectedWon += r.expectedPrizes[i];
    }
    s.setText(4 + 3 * Classes, row, won);
    s.setText(5 + 3 * Classes, row, wonText(won, yen, unknown));
    s.setText(6 + 3 * Classes, row, fixed(expectedWon, 2));
}

} // namespace

Sheet backtestPrizesSheet(const BacktestReport &report, std::span<const int> shifts)
{
    constexpr int Classes = BacktestReport::PrizeClasses;
    constexpr int Cols = 3 + 3 * (Classes + 1);
    const int rows = 2 + static_cast<int>(shifts.size());
    Sheet s = plainSheet("backtest-prizes",
        "１発予想の当選等級（実測、払戻金の分かる回の当せん金、偶然の期待回数）", Cols, rows);
    s.setColWidth(3, 12);
    for (int c = 0; c <= Classes; ++c)
        s.setColWidth(5 + 3 * c, 16);
    s.setFrozen(1, 2);

    s.setText(1, 1, "シフト");
    s.setText(2, 1, "検証回数");
    s.setText(3, 1, "6個そろった回");
    for (int c = 0; c <= Classes; ++c) {
        const int col = 4 + 3 * c;
        // Each tier's heading stands centred over its three columns, in the middle one.
        s.setText(col + 1, 1, c < Classes ? std::to_string(c + 1) + "等" : std::string("当選計"));
        s.setText(col, 2, "実測");
        s.setText(col + 1, 2, "当せん金");
        s.setText(col + 2, 2, "期待");
    }
    header(s, 1, Cols);
    header(s, 2, Cols);
    s.setBorder(1, 1, Cols, rows, border::AllSides, colors::lightBlue);
    for (int c = 0; c <= Classes; ++c) {
        s.selectBlock(4 + 3 * c, 1, 6 + 3 * c, 1);
        s.removeBorder(border::AllSides);
        s.setBorder(border::Outline, BorderStyle::ThinSolid, colors::lightBlue);
        s.setHAlign(HAlign::Center);
        s.endBlock();
    }

    int row = 3;
    for (int shift : shifts) {
        const Result *r = report.find(Backtest::OneShot, shift);
        if (!r)
            continue;
        s.setText(1, row, std::to_string(shift));
        writePrizeRow(s, row, *r);
        s.setBackColor(1, row, 1, row, colors::lightYellow);
        ++row;
    }
    return s;
}

Sheet backtestShiftsSheet(const BacktestReport &report, std::span<const int> shifts)
{
    constexpr int Cols = 9;
    const int rows = 2 + static_cast<int>(shifts.size());
    Sheet s = plainSheet("backtest-shifts", "シフトとスイッチ、シフトごとの一致数平均", Cols, rows);
    s.setFrozen(1, 2);
    s.setColWidth(3, 60);
    s.selectBlock(3, 3, 3, rows);
    s.setHAlign(HAlign::Left);
    s.endBlock();

    s.setText(1, 1, "シフト");
    s.setText(2, 1, "設定の数");
    s.setText(3, 1, "例（反映するスイッチ）");
    const Backtest::Method methods[]
        = {Backtest::Elimination, Backtest::Consecutive, Backtest::OneShot};
    for (int i = 0; i < 3; ++i) {
        s.setText(4 + 2 * i, 1, std::string(Backtest::title(methods[i])));
        s.setText(4 + 2 * i, 2, "一致数平均");
        s.setText(5 + 2 * i, 2, "偶然の期待値");
    }
    s.setText(2, 2, "4096通り中");
    header(s, 1, Cols);
    header(s, 2, Cols);
    s.setBorder(1, 1, Cols, rows, border::AllSides, colors::lightBlue);

    int row = 3;
    for (int shift : shifts) {
        const Backtest::ShiftSettings settings = Backtest::settingsFor(shift);
        s.setText(1, row, std::to_string(shift));
        s.setText(2, row, settings.settings);
        s.setText(3, row, switchList(settings.example));
        for (int i = 0; i < 3; ++i)
            if (const Result *r = report.find(methods[i], shift)) {
                s.setText(4 + 2 * i, row, fixed(r->observedMean, 3));
                s.setText(5 + 2 * i, row, fixed(r->expectedMean, 3));
            }
        s.setBackColor(1, row, 1, row, colors::lightYellow);
        ++row;
    }
    return s;
}

std::vector<Sheet> backtestSheets(const BacktestReport &report, std::span<const int> shifts)
{
    return {backtestSheet(report, shifts), backtestMatchesSheet(report, shifts),
        backtestPrizesSheet(report, shifts), backtestShiftsSheet(report, shifts)};
}

Sheet backtestDataSheet(const BacktestReport &report, std::span<const int> shifts)
{
    std::vector<std::string> head
        = {"method", "title", "shift", "draws", "mean_picks", "observed_mean", "expected_mean",
            "range95_low", "range95_high", "p_value", "holm_p", "judgement", "verdict"};
    for (int m = 0; m <= BacktestReport::MaxMatches; ++m)
        head.push_back("observed_m" + std::to_string(m));
    for (int m = 0; m <= BacktestReport::MaxMatches; ++m)
        head.push_back("expected_m" + std::to_string(m));
    head.push_back("tickets");
    for (int c = 1; c <= BacktestReport::PrizeClasses; ++c)
        head.push_back("observed_prize" + std::to_string(c));
    for (int c = 1; c <= BacktestReport::PrizeClasses; ++c)
        head.push_back("expected_prize" + std::to_string(c));
    for (int c = 1; c <= BacktestReport::PrizeClasses; ++c)
        head.push_back("prize_yen" + std::to_string(c));
    for (int c = 1; c <= BacktestReport::PrizeClasses; ++c)
        head.push_back("unknown_prize" + std::to_string(c));

    const std::vector<const Result *> results = shown(report, shifts);
    const int cols = static_cast<int>(head.size());
    Sheet s{"backtest-data", std::string(BacktestCaption)};
    s.setSize(cols, 1 + static_cast<int>(results.size()));
    for (int c = 1; c <= cols; ++c)
        s.setText(c, 1, head[static_cast<std::size_t>(c - 1)]);
    int row = 2;
    for (const Result *r : results) {
        int c = 1;
        const auto put = [&](const std::string &t) { s.setText(c++, row, t); };
        put(r->key);
        put(r->title);
        put(r->shift < 0 ? std::string() : std::to_string(r->shift));
        put(std::to_string(r->draws));
        put(general(r->draws ? static_cast<double>(r->picks) / r->draws : NAN));
        put(general(r->observedMean));
        put(general(r->expectedMean));
        put(general(r->rangeLow));
        put(general(r->rangeHigh));
        put(general(r->pValue));
        put(general(r->adjustedP));
        put(!r->available() ? "none" : r->better() ? "better" : r->worse() ? "worse" : "same");
        put(r->verdict);
        for (int v : r->observedCounts)
            put(std::to_string(v));
        for (double v : r->expectedCounts)
            put(general(v));
        if (r->hasPrizes) {
            put(std::to_string(r->tickets));
            for (int v : r->observedPrizes)
                put(std::to_string(v));
            for (double v : r->expectedPrizes)
                put(general(v));
            for (long long v : r->prizeYen)
                put(std::to_string(v));
            for (int v : r->unknownPrizes)
                put(std::to_string(v));
        }
        ++row;
    }
    return s;
}

} // namespace loto6
