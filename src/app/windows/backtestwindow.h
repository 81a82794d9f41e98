#pragma once

#include "grid/rgb.h"
#include "prediction/backtestreport.h"
#include "shell/childwindow.h"

#include <QList>

#include <memory>
#include <optional>
#include <utility>

class QLabel;
class QLayout;
class QSpinBox;
class QTabWidget;

namespace loto6 {

class ElidedLabel;
class JobRunner;
class ChartView;
class SheetView;

// How the prediction methods did on the past draws: the check's tables for one reflection
// shift, the verdict sentences and a chart of the mean matches over every shift. The window
// opens at once; the check runs on a worker (BacktestCache: a new draw is checked alone), the
// line under the header says that the figures are being brought up to date (計算中…), and no
// dialog shows for it. A check that cannot run is said in that line.
class BacktestWindow : public ChildWindow
{
    Q_OBJECT

public:
    explicit BacktestWindow(MainFrm &frame, QWidget *parent = nullptr);

    // The main window's factory.
    static QWidget *create(MainFrm &frame);

    // The report shown; empty until the first check has come.
    bool hasReport() const { return m_report != nullptr; }
    const BacktestReport &report() const { return *m_report; }
    // The check of the history in use is being made on a worker.
    bool checking() const;
    // The line that says the figures are being brought up to date, or why there are none.
    QLabel *checkLabel() const { return m_checkLine; }
    int shift() const;
    // Shows another shift's tables (clamped to 0..92).
    void setShift(int shift);
    // The shift of the main window's current switches.
    int currentSwitchShift() const;

    QSpinBox *shiftBox() const { return m_shiftBox; }
    ChartView *chart() const { return m_chart; }
    const QList<SheetView *> &grids() const { return m_grids; }
    QLabel *verdictLabel() const { return m_verdict; }
    QLabel *methodVerdictLabel() const { return m_methodVerdicts; }
    // The notes under the first table, wrapped.
    QLabel *notes() const { return m_notes; }

signals:
    // A check ended: the window shows it, or says why there is none.
    void checked();

protected:
    // Shows the report it has and brings it up to date with the history in use.
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
    // Starts checking the history in use (at once when the check is kept).
    void startCheck();
    void checkEnded(const QString &failure);
    void showCheck(std::shared_ptr<const BacktestReport> report);

    std::shared_ptr<const BacktestReport> m_report;
    JobRunner *m_runner;
    QLabel *m_checkLine;
    std::shared_ptr<std::pair<Status, std::shared_ptr<const BacktestReport>>> m_result;
    bool m_again = false; // the history changed while checking: check again when it ends
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
