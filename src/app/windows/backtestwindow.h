#pragma once

#include "grid/rgb.h"
#include "prediction/backtestreport.h"
#include "shell/childwindow.h"

#include <QList>

#include <optional>

class QLabel;
class QLayout;
class QSpinBox;
class QTabWidget;

namespace loto6 {

class ElidedLabel;
class ChartView;
class SheetView;

// How the prediction methods did on the past draws: the check's tables for one reflection
// shift, the verdict sentences and a chart of the mean matches over every shift. The check
// runs before the window is made, under a progress dialog that can be cancelled; a cancelled
// or failed check makes no window at all.
class BacktestWindow : public ChildWindow
{
    Q_OBJECT

public:
    BacktestWindow(MainFrm &frame, BacktestReport report, QWidget *parent = nullptr);

    // The main window's factory: runs the check, then makes the window (nullptr when the check
    // was cancelled or could not run).
    static QWidget *create(MainFrm &frame);
    // Runs the check on the main window's history under a progress dialog; nothing when it was
    // cancelled (or the main window closed meanwhile) or failed, which is reported.
    static std::optional<BacktestReport> runCheck(MainFrm &frame);
    // How long the check may run before the progress dialog shows, in milliseconds.
    static void setProgressDelay(int ms);

    const BacktestReport &report() const { return m_report; }
    int shift() const;
    // Shows another shift's tables (clamped to 0..92).
    void setShift(int shift);
    // The shift of the main window's current switches.
    int currentSwitchShift() const;
    // Runs the check again on the main window's history (after a reload or a 基準回) and shows
    // it in place, at the shift on show. Cancelled or failed (that is reported), the window
    // keeps the report it had and the status bar says so.
    void refresh() override;

    QSpinBox *shiftBox() const { return m_shiftBox; }
    ChartView *chart() const { return m_chart; }
    const QList<SheetView *> &grids() const { return m_grids; }
    QLabel *verdictLabel() const { return m_verdict; }
    QLabel *methodVerdictLabel() const { return m_methodVerdicts; }
    // The notes under the first table, wrapped.
    QLabel *notes() const { return m_notes; }

protected:
    void compute() override;
    QSize roomWanted() const override { return wholeWidthFor(*m_grids.front()); }

private:
    QLayout *makeHeader();
    void setUpVerdicts();
    QLayout *makeShiftRow();
    void setUpTables();
    void setUpChart();
    // The report's verdict and chart.
    void showReport();
    void showShift(int shift);
    // Follows the switches: when they changed since the last look, shows their shift.
    void followSwitches();

    BacktestReport m_report;
    QLabel *m_switches;
    ElidedLabel *m_example;
    QLabel *m_verdict;
    QLabel *m_methodVerdicts;
    QSpinBox *m_shiftBox;
    QTabWidget *m_tabs;
    QLabel *m_notes;
    QList<SheetView *> m_grids;
    ChartView *m_chart;
    int m_seenSwitchShift = -1;
};

} // namespace loto6
