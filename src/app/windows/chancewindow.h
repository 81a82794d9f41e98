#pragma once

#include "grid/rgb.h"
#include "shell/childwindow.h"

class QLabel;

namespace loto6 {

class SheetView;

// The draw history beside fair draws: every chance test with its expected value and its
// Holm-adjusted p-value, computed from the loaded history while the window loads. The notes
// under the table are shown wrapped below the grid. The default width shows every column up to
// the verdict; the explanation column scrolls into view.
class ChanceWindow : public ChildWindow
{
    Q_OBJECT

public:
    explicit ChanceWindow(MainFrm &frame, QWidget *parent = nullptr);

    SheetView *grid() const { return m_grid; }
    QLabel *notes() const { return m_notes; }

protected:
    void compute() override;
    QSize roomWanted() const override { return wholeWidthFor(*m_grid); }

private:
    SheetView *m_grid;
    QLabel *m_notes;
};

} // namespace loto6
