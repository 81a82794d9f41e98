#pragma once

#include "childwindow.h"
#include "grid/rgb.h"

namespace loto6 {

class SheetView;

// The draw history beside fair draws: every chance test with its expected value and its
// Holm-adjusted p-value, computed from the loaded history while the window loads.
class ChanceWindow : public ChildWindow
{
    Q_OBJECT

public:
    static constexpr const char *ClassName = "偶然との比較";
    static constexpr Rgb CloseButtonColor = rgb(255, 255, 192);
    static constexpr int WidthTwips = 13800;
    static constexpr int HeightTwips = 11000;

    explicit ChanceWindow(MainFrm &frame, QWidget *parent = nullptr);
    static QWidget *create(MainFrm &frame);

    SheetView *grid() const { return m_grid; }

protected:
    QSize sizeTwips() const override;
    void compute() override;

private:
    SheetView *m_grid;
};

} // namespace loto6
