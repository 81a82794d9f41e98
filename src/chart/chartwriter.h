#pragma once

#include "chart/chart.h"

#include <ostream>
#include <string_view>

namespace loto6 {

// Output forms of a chart: the picture as SVG, and its data as CSV or JSON.
enum class ChartFormat { Svg, Csv, Json };

bool parseChartFormat(std::string_view name, ChartFormat &format);

// The SVG size of the command line's charts, in pixels.
inline constexpr double ChartSvgWidth = 1000;
inline constexpr double ChartSvgHeight = 640;

void writeChartSvg(std::ostream &out, const Chart &chart, double width = ChartSvgWidth,
    double height = ChartSvgHeight);
// One block per panel: its title, a header row, then one row per x with every series' value
// and every band's low and high.
void writeChartCsv(std::ostream &out, const Chart &chart);
void writeChartJson(std::ostream &out, const Chart &chart);
void writeChart(std::ostream &out, const Chart &chart, ChartFormat format);

} // namespace loto6
