#pragma once

#include "commands/backgroundjob.h"
#include "design/filters.h"
#include "design/odds.h"
#include "grid/rgb.h"
#include "shell/childwindow.h"

#include <QPointer>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>

class QCheckBox;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace loto6 {

class SheetView;
struct DesignJob;

// The ticket designer: filters on the left with the exact count of the combinations that pass
// and of the past draws that passed, updated as they change; on the right the tickets picked
// from them or wheeled from a pool, with what they buy in the next draw, and a button that
// adds them to the ticket book. Each ticket shows its popularity with players and its own
// expected yen; a filter keeps only the least popular share of combinations. Picking, wheeling and
// the odds run on a worker thread; the window shows their progress and キャンセル stops them.
class DesignWindow : public ChildWindow
{
    Q_OBJECT

public:
    explicit DesignWindow(MainFrm &frame, QWidget *parent = nullptr);
    ~DesignWindow() override;

    // One filter row: a check box that turns it on and its low..high.
    struct RangeRow
    {
        QCheckBox *on;
        QSpinBox *low;
        QSpinBox *high;
    };

    QLabel *countLabel() const { return m_count; }
    SheetView *ticketGrid() const { return m_tickets; }
    SheetView *oddsGrid() const { return m_odds; }
    QPushButton *pickButton() const { return m_pick; }
    QPushButton *wheelButton() const { return m_wheel; }
    QLabel *statusLabel() const { return m_status; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    QPushButton *addButton() const { return m_add; }
    QCheckBox *leastPopularBox() const { return m_leastPopular; }
    QCheckBox *includePatternsBox() const { return m_includePatterns; }
    QDoubleSpinBox *leastPopularPercent() const { return m_leastPercent; }
    QCheckBox *sortByPopularityBox() const { return m_sortPopular; }
    bool busy() const { return m_runner.busy(); }
    // The filters as the widgets set them; none, with why in Japanese, when one is wrong.
    struct FilterFields
    {
        std::optional<design::DesignFilter> filter;
        QString problem;
    };
    FilterFields filter() const;

protected:
    void compute() override;

private:
    QWidget *createFilters();
    QWidget *createActions();
    QWidget *createResults();
    RangeRow addRange(QGridLayout *grid, int row, const QString &label, int min, int max);
    void updateCount();
    void startPick();
    void startWheel(bool full);
    void start(std::shared_ptr<DesignJob> job);
    void finish(const QString &failure);
    // The odds of the tickets made, each weighed with its own prizes from its popularity.
    void showOdds(DesignJob &job);
    void showProgress(int permille);
    void addToBook();
    // The tickets shown as a note on paper, in the print preview.
    void printNote();

    MainFrm &frame() const { return mainFrm(); }
    // The popularity model of the history (null without payouts with sales to learn from).
    const popularity::PopularityEstimate *popularityModel() const;
    void showTickets();

    std::vector<RangeRow> m_ranges;
    QLineEdit *m_include;
    QLineEdit *m_exclude;
    QLineEdit *m_pool;
    QCheckBox *m_notDrawn;
    QCheckBox *m_leastPopular;
    QCheckBox *m_includePatterns;
    QDoubleSpinBox *m_leastPercent;
    QCheckBox *m_sortPopular;
    QLabel *m_count;
    QSpinBox *m_pickCount;
    QLineEdit *m_seed;
    QLineEdit *m_wheelPool;
    QSpinBox *m_win;
    QSpinBox *m_if;
    QPushButton *m_pick;
    QPushButton *m_wheel;
    QPushButton *m_full;
    QPushButton *m_cancelButton;
    QProgressBar *m_progress;
    QLabel *m_status;
    SheetView *m_tickets;
    SheetView *m_odds;
    QLabel *m_facts;
    QSpinBox *m_draws;
    QPushButton *m_add;
    QTimer m_countTimer;
    // What had the focus when a job started, given it back when the job ends.
    QPointer<QWidget> m_focusBefore;
    JobRunner m_runner;
    std::shared_ptr<DesignJob> m_job;
    std::shared_ptr<const design::PrizeModel> m_prizes;
    std::vector<design::Combination> m_shown; // the tickets on the right
    std::string m_shownMemo;                  // how they were made, for the ticket book
    bool m_shownWheel = false;
    bool m_pickable = false; // the filters as last counted let 条件から選ぶ start
};

} // namespace loto6
