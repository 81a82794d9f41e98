#pragma once

#include "analysis/catalog.h"
#include "views/chartview.h"

#include <vector>

namespace loto6 {

// The colour marks of an analysis window's legend, one per line: balls for marks drawn in the
// grid, boxes for cell colours. The labels stand beside it. Shown by the chart view, which
// prints it like any picture.
class LegendPicture : public ChartView
{
    Q_OBJECT

public:
    static constexpr int LineHeight = 16;

    explicit LegendPicture(std::span<const LegendItem> items, QWidget *parent = nullptr);
    QSize sizeHint() const override;

    // Paints one ball of the given colour into rect: a shaded sphere with a highlight.
    static void paintBall(QPainter &painter, const QRectF &rect, const QColor &color);

private:
    void paintMarks(QPainter &painter) const;

    std::vector<LegendItem> m_items;
};

} // namespace loto6
