#pragma once

#include "chart/chart.h"

#include <string_view>
#include <vector>

namespace loto6 {

struct ChartPoint
{
    double x = 0;
    double y = 0;
};

struct ChartRect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    bool contains(double px, double py) const
    {
        return px >= x && px <= x + width && py >= y && py <= y + height;
    }
};

// What a chart is drawn on: the SVG writer and the desktop's painter each implement these few
// strokes, and drawChart() makes the same picture on both.
class ChartCanvas
{
public:
    enum class Anchor { Start, Middle, End };
    struct Pen
    {
        Rgb color = 0;
        double width = 1;
        bool dashed = false;
    };

    virtual ~ChartCanvas() = default;
    virtual void fillRect(const ChartRect &r, Rgb fill) = 0;
    virtual void polygon(const std::vector<ChartPoint> &points, Rgb fill) = 0;
    virtual void polyline(const std::vector<ChartPoint> &points, const Pen &pen) = 0;
    // Text on a baseline at (x, y); a vertical text reads upwards, its baseline through x.
    virtual void text(double x, double y, std::string_view text, double size, Rgb color,
        Anchor anchor, bool vertical = false, bool bold = false)
        = 0;
    // Width of a text at the size; the default counts wide characters as one em, others half.
    virtual double textWidth(std::string_view text, double size) const;
};

// A mapping of data values onto pixels along one axis, with the values of its tick marks.
struct ChartScale
{
    double min = 0;
    double max = 1;
    double step = 1;
    std::vector<double> ticks;

    double map(double value, double from, double to) const
    {
        return max == min ? from : from + (value - min) / (max - min) * (to - from);
    }
    double unmap(double pixel, double from, double to) const
    {
        return to == from ? min : min + (pixel - from) / (to - from) * (max - min);
    }
};

// Where each panel's plot lies and how its values map onto it.
struct ChartPanelLayout
{
    ChartRect plot;
    ChartScale x;
    ChartScale y;
    int labelEvery = 1;   // on a category axis: every n-th label is written
    double labelRoom = 0; // the length an upright category label may take
};

// A swatch of the legend and its name, on a baseline at (x, y).
struct ChartLegendEntry
{
    double x = 0;
    double y = 0;
    std::string name;
    Rgb color = 0;
    bool line = false;
    bool dashed = false;
};

struct ChartLayout
{
    double width = 0;
    double height = 0;
    double fontSize = 12;
    std::vector<ChartLegendEntry> legend;
    std::vector<std::string> noteLines;
    std::vector<ChartPanelLayout> panels;
};

// The text cut with "…" to fit the width.
std::string elided(const ChartCanvas &canvas, std::string_view text, double size, double width);
// "label（unit）", or the label alone.
std::string axisTitle(const ChartAxis &axis);

// Round tick values covering lo..hi with about `count` steps.
ChartScale niceScale(double lo, double hi, int count, double minStep = 0);
// A tick value as text: grouped digits, with the decimals its step needs.
std::string tickText(double value, double step);

// The legend under the title: every band and series of every panel, each name and colour
// once, wrapped to the width.
std::vector<ChartLegendEntry> legendEntries(
    const Chart &chart, const ChartCanvas &canvas, double top, double width, double size);

ChartLayout layoutChart(const Chart &chart, const ChartCanvas &canvas, double width, double height);
// Draws the whole chart on a canvas of that size, white background included; returns the
// layout it used (the desktop's view finds a click's panel and value with it).
ChartLayout drawChart(const Chart &chart, ChartCanvas &canvas, double width, double height);

} // namespace loto6
