#pragma once

#include "shell/childwindow.h"

#include <QList>

class QLabel;
class QSpinBox;
class QVBoxLayout;

namespace loto6 {

class SheetView;

// 今回の結果: what one draw did (by default the newest): the draw and its payouts, the
// popularity model's expected winners beside the actual ones, the ticket book graded on it
// with the running 収支, the recorded predictions for it and the next draw's prediction with
// its lines' popularity. Each table is one grid under its caption, one below the other; the
// window follows the book, the history and the estimate (計算中… until it comes).
class SummaryWindow : public ChildWindow
{
    Q_OBJECT

public:
    explicit SummaryWindow(MainFrm &frame, QWidget *parent = nullptr);

    QSpinBox *drawBox() const { return m_draw; }
    // The grids in the order of the tables.
    const QList<SheetView *> &grids() const { return m_grids; }
    QLabel *statusLabel() const { return m_status; }

protected:
    void compute() override;

private:
    void showDraw(int drawNo);
    SheetView *gridAt(int index);

    QSpinBox *m_draw;
    QLabel *m_status;
    QVBoxLayout *m_tables;
    QList<SheetView *> m_grids;
    QList<QLabel *> m_captions;
    int m_newest = 0;       // the newest complete draw when last computed
    bool m_waiting = false; // the estimate was pending: compute again when it comes
};

} // namespace loto6
