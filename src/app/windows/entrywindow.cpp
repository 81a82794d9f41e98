#include "windows/entrywindow.h"

#include "commands/corereasons.h"
#include "entry/drawcelldelegate.h"
#include "entry/drawtablemodel.h"
#include "entry/drawtableview.h"
#include "shell/appfonts.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/twips.h"
#include "shell/uihelpers.h"
#include "views/sheetfinder.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include <cmath>

namespace loto6 {

namespace {

constexpr int DrawNoWidth = 5; // grid units: digit widths
constexpr int NumberWidth = 7;
constexpr int DateWidth = 11;
constexpr int RowHeight = 10;    // grid units: points
constexpr int ColumnPadding = 3; // as in the analysis grids

} // namespace

EntryWindow::EntryWindow(MainFrm &frame, QWidget *parent)
    : ChildWindow(frame, parent)
    , m_model(new DrawTableModel(this))
    , m_grid(new DrawTableView(this))
{
    setObjectName(QString::fromUtf8(windowclass::Entry));
    setWindowTitle(tr("当選データ入力[*]"));
    setFont(gridFont());
    setAttribute(Qt::WA_DeleteOnClose);

    m_loadStatus = m_model->open(frame.document().database().path());
    m_model->setReadOnly(m_loadStatus && m_model->database().isReadOnly());

    createMenus();
    createGrid();

    auto *description = new QLabel(
        tr("当選数字を開催回数毎に入力します。ここのデータが分析対象になります"), this);
    description->setObjectName(QStringLiteral("Label1"));
    // The window is narrower than the sentence.
    description->setWordWrap(true);
    m_closeButton
        = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("Command1"), this);
    connect(m_closeButton, &QPushButton::clicked, this, &EntryWindow::closeAfterCheck);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusLine"));
    m_status->setWordWrap(true);

    auto *top = new QHBoxLayout;
    top->addWidget(description, 1, Qt::AlignLeft | Qt::AlignVCenter);
    top->addWidget(m_closeButton, 0, Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    auto *menuBar = new QMenuBar(this);
    menuBar->addMenu(m_editMenu);
    layout->setMenuBar(menuBar);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_status);

    connect(m_model, &DrawTableModel::unsavedRowsChanged, this, &EntryWindow::updateModified);
    connect(m_model, &DrawTableModel::dataChanged, this, [this](const QModelIndex &topLeft) {
        m_lastEditedRow = topLeft.row();
        updateStatus();
    });
    // Shown after the edit has finished, not from inside the model's update.
    connect(m_model, &DrawTableModel::inputRefused, this, &EntryWindow::showError,
        Qt::QueuedConnection);
    connect(m_model, &DrawTableModel::inputRefused, this, &EntryWindow::showStatus);
    connect(m_model, &DrawTableModel::drawsWritten, this, &EntryWindow::historyChanged);
    updateModified();
    // Opens on the latest draw, ready for the next one.
    if (const int latest = m_model->latestRow(); latest >= 0)
        m_grid->setCurrentIndex(m_model->index(latest, DrawTableModel::FirstNumberColumn));
    updateStatus();
}

EntryWindow::~EntryWindow()
{
    // Closing writes the rows; this catches a window destroyed without being closed.
    if (!m_unloaded)
        m_model->saveAll();
}

QWidget *EntryWindow::create(MainFrm &frame)
{
    auto *window = new EntryWindow(frame);
    if (!window->loadStatus()) {
        frame.showMessage(QMessageBox::Critical, QString::fromUtf8(MessageTitle),
            tr("データベースを開けませんでした。\n%1")
                .arg(CoreReasons::japanese(window->loadStatus())));
        delete window;
        return nullptr;
    }
    // Queued: the history is read again, and every window shows it, once the write is done.
    connect(window, &EntryWindow::historyChanged, &frame, &MainFrm::reloadHistory,
        Qt::QueuedConnection);
    return window;
}

void EntryWindow::createMenus()
{
    m_editMenu = new QMenu(tr("編集(&E)"), this);
    m_editMenu->setObjectName(QStringLiteral("mnuEdit"));
    QAction *add = m_editMenu->addAction(tr("行追加"));
    add->setObjectName(QStringLiteral("mnuAddLine"));
    connect(add, &QAction::triggered, this, &EntryWindow::addLine);
    QAction *del = m_editMenu->addAction(tr("行削除"));
    del->setObjectName(QStringLiteral("mnuDelLine"));
    connect(del, &QAction::triggered, this, &EntryWindow::deleteLine);
    add->setEnabled(!m_model->isReadOnly());
    del->setEnabled(!m_model->isReadOnly());

    // Ctrl+V in the grid (not in an open editor) pastes lines of published results.
    auto *paste = new QAction(tr("貼り付け"), this);
    paste->setObjectName(QStringLiteral("actPaste"));
    paste->setShortcut(QKeySequence::Paste);
    paste->setShortcutContext(Qt::WidgetShortcut);
    paste->setEnabled(!m_model->isReadOnly());
    connect(paste, &QAction::triggered, this, &EntryWindow::pasteClipboard);
    m_grid->addAction(paste);

    // Ctrl+Z in the grid (not in an open editor, which has its own) undoes the last edit.
    auto *undo = new QAction(tr("元に戻す"), this);
    undo->setObjectName(QStringLiteral("actUndo"));
    undo->setShortcut(QKeySequence::Undo);
    undo->setShortcutContext(Qt::WidgetShortcut);
    undo->setEnabled(!m_model->isReadOnly());
    connect(undo, &QAction::triggered, this, &EntryWindow::undoLastEdit);
    m_grid->addAction(undo);

    // Ctrl+G in the grid goes to a draw, as in every other table; reading only is enough.
    connect(
        SheetFinder::addGoToDrawCommand(m_grid), &QAction::triggered, this, &EntryWindow::askDraw);
}

void EntryWindow::createGrid()
{
    m_grid->setObjectName(QStringLiteral("fpSpread1"));
    m_grid->setFont(gridFont());
    m_delegate = new DrawCellDelegate(m_grid);
    m_grid->setItemDelegate(m_delegate);
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(m_model->isReadOnly() ? QAbstractItemView::NoEditTriggers
                                                  : QAbstractItemView::DoubleClicked
                | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    connect(m_delegate, &DrawCellDelegate::enterPressed, m_grid, &DrawTableView::moveAfterEnter);
    // Enter after the last number of the last row writes the draw without leaving the row.
    connect(m_grid, &DrawTableView::rowFinished, this, &EntryWindow::rowLeft);
    m_grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_grid->setWordWrap(false);
    m_grid->setCornerButtonEnabled(false);
    // Thin solid black borders on every cell.
    m_grid->setShowGrid(true);
    m_grid->setGridStyle(Qt::SolidLine);
    m_grid->setStyleSheet(QStringLiteral("QTableView { gridline-color: black; }"));

    const double digit = QFontMetricsF(m_grid->font()).horizontalAdvance(QLatin1Char('0'));
    auto columnPixels = [digit](int units) {
        return static_cast<int>(std::lround(units * digit)) + ColumnPadding;
    };
    QHeaderView *columns = m_grid->horizontalHeader();
    columns->setMinimumSectionSize(1);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setDefaultSectionSize(columnPixels(NumberWidth));
    columns->resizeSection(DrawTableModel::DrawNoColumn, columnPixels(DrawNoWidth));
    columns->resizeSection(DrawTableModel::DateColumn, columnPixels(DateWidth));

    // 回数 names each row: a row-number column would only repeat it.
    QHeaderView *rows = m_grid->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(
        static_cast<int>(std::lround(RowHeight * m_grid->logicalDpiY() / 72.0)));
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this, &EntryWindow::showRowMenu);

    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &, const QModelIndex &previous) {
            if (previous.isValid())
                rowLeft(previous.row());
        });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &EntryWindow::updateStatus);
}

QSize EntryWindow::sizeTwips() const
{
    // In whole pixels, so that the window opens exactly the date column wider.
    const QSize designed = ChildWindow::sizeTwips();
    const int width = twipsToPixels(designed.width())
        + m_grid->horizontalHeader()->sectionSize(DrawTableModel::DateColumn);
    return {static_cast<int>(std::lround(pixelsToTwips(width))), designed.height()};
}

void EntryWindow::showEvent(QShowEvent *event)
{
    ChildWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (m_model->isReadOnly())
        message({QMessageBox::Information, QString::fromUtf8(MessageTitle),
            tr("データベースが読み取り専用のため、表示だけができます。\n"
               "入力するには、ファイルへの書き込みを許可してから開き直してください。"),
            QMessageBox::Ok, QMessageBox::Ok});
}

QMessageBox::StandardButton EntryWindow::message(const Dialogs::Message &m)
{
    return mainFrm().dialogs().message(this, m);
}

void EntryWindow::showError(const QString &text)
{
    message({QMessageBox::Critical, QString::fromUtf8(MessageTitle), text, QMessageBox::Ok,
        QMessageBox::Ok});
}

void EntryWindow::reportWriteFailure(const Status &status)
{
    showError(tr("データベースに書き込めませんでした。入力内容はそのまま残っています。\n%1")
                  .arg(CoreReasons::japanese(status)));
}

void EntryWindow::updateModified()
{
    setWindowModified(m_model->hasUnsavedRows());
    updateStatus();
}

void EntryWindow::showStatus(const QString &text) { m_status->setText(text); }

void EntryWindow::updateStatus()
{
    if (m_model->isReadOnly()) {
        showStatus(tr("読み取り専用のため変更できません。"));
        return;
    }
    // The current cell's problem first; then the row just edited, whose wrong cell the cursor
    // has usually just left; the current row; any wrong cell; last the note on a row that is
    // not complete yet.
    const QModelIndex current = m_grid->currentIndex();
    if (current.isValid())
        if (QString text = m_model->problemText(current.row(), current.column()); !text.isEmpty())
            return showStatus(text);
    for (const int row : {m_lastEditedRow, current.isValid() ? current.row() : -1})
        if (row >= 0 && row < m_model->rowCount())
            for (int c = DrawTableModel::FirstNumberColumn; c < DrawTableModel::ColumnCount; ++c)
                if (m_model->isWrong(row, c))
                    return showStatus(m_model->problemText(row, c));
    if (const QModelIndex wrong = m_model->firstWrongCell(); wrong.isValid())
        return showStatus(m_model->problemText(wrong.row(), wrong.column()));
    if (current.isValid() && m_model->isIncomplete(current.row()))
        return showStatus(m_model->data(current, Qt::ToolTipRole).toString());
    showStatus({});
}

void EntryWindow::commitOpenEditor() { m_delegate->commitOpenEditor(); }

void EntryWindow::rowLeft(int row)
{
    // The row being deleted is left as well, but must not be written on its way out.
    if (m_removing || row < 0 || row >= m_model->rowCount())
        return;
    if (Status s = m_model->saveRow(row); !s)
        reportWriteFailure(s);
}

void EntryWindow::undoLastEdit()
{
    const QModelIndex cell = m_model->undoLastEdit();
    if (!cell.isValid()) {
        showStatus(tr("元に戻す入力はありません。"));
        return;
    }
    m_grid->setCurrentIndex(cell);
    m_grid->scrollTo(cell);
    showStatus(tr("第%1回の%2を元に戻しました。")
                   .arg(m_model->index(cell.row(), DrawTableModel::DrawNoColumn)
                            .data(Qt::EditRole)
                            .toString(),
                       m_model->headerData(cell.column(), Qt::Horizontal).toString()));
}

void EntryWindow::addLine()
{
    // A new draw always goes at the end, whichever row is selected, ready for its first number.
    // Nothing is asked: the new row is written only once complete, and 行削除 takes it away.
    commitOpenEditor();
    const int row = m_model->insertDrawRow(-1);
    if (row < 0)
        return;
    const QModelIndex target = m_model->index(row, DrawTableModel::FirstNumberColumn);
    m_grid->setCurrentIndex(target);
    m_grid->scrollTo(target);
}

void EntryWindow::deleteLine()
{
    if (!m_model->confirm(tr("選択された行を削除します。よろしいですか？")))
        return;
    const QModelIndex active = m_grid->currentIndex();
    if (!active.isValid())
        return;
    commitOpenEditor();
    m_removing = true;
    const Status s = m_model->removeDrawRow(active.row());
    m_removing = false;
    if (!s)
        reportWriteFailure(s);
}

void EntryWindow::pasteClipboard() { paste(QGuiApplication::clipboard()->text()); }

void EntryWindow::paste(const QString &text)
{
    if (m_model->isReadOnly())
        return;
    commitOpenEditor();
    const QModelIndex current = m_grid->currentIndex();
    const int filled = m_model->pasteText(current.isValid() ? current.row() : -1, text);
    // Pasted rows are finished entries: the complete ones are written at once.
    if (Status s = m_model->saveAll(); !s)
        reportWriteFailure(s);
    if (filled > 0 && m_status->text().isEmpty())
        showStatus(tr("%1行を貼り付けました。").arg(filled));
}

void EntryWindow::askDraw()
{
    if (const std::optional<int> n = SheetFinder::askDrawNumber(this))
        goToDraw(*n);
}

bool EntryWindow::goToDraw(int drawNo)
{
    QModelIndex cell;
    for (int row = 0; row < m_model->rowCount() && !cell.isValid(); ++row)
        if (m_model->drawNumber(row) == drawNo)
            cell = m_model->index(row, DrawTableModel::FirstNumberColumn);
    // The row left is written on the way, as when the user moves there by hand.
    commitOpenEditor();
    SheetFinder::moveToDraw(m_grid, cell, drawNo);
    return cell.isValid();
}

void EntryWindow::showRowMenu(const QPoint &pos)
{
    const QModelIndex at = m_grid->indexAt(pos);
    if (!at.isValid() || at.column() != DrawTableModel::DrawNoColumn)
        return;
    QSet<int> rows;
    for (const QModelIndex &index : m_grid->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.isEmpty() && m_grid->currentIndex().isValid())
        rows.insert(m_grid->currentIndex().row());
    if (rows.size() != 1)
        return;
    mainFrm().dialogs().popup(m_editMenu, m_grid->viewport()->mapToGlobal(pos));
}

bool EntryWindow::closeAfterCheck()
{
    commitOpenEditor();
    if (const QModelIndex wrong = m_model->firstWrongCell(); wrong.isValid()) {
        showError(tr("結果マスタの数字に誤りがあります。"));
        m_grid->setCurrentIndex(wrong);
        m_grid->scrollTo(wrong);
        m_grid->setFocus();
        return false;
    }
    if (Status s = m_model->saveAll(); !s) {
        reportWriteFailure(s);
        return false;
    }
    if (auto *window = qobject_cast<QMdiSubWindow *>(parentWidget()))
        return window->close();
    return close();
}

void EntryWindow::closeEvent(QCloseEvent *event)
{
    commitOpenEditor();
    if (Status s = m_model->saveAll(); !s)
        reportWriteFailure(s);
    if (m_model->hasUnsavedRows()) {
        QString text = tr("保存できなかった行があります。破棄して閉じますか？");
        if (m_model->hasWrongRows())
            text = tr("数字に誤りがある行は保存されていません。破棄して閉じますか？");
        else if (m_model->hasIncompleteRows())
            text = tr("7つの数字がそろっていない行は保存されていません。破棄して閉じますか？");
        if (!m_model->confirm(text)) {
            event->ignore();
            return;
        }
    }
    // propEnd goes back to true with the close.
    ChildWindow::closeEvent(event);
    m_unloaded = true;
    emit unloaded();
}

} // namespace loto6
