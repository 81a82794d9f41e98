#include "windows/ticketwindow.h"

#include "commands/corereasons.h"
#include "document/popularitysource.h"
#include "document/popularitytexts.h"
#include "shell/appfonts.h"
#include "shell/chartcommands.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "tickets/ticketsheets.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/printbutton.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>

namespace loto6 {

namespace {

SheetView *addGrid(QTabWidget *tabs, const QString &title, const QString &name)
{
    auto *grid = new SheetView(tabs);
    grid->setObjectName(name);
    tabs->addTab(grid, title);
    return grid;
}

} // namespace

TicketWindow::TicketWindow(MainFrm &frame, QWidget *parent)
    : ChildWindow(frame, parent)
    , m_lines(new QPlainTextEdit(this))
    , m_from(new QSpinBox(this))
    , m_draws(new QSpinBox(this))
    , m_units(new QSpinBox(this))
    , m_memo(new QLineEdit(this))
    , m_combination(new QLineEdit(this))
    , m_tabs(new QTabWidget(this))
    , m_summaryNotes(notesLabel(this))
{
    setObjectName(qs(windowclass::Tickets));
    setWindowTitle(tr("購入番号の照合"));
    setFont(gridFont());
    m_list = addGrid(m_tabs, tr("購入番号"), QStringLiteral("gridTickets"));
    m_results = addGrid(m_tabs, tr("照合結果"), QStringLiteral("gridResults"));
    // The totals' verdict wraps below them, whole at any width.
    auto *summaryPage = new QWidget(m_tabs);
    m_summary = new SheetView(summaryPage);
    m_summary->setObjectName(QStringLiteral("gridSummary"));
    // Its headings are long for its few columns: they are shown whole.
    m_summary->setColumnsFitText(true);
    auto *summaryLayout = new QVBoxLayout(summaryPage);
    summaryLayout->setContentsMargins(0, 0, 0, 0);
    summaryLayout->setSpacing(2);
    summaryLayout->addWidget(m_summary, 1);
    summaryLayout->addWidget(m_summaryNotes);
    m_tabs->addTab(summaryPage, tr("収支と偶然との比較"));
    m_check = addGrid(m_tabs, tr("組合せの照合"), QStringLiteral("gridCheck"));
    m_popularity = addGrid(m_tabs, tr("人気度と期待値"), QStringLiteral("gridPopularity"));

    connect(m_tabs, &QTabWidget::currentChanged, this, &TicketWindow::showResultsIfDue);
    connect(m_tabs, &QTabWidget::currentChanged, this, &TicketWindow::showPopularityIfDue);
    connect(&frame.document().popularity(), &PopularitySource::ready, this,
        &TicketWindow::showPopularityIfDue);
    followBook();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(createEntryRow());
    layout->addWidget(m_tabs, 1);
}

QWidget *TicketWindow::createEntryRow()
{
    auto *row = new QWidget(this);
    m_lines->setObjectName(QStringLiteral("txtLines"));
    m_lines->setPlaceholderText(
        tr("1行に6つの数字（例: 02 08 10 13 27 30）。複数行を貼り付けできます。"));
    m_lines->setFixedHeight(70);
    m_from->setObjectName(QStringLiteral("spnFrom"));
    m_draws->setObjectName(QStringLiteral("spnDraws"));
    m_units->setObjectName(QStringLiteral("spnUnits"));
    m_memo->setObjectName(QStringLiteral("txtMemo"));
    m_from->setRange(1, MaxDrawNumber);
    m_draws->setRange(1, 9999);
    m_units->setRange(1, Ticket::MaxUnits);
    m_memo->setMaxLength(static_cast<int>(Ticket::MaxMemoBytes / 3));
    auto *form = new QFormLayout;
    form->addRow(tr("開始回"), m_from);
    form->addRow(tr("継続回数"), m_draws);
    form->addRow(tr("口数"), m_units);
    form->addRow(tr("メモ"), m_memo);

    auto *add = new QPushButton(tr("追加"), row);
    add->setObjectName(QStringLiteral("cmdAdd"));
    connect(add, &QPushButton::clicked, this, [this] { report(addLines(m_lines->toPlainText())); });
    auto *remove = new QPushButton(tr("選択した番号を削除"), row);
    remove->setObjectName(QStringLiteral("cmdRemove"));
    connect(remove, &QPushButton::clicked, this, [this] { report(removeCurrent()); });
    m_combination->setObjectName(QStringLiteral("txtCombination"));
    m_combination->setPlaceholderText(tr("02 08 10 13 27 30"));
    auto *check = new QPushButton(tr("この組合せを過去の抽選と照合"), row);
    check->setObjectName(QStringLiteral("cmdCheck"));
    connect(check, &QPushButton::clicked, this,
        [this] { report(checkCombination(m_combination->text())); });
    auto *close = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("cmdClose"), row);
    connect(close, &QPushButton::clicked, this, &ChildWindow::unload);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(m_combination);
    buttons->addWidget(check);
    buttons->addWidget(chartButton(mainFrm(), "tickets", row));
    auto *printAndClose = new QHBoxLayout;
    printAndClose->addWidget(printButton(*this, row, [this] { return gridsOfShownTab(*m_tabs); }));
    printAndClose->addWidget(close);
    buttons->addLayout(printAndClose);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lines, 2);
    layout->addLayout(form, 1);
    layout->addLayout(buttons, 1);
    return row;
}

void TicketWindow::report(const Status &status)
{
    if (!status)
        mainFrm().showMessage(QMessageBox::Warning, windowTitle(),
            CoreReasons::japanese(status) + tr("\n番号を確かめてからやり直してください。"));
}

void TicketWindow::compute()
{
    m_from->setValue(std::min(mainFrm().document().totals().latestDrawNo + 1, MaxDrawNumber));
    std::map<int, DrawPrizes> prizes;
    m_grading.reset();
    if (Status status = mainFrm().document().gradeTickets(m_grading, prizes); !status) {
        report(status);
        return;
    }
    Sheet list = ticketListSheet(m_grading->tickets());
    if (m_grading->tickets().empty()) {
        // An empty book says how to fill it.
        list.setSize(list.columns(), 2);
        list.setText(1, 2,
            tr("購入番号はまだありません。上の欄に6つの数字を入れて「追加」を押すと、ここに並び、"
               "抽せん済みの回と照合します。")
                .toStdString());
        list.setAllowOverflow(true);
    }
    m_list->setSheet(std::move(list));
    m_summary->setSheet(ticketSummarySheet(*m_grading));
    moveNotesToLabel(*m_summary, *m_summaryNotes);
    m_resultsDue = true;
    showResultsIfDue();
    m_popularityDue = true;
    showPopularityIfDue();
}

void TicketWindow::showPopularityIfDue()
{
    if (!m_popularityDue || !m_grading || m_tabs->currentWidget() != m_popularity)
        return;
    std::vector<popularity::LabelledCombination> lines;
    for (const Ticket &t : m_grading->tickets()) {
        popularity::LabelledCombination line{std::to_string(t.id), {}};
        std::copy(t.numbers.begin(), t.numbers.end(), line.numbers.begin());
        std::sort(line.numbers.begin(), line.numbers.end());
        lines.push_back(line);
    }
    if (m_checked) {
        popularity::LabelledCombination line{tr("照合した組合せ").toStdString(), {}};
        std::copy(m_checked->begin(), m_checked->end(), line.numbers.begin());
        std::sort(line.numbers.begin(), line.numbers.end());
        lines.push_back(line);
    }
    PopularitySource &source = mainFrm().document().popularity();
    if (const auto sheet = PopularityTexts::ticketsSheet(source, lines))
        m_popularity->setSheet(*sheet);
    // 計算中… until the estimate comes; then shown again.
    m_popularityDue = source.pending();
}

void TicketWindow::showResultsIfDue()
{
    // A row per ticket and draw can run to a hundred thousand rows: made when first looked at.
    if (!m_resultsDue || !m_grading || m_tabs->currentWidget() != m_results)
        return;
    m_results->setSheet(ticketResultsSheet(*m_grading));
    m_resultsDue = false;
}

QSize TicketWindow::roomWanted() const
{
    // The book's list shows all its columns where there is room.
    return {m_list->missingSize().width(), 0};
}

Status TicketWindow::addLines(const QString &lines)
{
    std::vector<Ticket> tickets;
    const QStringList parts = lines.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : parts) {
        if (line.trimmed().isEmpty())
            continue;
        Ticket t;
        if (Status s = parseTicketNumbers(line.toStdString(), t.numbers); !s)
            return atLine(s, static_cast<int>(tickets.size() + 1));
        t.firstDraw = m_from->value();
        t.draws = m_draws->value();
        t.units = m_units->value();
        t.memo = m_memo->text().toStdString();
        t.source = parts.size() > 1 ? Ticket::Source::Pasted : Ticket::Source::Typed;
        tickets.push_back(t);
    }
    if (tickets.empty())
        return Status::failure(Fault{.kind = FaultKind::NoNumbersTyped});
    // Every window showing the book, this one included, follows the document's ticketsChanged.
    const Status status = mainFrm().document().addTickets(tickets);
    if (status) {
        // The next ticket starts afresh: one draw from the next one, no memo (compute() set
        // 開始回); the units stay, as they are usually the same.
        m_lines->clear();
        m_draws->setValue(1);
        m_memo->clear();
    }
    return status;
}

Status TicketWindow::removeCurrent()
{
    const int row = m_list->currentIndex().row() + 1;
    long long id = 0;
    const std::string_view text = m_list->sheetModel()->sheet().text(1, row);
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), id);
    if (row < 2 || text.empty() || parsed.ec != std::errc() || id <= 0)
        return Status::failure(Fault{.kind = FaultKind::NoTicketChosen});
    return mainFrm().document().removeTicket(id);
}

Status TicketWindow::checkCombination(const QString &line)
{
    Ticket t;
    Status status = parseTicketNumbers(line.toStdString(), t.numbers);
    if (status)
        status = validateTicket(t);
    std::map<int, DrawPrizes> prizes;
    if (status)
        status = mainFrm().document().payouts(prizes);
    if (!status)
        return status;
    const TicketGrading grading
        = loto6::checkCombination(t.numbers, mainFrm().document().history(), prizes);
    m_check->setSheet(combinationCheckSheet(grading, mainFrm().document().history()));
    m_checked = t.numbers;
    m_popularityDue = true;
    m_tabs->setCurrentWidget(m_check);
    return status;
}

} // namespace loto6
