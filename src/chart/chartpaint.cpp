#include "chart/chartdraw.h"

#include <algorithm>
#include <cmath>

namespace loto6 {

namespace {

constexpr Rgb GridLine = rgb(225, 225, 225);
constexpr Rgb Ink = rgb(40, 40, 40);
constexpr Rgb Mark = rgb(220, 40, 40);

using Anchor = ChartCanvas::Anchor;

// Maps data onto one panel's plot.
struct Mapper
{
    const ChartPanelLayout &p;

    double x(double v) const { return p.x.map(v, p.plot.x, p.plot.x + p.plot.width); }
    double y(double v) const
    {
        const double clamped = std::clamp(v, p.y.min, p.y.max);
        return p.y.map(clamped, p.plot.y + p.plot.height, p.plot.y);
    }
    double slot() const { return p.plot.width / std::max(p.x.max - p.x.min, 1e-9); }
};

// Whether y lies beyond the band at x (never where the band has no value there).
bool outside(const ChartBand &band, double x, double y)
{
    for (std::size_t i = 0; i < band.x.size(); ++i)
        if (band.x[i] == x)
            return y < band.low[i] || y > band.high[i];
    return false;
}

void drawBand(ChartCanvas &canvas, const ChartPanel &panel, const ChartBand &band, const Mapper &m)
{
    if (panel.xAxis.isCategory()) {
        const double w = m.slot() * 0.8;
        for (std::size_t i = 0; i < band.x.size(); ++i) {
            const double top = m.y(band.high[i]), bottom = m.y(band.low[i]);
            canvas.fillRect(
                {m.x(band.x[i]) - w / 2, top, w, std::max(bottom - top, 1.0)}, band.color);
        }
        return;
    }
    std::vector<ChartPoint> outline;
    for (std::size_t i = 0; i < band.x.size(); ++i)
        outline.push_back({m.x(band.x[i]), m.y(band.high[i])});
    for (std::size_t i = band.x.size(); i-- > 0;)
        outline.push_back({m.x(band.x[i]), m.y(band.low[i])});
    if (outline.size() >= 3)
        canvas.polygon(outline, band.color);
}

// A line through the points, broken where a value is missing; steps hold each value until
// the next point.
void drawLine(
    ChartCanvas &canvas, const ChartSeries &s, const Mapper &m, const ChartCanvas::Pen &pen)
{
    std::vector<ChartPoint> run;
    const auto flush = [&] {
        if (run.size() >= 2)
            canvas.polyline(run, pen);
        run.clear();
    };
    for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i) {
        if (!std::isfinite(s.y[i])) {
            flush();
            continue;
        }
        if (s.mark == ChartSeries::Mark::Steps && !run.empty())
            run.push_back({m.x(s.x[i]), run.back().y});
        run.push_back({m.x(s.x[i]), m.y(s.y[i])});
    }
    flush();
}

void drawSeries(ChartCanvas &canvas, const ChartPanel &panel, const ChartSeries &s, const Mapper &m)
{
    const bool expected = s.role == ChartSeries::Role::Expected;
    const ChartCanvas::Pen pen{s.color, expected ? 1.5 : 2.0, expected};
    if (s.mark == ChartSeries::Mark::Bars) {
        const double w = std::max(m.slot() * 0.55, 1.0);
        const double base = m.y(std::max(0.0, m.p.y.min));
        for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i) {
            if (!std::isfinite(s.y[i]))
                continue;
            const double top = m.y(s.y[i]);
            const bool flagged = panel.flagOutside && !panel.bands.empty()
                && outside(panel.bands.front(), s.x[i], s.y[i]);
            canvas.fillRect(
                {m.x(s.x[i]) - w / 2, std::min(top, base), w, std::max(std::abs(base - top), 1.0)},
                flagged ? chartcolors::Outside : s.color);
        }
    } else if (s.mark == ChartSeries::Mark::Points) {
        // A short level mark across each category (or point).
        const double w = panel.xAxis.isCategory() ? m.slot() * 0.8 : 6;
        for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i)
            if (std::isfinite(s.y[i]))
                canvas.polyline(
                    {{m.x(s.x[i]) - w / 2, m.y(s.y[i])}, {m.x(s.x[i]) + w / 2, m.y(s.y[i])}},
                    {s.color, 2, false});
    } else {
        drawLine(canvas, s, m, pen);
        if (!panel.flagOutside || panel.bands.empty() || s.role != ChartSeries::Role::Observed)
            return;
        // Points beyond the band are marked.
        for (std::size_t i = 0; i < s.x.size() && i < s.y.size(); ++i)
            if (std::isfinite(s.y[i]) && outside(panel.bands.front(), s.x[i], s.y[i]))
                canvas.fillRect({m.x(s.x[i]) - 3, m.y(s.y[i]) - 3, 6, 6}, chartcolors::Outside);
    }
}

void drawAxes(ChartCanvas &canvas, const ChartPanel &panel, const ChartPanelLayout &p, double size)
{
    const Mapper m{p};
    const ChartRect &r = p.plot;
    for (double t : p.y.ticks) {
        if (t < p.y.min || t > p.y.max)
            continue;
        const double y = m.y(t);
        canvas.polyline({{r.x, y}, {r.x + r.width, y}}, {GridLine, 1, false});
        canvas.text(r.x - 4, y + size * 0.35, tickText(t, p.y.step), size * 0.9, Ink, Anchor::End);
    }
    const double below = r.y + r.height + size * 1.2;
    if (panel.xAxis.isCategory()) {
        const bool upright = p.labelEvery == 1
            && canvas.textWidth(panel.xAxis.categories.front(), size * 0.9) > m.slot();
        for (std::size_t i = 0; i < panel.xAxis.categories.size();
             i += static_cast<std::size_t>(p.labelEvery)) {
            const double x = m.x(static_cast<double>(i));
            if (upright)
                canvas.text(x + size * 0.35, r.y + r.height + 4,
                    elided(canvas, panel.xAxis.categories[i], size * 0.9, p.labelRoom), size * 0.9,
                    Ink, Anchor::End, true);
            else
                canvas.text(x, below, panel.xAxis.categories[i], size * 0.9, Ink, Anchor::Middle);
        }
    } else {
        for (double t : p.x.ticks) {
            const double x = m.x(t);
            canvas.polyline({{x, r.y + r.height}, {x, r.y + r.height + 4}}, {Ink, 1, false});
            canvas.text(x, below, tickText(t, p.x.step), size * 0.9, Ink, Anchor::Middle);
        }
    }
    canvas.polyline({{r.x, r.y}, {r.x, r.y + r.height}, {r.x + r.width, r.y + r.height},
                        {r.x + r.width, r.y}, {r.x, r.y}},
        {Ink, 1, false});
    canvas.text(r.x - size * 0.4 - canvas.textWidth(tickText(p.y.max, p.y.step), size) - 8,
        r.y + r.height / 2, axisTitle(panel.yAxis), size * 0.9, Ink, Anchor::Middle, true);
    canvas.text(r.x + r.width, r.y - 4, axisTitle(panel.xAxis), size * 0.9, Ink, Anchor::End);
}

void drawPanel(ChartCanvas &canvas, const ChartPanel &panel, const ChartPanelLayout &p, double size)
{
    const Mapper m{p};
    if (!panel.title.empty())
        canvas.text(p.plot.x, p.plot.y - 6, panel.title, size, Ink, Anchor::Start, false, true);
    for (const ChartBand &band : panel.bands)
        drawBand(canvas, panel, band, m);
    drawAxes(canvas, panel, p, size);
    if (p.y.min < 0 && p.y.max > 0)
        canvas.polyline({{p.plot.x, m.y(0)}, {p.plot.x + p.plot.width, m.y(0)}}, {Ink, 1, false});
    for (const ChartSeries &s : panel.series)
        drawSeries(canvas, panel, s, m);
    if (std::isfinite(panel.markedX))
        canvas.polyline(
            {{m.x(panel.markedX), p.plot.y}, {m.x(panel.markedX), p.plot.y + p.plot.height}},
            {Mark, 1.5, false});
}

} // namespace

ChartLayout drawChart(const Chart &chart, ChartCanvas &canvas, double width, double height)
{
    const ChartLayout layout = layoutChart(chart, canvas, width, height);
    const double size = layout.fontSize;
    canvas.fillRect({0, 0, width, height}, colors::white);
    canvas.text(14, 14 + size * 1.1, chart.title, size * 1.2, Ink, Anchor::Start, false, true);
    for (const ChartLegendEntry &e : layout.legend) {
        if (e.line)
            canvas.polyline(
                {{e.x, e.y - size * 0.35}, {e.x + 18, e.y - size * 0.35}}, {e.color, 2, e.dashed});
        else
            canvas.fillRect({e.x, e.y - size * 0.8, 18, size * 0.8}, e.color);
        canvas.text(e.x + 22, e.y, e.name, size, Ink, Anchor::Start);
    }
    for (std::size_t i = 0; i < chart.panels.size() && i < layout.panels.size(); ++i)
        drawPanel(canvas, chart.panels[i], layout.panels[i], size);
    double y = height - 14 - static_cast<double>(layout.noteLines.size()) * size * 1.4 + size;
    for (const std::string &line : layout.noteLines) {
        canvas.text(14, y, line, size * 0.95, Ink, Anchor::Start);
        y += size * 1.4;
    }
    return layout;
}

} // namespace loto6
