#include "windows/backtestwindow.h"

#include "chart/chartbuilders.h"
#include "commands/backgroundjob.h"
#include "commands/corereasons.h"
#include "document/backtestcache.h"
#include "document/popularitysource.h"
#include "document/popularitytexts.h"
#include "prediction/backtest.h"
#include "prediction/backtestsheets.h"
#include "prediction/reflectionshift.h"
#include "shell/appfonts.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "views/chartview.h"
#include "views/elidedlabel.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/printbutton.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace loto6 {

namespace {

QString methodVerdictHtml(const BacktestReport::Result &r)
{
    const QString text = qs(r.verdict).toHtmlEscaped();
    if (r.better())
        return QStringLiteral("<b style=\"color:#0000c0\">%1</b>").arg(text);
    if (r.worse())
        return QStringLiteral("<b style=\"color:#c00000\">%1</b>").arg(text);
    return text;
}

} // namespace

QWidget *BacktestWindow::create(MainFrm &frame) { return new BacktestWindow(frame); }

BacktestWindow::BacktestWindow(MainFrm &frame, QWidget *parent)
    : ChildWindow(frame, parent)
    , m_runner(new JobRunner(this))
    , m_checkLine(new QLabel(this))
    , m_switches(new QLabel(this))
    , m_example(new ElidedLabel(QString(), 2, this))
    , m_verdict(new QLabel(this))
    , m_methodVerdicts(new QLabel(this))
    , m_shiftBox(new QSpinBox(this))
    , m_tabs(new QTabWidget(this))
    , m_notes(notesLabel(this))
    , m_chart(new ChartView(m_tabs))
{
    setObjectName(QString::fromUtf8(windowclass::Backtest));
    setWindowTitle(tr("予想の検証"));
    setFont(gridFont());
    setUpVerdicts();
    setUpTables();
    setUpChart();
    m_checkLine->setObjectName(QStringLiteral("LabelChecking"));
    m_checkLine->setWordWrap(true);
    m_checkLine->setStyleSheet(QStringLiteral("QLabel { color: #804000; }"));
    m_checkLine->hide();
    connect(m_runner, &JobRunner::finished, this, &BacktestWindow::checkEnded);
    connect(&m_runner->progress(), &JobProgress::stepsDone, this, [this](int done, int total) {
        if (total > 1)
            m_checkLine->setText(
                tr("過去の当選データで予想を検証しています… %1 / %2回").arg(done).arg(total));
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addLayout(makeHeader());
    layout->addWidget(m_checkLine);
    layout->addWidget(m_verdict);
    layout->addWidget(m_switches);
    layout->addLayout(makeShiftRow());
    layout->addWidget(m_methodVerdicts);
    layout->addWidget(m_tabs, 1);

    // Coming back to the window after changing the switches shows their shift.
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *window) {
        if (window && window == parentWidget())
            followSwitches();
    });
}

// The description of the check beside the close button.
QLayout *BacktestWindow::makeHeader()
{
    auto *description = new ElidedLabel(
        tr("過去の各回について、その回より前の当選データだけで予想したときに、各手法の予想数字が"
           "その回の本数字といくつ一致したかを数え、同じ個数の数字を1～43からランダムに選んだ場合と"
           "比べます。消去法、連発予想、１発予想は反映するスイッチの組合せ（反映シフト）で変わるた"
           "め、"
           "シフトごとに検証しています。"),
        3, this);
    description->setObjectName(QStringLiteral("Label1"));

    QPushButton *close
        = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("Command1"), this);
    connect(close, &QPushButton::clicked, this, &ChildWindow::unload);

    auto *top = new QHBoxLayout;
    top->addWidget(description, 1);
    top->addWidget(
        printButton(*this, this, [this] { return gridsOfShownTab(*m_tabs); }), 0, Qt::AlignTop);
    top->addWidget(close, 0, Qt::AlignTop);
    return top;
}

void BacktestWindow::setUpVerdicts()
{
    m_verdict->setObjectName(QStringLiteral("LabelVerdict"));
    m_verdict->setWordWrap(true);
    QFont verdictFont = font();
    verdictFont.setBold(true);
    verdictFont.setPointSizeF(verdictFont.pointSizeF() * 1.3);
    m_verdict->setFont(verdictFont);
    m_verdict->setStyleSheet(QStringLiteral("QLabel { background: #ffffc0; padding: 4px; }"));

    m_methodVerdicts->setObjectName(QStringLiteral("LabelMethodVerdicts"));
    m_methodVerdicts->setWordWrap(true);
    m_methodVerdicts->setTextFormat(Qt::RichText);
    m_switches->setObjectName(QStringLiteral("LabelSwitches"));
    m_switches->setWordWrap(true);
}

// The shift chooser: the spin box, an example of the shift's switches and a button for the
// current switches' shift.
QLayout *BacktestWindow::makeShiftRow()
{
    m_example->setObjectName(QStringLiteral("LabelExample"));
    m_shiftBox->setObjectName(QStringLiteral("spnShift"));
    m_shiftBox->setRange(0, ReflectionShift::Max);
    auto *shiftCaption = new QLabel(tr("表示する反映シフト:"), this);
    shiftCaption->setBuddy(m_shiftBox);
    QPushButton *current = new QPushButton(tr("今のスイッチのシフト"), this);
    current->setObjectName(QStringLiteral("cmdCurrentShift"));
    connect(current, &QPushButton::clicked, this, [this] { setShift(currentSwitchShift()); });
    connect(m_shiftBox, &QSpinBox::valueChanged, this, &BacktestWindow::showShift);
    // Whether each method's picks are more or less popular with players than random numbers.
    auto *popularity = new QPushButton(tr("選んだ数字の人気度..."), this);
    popularity->setObjectName(QStringLiteral("cmdPickPopularity"));
    connect(popularity, &QPushButton::clicked, this, [this] {
        mainFrm().showMessage(QMessageBox::Information, tr("選んだ数字の人気度"),
            PopularityTexts::methodPopularityText(
                mainFrm().document(), Backtest::DefaultFrom, shift()));
    });

    auto *shiftRow = new QHBoxLayout;
    shiftRow->addWidget(shiftCaption);
    shiftRow->addWidget(m_shiftBox);
    shiftRow->addWidget(m_example, 1);
    shiftRow->addWidget(current);
    shiftRow->addWidget(popularity);
    return shiftRow;
}

void BacktestWindow::setUpTables()
{
    for (const char *caption :
        {"予想の検証", "一致数の内訳", "１発予想の当選等級", "シフトと設定"}) {
        auto *grid = new SheetView(m_tabs);
        grid->setObjectName(QStringLiteral("fpSpread1"));
        m_grids.append(grid);
        if (m_grids.size() > 1) {
            m_tabs->addTab(grid, tr(caption));
            continue;
        }
        // The first table's notes wrap below it; its verdicts get the room of a wider window.
        grid->setLastColumnFills(true);
        auto *page = new QWidget(m_tabs);
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(2);
        layout->addWidget(grid, 1);
        layout->addWidget(m_notes);
        m_tabs->addTab(page, tr(caption));
    }
    m_tabs->setObjectName(QStringLiteral("tabTables"));
}

void BacktestWindow::setUpChart()
{
    m_chart->setObjectName(QStringLiteral("chartMeanMatches"));
    // A tab of its own: beside the tables it would leave them too little room on a small screen.
    m_tabs->addTab(m_chart, tr("一致数平均のグラフ"));
    m_chart->setCursor(Qt::PointingHandCursor);
    connect(m_chart, &ChartView::clicked, this, [this](int, double x) {
        setShift(std::clamp(static_cast<int>(std::lround(x)), 0, Backtest::ShiftCount - 1));
    });
}

void BacktestWindow::showReport()
{
    m_verdict->setText(tr("結論: %1").arg(qs(m_report->verdict)));
    m_chart->setChart(backtestChart(*m_report, shift()));
}

bool BacktestWindow::checking() const { return m_runner->busy(); }

void BacktestWindow::compute()
{
    // Opening follows the switches; a refresh keeps the shift on show.
    if (!isLoaded()) {
        m_seenSwitchShift = -1;
        followSwitches();
    }
    if (m_report)
        showShift(shift());
    else
        m_verdict->setText(tr("結論: %1").arg(PopularityTexts::pendingText()));
    startCheck();
}

void BacktestWindow::startCheck()
{
    const DrawHistory &history = mainFrm().document().history();
    // Payouts that cannot be read leave the yen of the wins shown as 不明.
    std::map<int, DrawPrizes> prizes;
    if (!mainFrm().document().payouts(prizes))
        prizes.clear();
    if (BacktestCache::Report kept = BacktestCache::find(history, prizes)) {
        showCheck(std::move(kept));
        return;
    }
    if (m_runner->busy()) {
        m_again = true;
        m_runner->cancel();
        return;
    }
    m_checkLine->setText(m_report ? tr("新しい当選データで予想を検証し直しています（計算中…）。"
                                       "終わるまで、表は前の当選データのものです。")
                                  : tr("過去の当選データで予想を検証しています（計算中…）。"));
    m_checkLine->show();
    auto result = std::make_shared<std::pair<Status, BacktestCache::Report>>();
    m_result = result;
    // The worker checks its own copy of the history.
    m_runner->start([history, prizes, result](JobProgress &progress) {
        result->first = BacktestCache::make(
            history, prizes,
            [&progress](int done, int total) {
                if (done % 16 == 0 || done == total)
                    progress.setSteps(done, total);
                return !progress.cancelRequested();
            },
            result->second);
    });
}

void BacktestWindow::checkEnded(const QString &failure)
{
    if (m_again) {
        m_again = false;
        startCheck();
        return;
    }
    const auto result = std::move(m_result);
    if (failure.isEmpty() && result && result->first && result->second) {
        showCheck(result->second);
        return;
    }
    m_checkLine->setText(
        tr("予想の検証ができません。%1")
            .arg(failure.isEmpty() && result ? CoreReasons::japanese(result->first) : failure));
    m_checkLine->show();
    emit checked();
}

void BacktestWindow::showCheck(std::shared_ptr<const BacktestReport> report)
{
    m_report = std::move(report);
    m_checkLine->hide();
    showReport();
    showShift(shift());
    emit checked();
}

int BacktestWindow::shift() const { return m_shiftBox->value(); }

void BacktestWindow::setShift(int shift) { m_shiftBox->setValue(shift); }

int BacktestWindow::currentSwitchShift() const
{
    return ReflectionShift::of(mainFrm().document().predictionOptions());
}

void BacktestWindow::followSwitches()
{
    const int current = currentSwitchShift();
    m_switches->setText(tr("今のスイッチの反映シフト: %1（反映する: %2）")
                            .arg(current)
                            .arg(qs(switchList(mainFrm().document().predictionOptions()))));
    if (current == m_seenSwitchShift)
        return;
    m_seenSwitchShift = current;
    setShift(current);
}

void BacktestWindow::showShift(int shift)
{
    if (!m_report)
        return;
    const Backtest::ShiftSettings settings = Backtest::settingsFor(shift);
    m_example->setText(tr("シフト%1になるスイッチの設定は4096通り中%2通り（例: %3）")
                           .arg(shift)
                           .arg(settings.settings)
                           .arg(qs(switchList(settings.example))));

    const std::array<int, 1> shifts{shift};
    std::vector<Sheet> sheets = backtestSheets(*m_report, shifts);
    for (int i = 0; i < m_grids.size() && i < static_cast<int>(sheets.size()); ++i) {
        m_grids[i]->setSheet(std::move(sheets[static_cast<std::size_t>(i)]));
        m_grids[i]->scrollToTop();
    }
    moveNotesToLabel(*m_grids.front(), *m_notes);

    QStringList lines;
    for (int m = 0; m < Backtest::MethodCount; ++m) {
        const auto method = static_cast<Backtest::Method>(m);
        if (const BacktestReport::Result *r
            = m_report->find(method, Backtest::dependsOnShift(method) ? shift : -1))
            lines.append(methodVerdictHtml(*r));
    }
    m_methodVerdicts->setText(lines.join(QStringLiteral("<br>")));
    m_chart->setChart(backtestChart(*m_report, shift));
}

} // namespace loto6
