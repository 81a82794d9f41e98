#include "chart/chartbuilders.h"
#include "prediction/backtestreport.h"

#include <limits>

namespace loto6 {

Chart backtestChart(const BacktestReport &report, int markedShift)
{
    Chart c;
    c.name = "backtest";
    c.caption = "一致数平均のグラフ";
    c.title = "シフトごとの一致数の平均と、無作為に選んだ場合";
    c.note
        = "実線は各シフトの予想が当選番号と一致した数の平均、破線は同じ個数を無作為に選んだ場合の"
          "期待値、帯はその95%の範囲です。縦線は選んだシフトで、グラフをクリックするとシフトを"
          "選べます。";
    for (int m = Backtest::Elimination; m <= Backtest::OneShot; ++m) {
        const auto method = static_cast<Backtest::Method>(m);
        ChartPanel panel;
        panel.title = std::string(Backtest::title(method));
        ChartBand band{"無作為の95%", 0.95, chartcolors::Band, {}, {}, {}};
        ChartSeries seen{"一致数の平均", ChartSeries::Role::Observed, ChartSeries::Mark::Line,
            chartcolors::Observed, {}, report.observedMeans(method)};
        ChartSeries expected{"無作為での期待値", ChartSeries::Role::Expected,
            ChartSeries::Mark::Line, chartcolors::Expected, {}, report.expectedMeans(method)};
        for (int shift = 0; shift < Backtest::ShiftCount; ++shift) {
            const auto x = static_cast<double>(shift);
            const BacktestReport::Result *r = report.find(method, shift);
            band.x.push_back(x);
            band.low.push_back(r ? r->rangeLow : std::numeric_limits<double>::quiet_NaN());
            band.high.push_back(r ? r->rangeHigh : std::numeric_limits<double>::quiet_NaN());
        }
        seen.x.resize(seen.y.size());
        expected.x.resize(expected.y.size());
        for (std::size_t i = 0; i < seen.x.size(); ++i)
            seen.x[i] = static_cast<double>(i);
        for (std::size_t i = 0; i < expected.x.size(); ++i)
            expected.x[i] = static_cast<double>(i);
        panel.bands.push_back(std::move(band));
        panel.series = {std::move(seen), std::move(expected)};
        panel.flagOutside = true;
        panel.xAxis.label = "シフト";
        panel.yAxis.label = "一致数";
        panel.yAxis.unit = "個";
        panel.markedX = markedShift >= 0 ? markedShift : std::numeric_limits<double>::quiet_NaN();
        c.panels.push_back(std::move(panel));
    }
    return c;
}

} // namespace loto6
