#pragma once

#include "grid/rgb.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace loto6 {

// An axis: its label and unit, and either a numeric range or one category per index
// (numbers 01..43, patterns, tests), in which case the values along it are the indices.
struct ChartAxis
{
    std::string label;
    std::string unit;
    std::vector<std::string> categories;
    // Range shown; NaN takes it from the data.
    double min = std::numeric_limits<double>::quiet_NaN();
    double max = std::numeric_limits<double>::quiet_NaN();
    // The values are draw numbers or counts: ticks fall on whole numbers only.
    bool wholeNumbers = false;

    bool isCategory() const { return !categories.empty(); }
};

// One set of points. The observed figures are bars or a line; the exact expectation under fair
// draws is a dashed line; a reference is a thin line (a threshold, a cost).
struct ChartSeries
{
    enum class Role { Observed, Expected, Reference };
    enum class Mark { Bars, Line, Steps, Points };

    std::string name;
    Role role = Role::Observed;
    Mark mark = Mark::Line;
    Rgb color{};
    std::vector<double> x;
    std::vector<double> y;
};

// Where chance alone puts a figure with the given probability, point by point along x.
struct ChartBand
{
    std::string name;
    double probability = 0.95;
    Rgb color{};
    std::vector<double> x;
    std::vector<double> low;
    std::vector<double> high;
};

// One plot: bands first (widest first), then the series over them; a marked x (the chosen
// shift of the prediction check) is drawn as a vertical line.
struct ChartPanel
{
    std::string title;
    ChartAxis xAxis;
    ChartAxis yAxis;
    std::vector<ChartBand> bands;
    std::vector<ChartSeries> series;
    double markedX = std::numeric_limits<double>::quiet_NaN();
    // Points beyond their band are drawn in this colour where the panel says so.
    bool flagOutside = false;
};

// A chart: data only, drawn alike by the desktop's view and the SVG writer.
struct Chart
{
    std::string name;    // command-line name
    std::string caption; // window and file title
    std::string title;   // heading over the plots, with the history's range
    std::string note;    // how to read it, under the plots
    std::vector<ChartPanel> panels;
};

namespace chartcolors {
inline constexpr Rgb Observed = rgb(31, 100, 180);
inline constexpr Rgb Secondary = rgb(214, 96, 39);
inline constexpr Rgb Expected = rgb(40, 40, 40);
inline constexpr Rgb Band = rgb(200, 222, 245);
inline constexpr Rgb WideBand = rgb(232, 240, 250);
inline constexpr Rgb Outside = rgb(200, 30, 30);
inline constexpr Rgb Reference = rgb(120, 120, 120);
} // namespace chartcolors

} // namespace loto6
