#include "views/sheetpages.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace loto6 {

std::vector<Span> splitRuns(const std::vector<int> &sizes, int repeated, int room)
{
    std::vector<Span> runs;
    const int count = static_cast<int>(sizes.size());
    int used = 0;
    for (int i = std::max(repeated, 0); i < count; ++i) {
        const int size = sizes[static_cast<std::size_t>(i)];
        if (runs.empty() || used + size > room) {
            runs.push_back({i + 1, i + 1});
            used = size;
        } else {
            runs.back().last = i + 1;
            used += size;
        }
    }
    return runs;
}

namespace {

int total(const std::vector<int> &sizes, int count)
{
    count = std::clamp(count, 0, static_cast<int>(sizes.size()));
    return std::accumulate(sizes.begin(), sizes.begin() + count, 0);
}

int total(const std::vector<int> &sizes, Span span)
{
    int sum = 0;
    for (int i = span.first; i <= span.last; ++i)
        sum += sizes[static_cast<std::size_t>(i - 1)];
    return sum;
}

// The frozen items to repeat: none when they would leave less than half the room to the rest.
int repeatedItems(const std::vector<int> &sizes, int frozen, int room)
{
    return 2 * total(sizes, frozen) <= room ? std::min(frozen, static_cast<int>(sizes.size())) : 0;
}

// The pieces of one sheet in page order, with their heights; tops are set by the caller.
std::vector<PagePart> cutSheet(
    const SheetSizes &s, int index, int pageWidth, int pageHeight, double minScale, double maxScale)
{
    const int width = total(s.columns, static_cast<int>(s.columns.size()));
    const double scale = width > 0
        ? std::clamp(static_cast<double>(pageWidth) / width, minScale, std::max(maxScale, minScale))
        : 1.0;
    const int roomWidth = static_cast<int>(std::floor(pageWidth / scale));
    const int roomHeight
        = static_cast<int>(std::floor(std::max(pageHeight - s.captionHeight, 1) / scale));
    const int frozenColumns = repeatedItems(s.columns, s.frozenColumns, roomWidth);
    const int frozenRows = repeatedItems(s.rows, s.frozenRows, roomHeight);
    std::vector<Span> columnRuns
        = splitRuns(s.columns, frozenColumns, roomWidth - total(s.columns, frozenColumns));
    std::vector<Span> rowRuns
        = splitRuns(s.rows, frozenRows, roomHeight - total(s.rows, frozenRows));
    // A sheet with nothing after its headings is printed as its headings alone.
    if (columnRuns.empty())
        columnRuns.push_back({frozenColumns + 1, frozenColumns});
    if (rowRuns.empty())
        rowRuns.push_back({frozenRows + 1, frozenRows});

    std::vector<PagePart> parts;
    for (const Span &columns : columnRuns)
        for (const Span &rows : rowRuns) {
            PagePart part{index, scale, frozenColumns, frozenRows, columns, rows, 0, 0};
            const int rowsHeight = total(s.rows, frozenRows) + total(s.rows, rows);
            part.height = s.captionHeight + static_cast<int>(std::ceil(rowsHeight * scale));
            parts.push_back(part);
        }
    return parts;
}

} // namespace

PagePlan planPages(const std::vector<SheetSizes> &sheets, int pageWidth, int pageHeight,
    double minScale, double maxScale)
{
    PagePlan pages;
    int used = 0; // height taken on the last page
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        std::vector<PagePart> parts
            = cutSheet(sheets[i], static_cast<int>(i), pageWidth, pageHeight, minScale, maxScale);
        const bool joins = parts.size() == 1 && !pages.empty()
            && used + SheetGap + parts.front().height <= pageHeight;
        if (joins) {
            parts.front().top = used + SheetGap;
            used = parts.front().top + parts.front().height;
            pages.back().push_back(parts.front());
            continue;
        }
        for (PagePart &part : parts) {
            part.top = 0;
            used = part.height;
            pages.push_back({part});
        }
    }
    return pages;
}

} // namespace loto6
