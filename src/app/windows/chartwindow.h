#pragma once

#include "chart/chartcatalog.h"
#include "shell/childwindow.h"
#include "store/result.h"
#include "tickets/ticketgrading.h"

#include <map>
#include <optional>
#include <string_view>

class QComboBox;
class QMenu;
class QPushButton;
class QSpinBox;

namespace loto6 {

class ChartView;

// Every chart of the catalog in one window: a chooser, the number of the chart of one number,
// the chart drawn by a ChartView, and its picture, SVG and print commands. It reads the history
// in use (基準回 included) and builds the chart again when the history changes.
class ChartWindow : public ChildWindow
{
    Q_OBJECT

public:
    static constexpr const char *ClassName = "グラフ";
    static constexpr const char *MenuAction = "mnuGraph";
    static constexpr int WidthTwips = 15000;
    static constexpr int HeightTwips = 10500;

    explicit ChartWindow(MainFrm &frame, QWidget *parent = nullptr);
    static QWidget *create(MainFrm &frame);
    // Opens (or brings up) the window on a chart by its catalog name.
    static ChartWindow *open(MainFrm &frame, std::string_view chart);
    // A グラフ button that opens the first chart of a table's window; nullptr when the table
    // has none.
    static QPushButton *buttonFor(MainFrm &frame, std::string_view table, QWidget *parent);

    // One command per chart of the catalog under a menu, each opening the window on it.
    static void addChartCommands(MainFrm &frame, QMenu &menu);

    // The ticket book changed: an open window on a chart of the tickets builds it again.
    static void ticketsChanged(MainFrm &frame);

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
    QSize sizeTwips() const override;
    void compute() override;

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
