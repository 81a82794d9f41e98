#pragma once

#include "grid/rgb.h"
#include "popularity/popularityestimate.h"
#include "popularity/popularitysheets.h"
#include "shell/childwindow.h"

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

    QLineEdit *numbersEdit() const { return m_numbers; }
    QLineEdit *salesEdit() const { return m_sales; }
    SheetView *grid() const { return m_grid; }
    // Computes the numbers typed; false (and a message) when they are not six of 1..43, or
    // while the estimate is being made (計算中…, filled in when it comes).
    bool evaluate();

protected:
    void compute() override;

private:
    QLineEdit *m_numbers;
    QLineEdit *m_sales;
    SheetView *m_grid;
    QLabel *m_status;
    bool m_waiting = false; // the estimate was not there: evaluate again when it comes
};

} // namespace loto6
