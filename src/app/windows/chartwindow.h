#pragma once

#include "chart/chartcatalog.h"
#include "shell/childwindow.h"
#include "store/result.h"
#include "tickets/ticketgrading.h"

#include <map>
#include <optional>
#include <string_view>

class QComboBox;
class QSpinBox;

namespace loto6 {

class ChartView;

// Every chart of the catalog in one window (shell/chartcommands.h opens it on a chart): a
// chooser, the number of the chart of one number, the chart drawn by a ChartView, and its
// picture, SVG and print commands. It reads the history
// in use (基準回 included) and builds the chart again when the history changes, and a chart of
// the tickets when the ticket book changes.
class ChartWindow : public ChildWindow
{
    Q_OBJECT

public:
    explicit ChartWindow(MainFrm &frame, QWidget *parent = nullptr);
    // The chart a window made next opens on (shell/chartcommands.h sets it), so that it is
    // built once.
    static void setOpeningChart(std::string_view chart);

    void showChart(std::string_view name);
    void setNumber(int number);
    const ChartInfo &current() const;
    ChartView *view() const { return m_view; }
    QComboBox *chooser() const { return m_chooser; }
    QSpinBox *number() const { return m_number; }

    // Asks for the file through the main window's dialogs, saves, and tells the outcome.
    void savePicture();
    void saveSvg();

protected:
    void compute() override;
    // Only a chart of the tickets is built again when the book changes.
    void bookChanged() override;

private:
    // The ticket book graded against the history in use, with the payouts it reads; empty
    // (and a message) when the book cannot be read.
    std::optional<TicketGrading> gradeBook(std::map<int, DrawPrizes> &prizes);
    QString askFile(const QString &caption, const QString &suffix, const QString &filter);
    void report(const Status &status, const QString &file);

    ChartView *m_view;
    QComboBox *m_chooser;
    QSpinBox *m_number;
};

} // namespace loto6
