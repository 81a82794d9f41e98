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

// Everything the frame of an analysis window needs: names, description, size in twips,
// print button, legend and the builder of its table, and the desktop's menu command that opens
// it (the command's object name, and its text when that is not the caption).
struct AnalysisInfo
{
    std::string_view name;      // command-line name
    std::string_view className; // window class name
    std::string_view caption;
    std::string_view description;
    int widthTwips;
    int heightTwips;
    bool printButton;
    std::span<const LegendItem> legend;
    Sheet (*build)(const DrawHistory &, const Totals &);
    std::string_view menuAction = {};
    std::string_view menuText = {}; // empty: the caption
};

std::span<const AnalysisInfo> analyses();
// By command-line name or class name; nullptr when unknown.
const AnalysisInfo *findAnalysis(std::string_view nameOrClass);

// Builds the table and names the sheet after the analysis.
Sheet buildAnalysis(const AnalysisInfo &info, const DrawHistory &history, const Totals &totals);

} // namespace loto6
