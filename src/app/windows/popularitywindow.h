#pragma once

#include "grid/rgb.h"
#include "popularity/popularityestimate.h"
#include "popularity/popularitysheets.h"
#include "shell/childwindow.h"

#include <array>
#include <memory>
#include <vector>

class QLabel;
class QLineEdit;

namespace loto6 {

class SheetView;

// How popular a combination is with players and what that makes a ticket worth in yen: per
// tier the others expected to share it and the expected prize, the expected value beside the
// average ticket's and the least and most popular 1%, with what the model cannot do.
class PopularityWindow : public ChildWindow
{
    Q_OBJECT

public:
    explicit PopularityWindow(MainFrm &frame, QWidget *parent = nullptr);

    // The model fitted on the main window's history and payouts (the document's), shared by
    // every window; null when the stored payouts hold no sales to learn from. With
    // makeIfMissing, waits under the hourglass until it is made; without, only a model
    // already made for this history is given.
    static const popularity::PopularityEstimate *estimate(
        const MainFrm &frame, bool makeIfMissing = true);
    // One line per combination: its numbers, popularity and expected value; empty without a
    // model (or, with makeIfMissing false, before one was made for this history).
    static QString linesSummary(
        const MainFrm &frame, const std::vector<std::array<int, 6>> &lines, bool makeIfMissing);
    // The popularity and expected value of tickets beside the average ticket's; null without
    // a model.
    static std::unique_ptr<Sheet> ticketsSheet(
        const MainFrm &frame, const std::vector<popularity::LabelledCombination> &tickets);
    // For the prediction check: per method, how popular its picks were on the past draws
    // against random numbers, at one reflection shift, with the caveats.
    static QString methodPopularityText(const MainFrm &frame, int from, int shift);
    // The three sentences on what popularity cannot do, with the validation figures.
    static QString caveats();

    QLineEdit *numbersEdit() const { return m_numbers; }
    QLineEdit *salesEdit() const { return m_sales; }
    SheetView *grid() const { return m_grid; }
    // Computes the numbers typed; false (and a message) when they are not six of 1..43.
    bool evaluate();

protected:
    void compute() override;

private:
    QLineEdit *m_numbers;
    QLineEdit *m_sales;
    SheetView *m_grid;
    QLabel *m_status;
};

} // namespace loto6
