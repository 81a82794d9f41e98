#pragma once

#include <vector>

namespace loto6 {

// How sheets are cut into printed pages, in layout units (1/96 inch at full size); no drawing.

// A run of rows or columns, first to last from 1; empty when last < first.
struct Span
{
    int first = 1;
    int last = 0;
    int count() const { return last - first + 1; }
    bool operator==(const Span &) const = default;
};

// Splits the items after the first `repeated` ones into consecutive runs, each as long as fits
// in room (the room left beside the repeated items); an item larger than room gets a run of its
// own. Nothing to split gives no run.
std::vector<Span> splitRuns(const std::vector<int> &sizes, int repeated, int room);

// What the page plan needs of a sheet: its column widths and row heights at full size, its
// heading rows and label columns, and the height of the caption line over it (0: none).
struct SheetSizes
{
    std::vector<int> columns;
    std::vector<int> rows;
    int frozenColumns = 0;
    int frozenRows = 0;
    int captionHeight = 0;
};

// One piece of a sheet on a page: the heading rows and label columns repeated on it (the first
// frozenRows rows and frozenColumns columns), the runs of rows and columns after them, its
// scale, and where it stands on the page: its top and height in page units, caption included.
struct PagePart
{
    int sheet = 0;
    double scale = 1;
    int frozenColumns = 0;
    int frozenRows = 0;
    Span columns;
    Span rows;
    int top = 0;
    int height = 0;
    bool operator==(const PagePart &) const = default;
};

using PagePlan = std::vector<std::vector<PagePart>>;

// The pages of the sheets, in order, on a page body of the given size. Each sheet is scaled
// to the page width where that keeps it between minScale and maxScale; wider ones go on as many
// pages across as they need, taller ones down, pages down before across, every page with the
// sheet's heading rows and label columns (unless they alone would take half the page). A sheet
// that fits whole under the one before it on a page goes there; any other starts a page.
PagePlan planPages(const std::vector<SheetSizes> &sheets, int pageWidth, int pageHeight,
    double minScale, double maxScale = 1.0);

// The space between two sheets on one page.
inline constexpr int SheetGap = 16;

} // namespace loto6
