#pragma once

#include "views/chartview.h"

namespace loto6 {

// The product image of the About window, drawn by the program: six lottery balls circling a
// golden "6" on a night-blue ground. Shown by the chart view, which prints it like any picture.
class ProductPicture : public ChartView
{
    Q_OBJECT

public:
    static constexpr int Size = 336;

    explicit ProductPicture(QWidget *parent = nullptr);

    // Paints the picture into a square of Size pixels.
    static void paintPicture(QPainter &p);
};

} // namespace loto6
