#pragma once

#include "grid/rgb.h"
#include "shell/childwindow.h"
#include "store/result.h"
#include "tickets/ticketgrading.h"

#include <array>
#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;

namespace loto6 {

class SheetView;

// 購入番号の照合: the ticket book with its results per ticket and draw, the totals against
// random tickets, and the quick check of one combination against every past draw. The book is
// the document's: the window writes through it and shows the book again when it changes.
class TicketWindow : public ChildWindow
{
    Q_OBJECT

public:
    explicit TicketWindow(MainFrm &frame, QWidget *parent = nullptr);

    // Stores one ticket per non-empty line ("02 08 10 13 27 30"); all or none.
    Status addLines(const QString &lines);
    // Deletes the ticket on the current row of the list.
    Status removeCurrent();
    // Fills the check tab for one combination.
    Status checkCombination(const QString &line);

    SheetView *listGrid() const { return m_list; }
    SheetView *resultsGrid() const { return m_results; }
    SheetView *summaryGrid() const { return m_summary; }
    SheetView *checkGrid() const { return m_check; }
    // The verdict under the totals, wrapped.
    QLabel *summaryNotes() const { return m_summaryNotes; }
    SheetView *popularityGrid() const { return m_popularity; }

protected:
    void compute() override;
    QSize roomWanted() const override;

private:
    QWidget *createEntryRow();
    void report(const Status &status);
    // Fills the results grid from the latest grading once its tab is shown.
    void showResultsIfDue();
    // Each ticket's popularity and expected value, made when first looked at (the model takes
    // a few seconds the first time).
    void showPopularityIfDue();

    QPlainTextEdit *m_lines;
    QSpinBox *m_from;
    QSpinBox *m_draws;
    QSpinBox *m_units;
    QLineEdit *m_memo;
    QLineEdit *m_combination;
    QTabWidget *m_tabs;
    SheetView *m_list;
    SheetView *m_results;
    SheetView *m_summary;
    SheetView *m_check;
    QLabel *m_summaryNotes;
    SheetView *m_popularity;
    bool m_popularityDue = false;
    std::optional<std::array<int, MainNumberCount>> m_checked; // the combination last checked
    std::optional<TicketGrading> m_grading;
    bool m_resultsDue = false;
};

} // namespace loto6
