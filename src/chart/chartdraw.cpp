#include "chart/chartdraw.h"

#include "grid/numbertext.h"
#include "grid/sheetwriter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace loto6 {

namespace {

constexpr double Margin = 14;
// Upright category labels take at most this share of a panel's height; longer ones are cut.
constexpr double UprightShare = 0.3;

std::size_t utf8Length(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Splits a text into lines no wider than `width`, between any two characters.
std::vector<std::string> wrap(
    const ChartCanvas &canvas, std::string_view text, double size, double width)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n
            = std::min(utf8Length(static_cast<unsigned char>(text[i])), text.size() - i);
        const std::string_view ch = text.substr(i, n);
        if (!line.empty() && canvas.textWidth(line + std::string(ch), size) > width) {
            lines.push_back(std::move(line));
            line.clear();
        }
        line += ch;
        i += n;
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

bool finite(double v) { return std::isfinite(v); }

// The data range of a panel's values along y, with the axis's own limits.
std::pair<double, double> yRange(const ChartPanel &panel)
{
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    const auto take = [&](double v) {
        if (finite(v)) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    };
    for (const ChartSeries &s : panel.series)
        std::for_each(s.y.begin(), s.y.end(), take);
    for (const ChartBand &b : panel.bands) {
        std::for_each(b.low.begin(), b.low.end(), take);
        std::for_each(b.high.begin(), b.high.end(), take);
    }
    if (finite(panel.yAxis.min))
        lo = panel.yAxis.min;
    if (finite(panel.yAxis.max))
        hi = panel.yAxis.max;
    if (!(lo <= hi))
        return {0, 1};
    return {lo, hi};
}

std::pair<double, double> xRange(const ChartPanel &panel)
{
    if (panel.xAxis.isCategory())
        return {-0.5, static_cast<double>(panel.xAxis.categories.size()) - 0.5};
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (const ChartSeries &s : panel.series)
        for (double v : s.x)
            if (finite(v)) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
    if (!(lo <= hi))
        return {0, 1};
    return {lo, hi == lo ? lo + 1 : hi};
}

double categoryLabelWidth(const ChartCanvas &canvas, const ChartAxis &axis, double size)
{
    double w = 0;
    for (const std::string &c : axis.categories)
        w = std::max(w, canvas.textWidth(c, size));
    return w;
}

} // namespace

std::vector<ChartLegendEntry> legendEntries(
    const Chart &chart, const ChartCanvas &canvas, double top, double width, double size)
{
    std::vector<ChartLegendEntry> entries;
    if (chart.panels.empty())
        return entries;
    double x = Margin, y = top + size * 1.2;
    const auto add = [&](const std::string &name, Rgb color, bool line, bool dashed) {
        // Panels that repeat a band or series of an earlier one add nothing.
        for (const ChartLegendEntry &e : entries)
            if (e.name == name && e.color == color)
                return;
        const double w = 22 + canvas.textWidth(name, size) + 16;
        if (x + w > width - Margin && x > Margin) {
            x = Margin;
            y += size * 1.5;
        }
        entries.push_back({x, y, name, color, line, dashed});
        x += w;
    };
    for (const ChartPanel &panel : chart.panels) {
        for (const ChartBand &b : panel.bands)
            add(b.name, b.color, false, false);
        for (const ChartSeries &s : panel.series)
            add(s.name, s.color, s.mark != ChartSeries::Mark::Bars,
                s.role == ChartSeries::Role::Expected && s.mark != ChartSeries::Mark::Points);
    }
    return entries;
}

std::string elided(const ChartCanvas &canvas, std::string_view text, double size, double width)
{
    if (canvas.textWidth(text, size) <= width)
        return std::string(text);
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n
            = std::min(utf8Length(static_cast<unsigned char>(text[i])), text.size() - i);
        if (canvas.textWidth(out + std::string(text.substr(i, n)) + "…", size) > width)
            break;
        out += text.substr(i, n);
        i += n;
    }
    return out + "…";
}

std::string axisTitle(const ChartAxis &axis)
{
    return axis.unit.empty() ? axis.label : axis.label + "（" + axis.unit + "）";
}

double ChartCanvas::textWidth(std::string_view text, double size) const
{
    return static_cast<double>(displayWidth(text)) * size * 0.55;
}

ChartScale niceScale(double lo, double hi, int count, double minStep)
{
    ChartScale s;
    if (!(hi > lo))
        hi = lo + 1;
    const double raw = (hi - lo) / std::max(count, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = magnitude;
    for (double f : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (f * magnitude >= raw) {
            step = f * magnitude;
            break;
        }
    step = std::max(step, minStep);
    s.step = step;
    s.min = std::floor(lo / step + 1e-9) * step;
    s.max = std::ceil(hi / step - 1e-9) * step;
    for (double v = s.min; v <= s.max + step * 1e-6; v += step)
        s.ticks.push_back(std::abs(v) < step * 1e-9 ? 0.0 : v);
    return s;
}

std::string tickText(double value, double step)
{
    int decimals = 0;
    while (decimals < 6
        && std::abs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals)))
            > 1e-6)
        ++decimals;
    if (decimals == 0)
        return groupedText(static_cast<long long>(std::llround(value)));
    return fixedText(value, decimals);
}

ChartLayout layoutChart(const Chart &chart, const ChartCanvas &canvas, double width, double height)
{
    ChartLayout layout;
    layout.width = width;
    layout.height = height;
    const double size = layout.fontSize = std::clamp(std::min(width / 80, height / 45), 10.0, 16.0);
    layout.noteLines = wrap(canvas, chart.note, size, width - 2 * Margin);
    layout.legend = legendEntries(chart, canvas, Margin + size * 1.4, width, size);
    const double top = layout.legend.empty() ? Margin + size * 2 : layout.legend.back().y + size;
    const double bottom
        = height - Margin - static_cast<double>(layout.noteLines.size()) * size * 1.4;
    const double each = (bottom - top) / std::max<std::size_t>(chart.panels.size(), 1);
    for (std::size_t i = 0; i < chart.panels.size(); ++i) {
        const ChartPanel &panel = chart.panels[i];
        ChartPanelLayout p;
        p.labelRoom = each * UprightShare;
        const auto [ylo, yhi] = yRange(panel);
        p.y = niceScale(ylo, yhi, 5);
        if (finite(panel.yAxis.min))
            p.y.min = panel.yAxis.min;
        if (finite(panel.yAxis.max))
            p.y.max = panel.yAxis.max;
        double tickWidth = 0;
        for (double t : p.y.ticks)
            tickWidth = std::max(tickWidth, canvas.textWidth(tickText(t, p.y.step), size));
        const double left = Margin + size * 1.6 + tickWidth + 6;
        const double right = width - Margin - 6;
        const double plotWidth = std::max(right - left, 10.0);
        double below = size * 1.4 + size * 1.6; // tick labels and the axis title
        if (panel.xAxis.isCategory()) {
            const double slot = plotWidth / static_cast<double>(panel.xAxis.categories.size());
            const double label = categoryLabelWidth(canvas, panel.xAxis, size * 0.9);
            // Labels too wide for their slot stand upright under the axis.
            if (label > slot * 3)
                below = std::min(label, each * UprightShare) + size * 1.6 + 8;
            else
                p.labelEvery = std::max(1, static_cast<int>(std::ceil((label + 4) / slot)));
            p.x = ChartScale{-0.5, static_cast<double>(panel.xAxis.categories.size()) - 0.5, 1, {}};
        } else {
            // Plain names, not a structured binding: the lambda below captures them.
            const auto range = xRange(panel);
            const double xlo = range.first, xhi = range.second;
            p.x = niceScale(xlo, xhi, std::max(2, static_cast<int>(plotWidth / (size * 7))),
                panel.xAxis.wholeNumbers ? 1.0 : 0.0);
            p.x.min = xlo;
            p.x.max = xhi;
            std::erase_if(p.x.ticks, [&](double t) { return t < xlo || t > xhi; });
        }
        const double panelTop
            = top + each * static_cast<double>(i) + (panel.title.empty() ? 4 : size * 1.5);
        const double plotHeight
            = std::max(top + each * static_cast<double>(i + 1) - below - panelTop, 10.0);
        p.plot = {left, panelTop, plotWidth, plotHeight};
        layout.panels.push_back(p);
    }
    return layout;
}

} // namespace loto6
