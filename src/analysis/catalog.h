#pragma once

#include "grid/rgb.h"
#include "grid/sheet.h"
#include "store/drawhistory.h"
#include "store/totals.h"

#include <span>
#include <string_view>
#include <vector>

namespace loto6 {

// A colour mark of a window's legend and the label beside it.
struct LegendItem
{
    enum class Shape { Ball, Box };
    Shape shape;
    Rgb color;
    std::string_view label;
};

// An analysis: its names, description, legend and the builder of its table. How its window
// looks on the desktop (size, menu command, print button) is the desktop's own table.
struct AnalysisInfo
{
    std::string_view name;      // command-line name
    std::string_view className; // window class name
    std::string_view caption;
    std::string_view description;
    std::span<const LegendItem> legend;
    Sheet (*build)(const DrawHistory &, const Totals &);
};

std::span<const AnalysisInfo> analyses();
// By command-line name or class name; nullptr when unknown.
const AnalysisInfo *findAnalysis(std::string_view nameOrClass);

// Builds the table and names the sheet after the analysis.
Sheet buildAnalysis(const AnalysisInfo &info, const DrawHistory &history, const Totals &totals);

} // namespace loto6
