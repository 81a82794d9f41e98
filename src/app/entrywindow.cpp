#include "entrywindow.h"

#include "appfonts.h"
#include "drawcelldelegate.h"
#include "drawtablemodel.h"
#include "mainfrm.h"
#include "twips.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace loto6 {

namespace {

constexpr auto MessageTitle = "メッセ－ジ"; // with the full-width hyphen
constexpr auto ProgramTitle = "ロト6ズンベル";
constexpr int DrawNoWidth = 5; // grid units: digit widths
constexpr int NumberWidth = 7;
constexpr int RowHeight = 10; // grid units: points
constexpr int ColumnPadding = 3; // as in the analysis grids
const QColor CloseButtonColor(255, 255, 192);

QMessageBox::StandardButton showMessageBox(QWidget *parent, const EntryWindow::Message &m)
{
    QMessageBox box(m.icon, m.title, m.text, m.buttons, parent);
    if (m.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(m.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

EntryWindow::EntryWindow(const QString &databaseFile, QWidget *parent)
    : QWidget(parent)
    , m_model(new DrawTableModel(this))
    , m_grid(new QTableView(this))
    , m_message([this](const Message &m) { return showMessageBox(this, m); })
    , m_popup([](QMenu *menu, const QPoint &pos) { menu->exec(pos); })
{
    setObjectName(QString::fromUtf8(ClassName));
    setWindowTitle(tr("当選データ入力[*]"));
    setFont(gridFont());
    setAttribute(Qt::WA_DeleteOnClose);

    m_loadStatus = m_model->open(std::filesystem::path(databaseFile.toStdString()));

    createMenus();
    createGrid();

    auto *description = new QLabel(
        tr("当選数字を開催回数毎に入力します。ここのデータが分析対象になります"), this);
    description->setObjectName(QStringLiteral("Label1"));
    // The window is narrower than the sentence.
    description->setWordWrap(true);
    m_closeButton = new QPushButton(tr("閉じる"), this);
    m_closeButton->setObjectName(QStringLiteral("Command1"));
    QPalette palette = m_closeButton->palette();
    palette.setColor(QPalette::Button, CloseButtonColor);
    m_closeButton->setPalette(palette);
    m_closeButton->setAutoFillBackground(true);
    connect(m_closeButton, &QPushButton::clicked, this, &EntryWindow::closeAfterCheck);

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

    connect(m_model, &DrawTableModel::unsavedRowsChanged, this, &EntryWindow::updateModified);
    // Shown after the edit has finished, not from inside the model's update.
    connect(m_model, &DrawTableModel::inputRefused, this, &EntryWindow::showError,
        Qt::QueuedConnection);
    updateModified();
}

EntryWindow::~EntryWindow()
{
    // Closing writes the rows; this catches a window destroyed without being closed.
    if (!m_unloaded)
        m_model->saveAll();
}

QWidget *EntryWindow::create(MainFrm &frame)
{
    auto *window = new EntryWindow(QString::fromStdString(frame.database().path().string()));
    if (!window->loadStatus()) {
        frame.showMessage(QMessageBox::Critical, QString::fromUtf8(MessageTitle),
            tr("データベースを開けませんでした。\n%1")
                .arg(QString::fromStdString(window->loadStatus().message())));
        delete window;
        return nullptr;
    }
    frame.setPropEnd(false);
    connect(window, &EntryWindow::unloaded, &frame, [&frame] { frame.setPropEnd(true); });
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
}

void EntryWindow::createGrid()
{
    m_grid->setObjectName(QStringLiteral("fpSpread1"));
    m_grid->setFont(gridFont());
    m_delegate = new DrawCellDelegate(m_grid);
    m_grid->setItemDelegate(m_delegate);
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
        | QAbstractItemView::AnyKeyPressed);
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

    QHeaderView *rows = m_grid->verticalHeader();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(
        static_cast<int>(std::lround(RowHeight * m_grid->logicalDpiY() / 72.0)));
    rows->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rows, &QWidget::customContextMenuRequested, this, &EntryWindow::showRowHeaderMenu);

    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &, const QModelIndex &previous) {
            if (previous.isValid())
                rowLeft(previous.row());
        });
}

void EntryWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // The designed size is the outer size, frame and caption included.
    QWidget *window = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!window)
        window = this;
    window->setGeometry(QRect(QPoint(0, 0), twipsToPixels(WidthTwips, HeightTwips)));
}

QMessageBox::StandardButton EntryWindow::message(const Message &m) { return m_message(m); }

bool EntryWindow::confirm(const QString &text)
{
    return message({ QMessageBox::Warning, QString::fromUtf8(ProgramTitle), text,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No })
        == QMessageBox::Yes;
}

void EntryWindow::showError(const QString &text)
{
    message({ QMessageBox::Critical, QString::fromUtf8(MessageTitle), text, QMessageBox::Ok,
        QMessageBox::Ok });
}

void EntryWindow::reportWriteFailure(const Status &status)
{
    showError(tr("データベースに書き込めませんでした。入力内容はそのまま残っています。\n%1")
                  .arg(QString::fromStdString(status.message())));
}

void EntryWindow::updateModified() { setWindowModified(m_model->hasUnsavedRows()); }

void EntryWindow::commitOpenEditor() { m_delegate->commitOpenEditor(); }

void EntryWindow::rowLeft(int row)
{
    // The row being deleted is left as well, but must not be written on its way out.
    if (m_removing || row < 0 || row >= m_model->rowCount())
        return;
    if (Status s = m_model->saveRow(row); !s)
        reportWriteFailure(s);
}

void EntryWindow::addLine()
{
    if (!confirm(tr("選択された行のうしろに行を追加します。よろしいですか？")))
        return;
    const QModelIndex active = m_grid->currentIndex();
    const int column = active.isValid() ? active.column() : 1;
    const int row = m_model->insertDrawRow(active.isValid() ? active.row() : -1);
    const QModelIndex target = m_model->index(row, column);
    m_grid->setCurrentIndex(target);
    m_grid->scrollTo(target);
}

void EntryWindow::deleteLine()
{
    if (!confirm(tr("選択された行を削除します。よろしいですか？")))
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

void EntryWindow::showRowHeaderMenu(const QPoint &pos)
{
    const int row = m_grid->verticalHeader()->logicalIndexAt(pos);
    if (row < 0 || row >= m_model->rowCount())
        return;
    QSet<int> rows;
    for (const QModelIndex &index : m_grid->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.isEmpty() && m_grid->currentIndex().isValid())
        rows.insert(m_grid->currentIndex().row());
    if (rows.size() != 1)
        return;
    m_popup(m_editMenu, m_grid->verticalHeader()->viewport()->mapToGlobal(pos));
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
        const QString text = m_model->hasWrongRows()
            ? tr("数字に誤りがある行は保存されていません。破棄して閉じますか？")
            : tr("保存できなかった行があります。破棄して閉じますか？");
        if (!confirm(text)) {
            event->ignore();
            return;
        }
    }
    event->accept();
    m_unloaded = true;
    emit unloaded();
}

} // namespace loto6
