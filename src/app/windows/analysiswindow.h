#pragma once

#include "analysis/catalog.h"
#include "shell/childwindow.h"

class QLabel;
class QPushButton;

namespace loto6 {

class SheetView;

// The desktop's side of an analysis window: its designed outer size in twips and whether it
// has a print button.
struct AnalysisLayout
{
    QSize sizeTwips;
    bool printButton = true;
};

// The frame of every analysis window, driven by its catalog entry: description, result grid,
// close and print buttons and the optional legend. The table is built while the window loads.
class AnalysisWindow : public ChildWindow
{
    Q_OBJECT

public:
    AnalysisWindow(
        MainFrm &frame, const AnalysisInfo &info, AnalysisLayout layout, QWidget *parent = nullptr);

    const AnalysisInfo &info() const { return m_info; }
    SheetView *grid() const { return m_grid; }

protected:
    QSize sizeTwips() const override;
    void compute() override;
    // The window grows to show the whole table where there is room.
    QSize roomWanted() const override;
    // First shown and grown, the table shows its newest draw.
    void showEvent(QShowEvent *event) override;

private:
    const AnalysisInfo &m_info;
    AnalysisLayout m_layout;
    SheetView *m_grid;
    bool m_shown = false;
};

} // namespace loto6
