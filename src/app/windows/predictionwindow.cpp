#include "windows/predictionwindow.h"

#include "commands/corereasons.h"
#include "document/popularitysource.h"
#include "document/popularitytexts.h"
#include "shell/appfonts.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/twips.h"
#include "shell/uihelpers.h"
#include "store/drawrecord.h"
#include "summary/buyingnote.h"
#include "views/printpreview.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/printbutton.h"
#include "windows/recordpredictiondialog.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>

namespace loto6 {

namespace {

QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// Designed places in twips, relative to the window's client area unless noted. What lies
// inside the two frames is laid out from the font, so that no text runs into a line or frame.
constexpr int FrameTop = 480;
constexpr int FrameHeight = 7272;
constexpr int OptionsLeft = 120;
constexpr int OptionsWidth = 3855;
constexpr int PredictionLeft = 4080;
constexpr int PredictionWidth = 5055;
constexpr int FrameMargin = 120;
// Inside the options frame.
constexpr int AnalysisLeft = 120;
constexpr int AnalysisTop = 720;
constexpr int AnalysisStep = 540;
constexpr int AnalysisWidth = 3615;
constexpr int AnalysisHeight = 495;
// Inside an analysis frame.
constexpr int ReflectLeft = 480;
constexpr int IgnoreLeft = 1920;
// The grids, as wide as designed, start this far into the prediction frame.
constexpr int GridIndent = 240;
constexpr int GridWidth = 4680;
constexpr int ButtonHeight = 375;

// The first line under a frame's caption, as the style places the caption.
int belowCaption(const QGroupBox *box)
{
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return box->style()
               ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box)
               .bottom()
        + 1;
}

// A row that starts where the grids start, with the widget (when given) at its designed width.
QHBoxLayout *indented(QWidget *widget)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    row->addSpacing(twipsToPixels(GridIndent - FrameMargin));
    if (widget) {
        row->addWidget(widget);
        row->addStretch(1);
    }
    return row;
}

QLabel *descriptionLabel(const QString &text, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// Opens a window through its menu command, as the menu item would.
void triggerCommand(MainFrm &frame, const char *className)
{
    if (QAction *command = frame.openCommand(qs(className)))
        command->trigger();
}

} // namespace

PredictionWindow::PredictionWindow(MainFrm &frame, QWidget *parent)
    : ChildWindow(frame, parent)
{
    setObjectName(qs(windowclass::Prediction));
    setWindowTitle(tr("一発ズンベル予想"));
    setFont(gridFont());
    // Everything stands at its designed place on one page, which scrolls when the window is
    // made smaller than it (tiled side by side, say) instead of being cut off.
    m_content = new QWidget(this);

    QPushButton *print = printNoteButton(*this, m_content, [this] {
        QString title;
        const std::vector<Sheet> sheets = noteSheets(&title);
        printSheets(this, sheets, title, historyRange(mainFrm()));
    });
    print->setGeometry(twipsRect(7200, 60, 855, 375));
    QPushButton *close
        = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("Cmd閉じる"), m_content);
    close->setGeometry(twipsRect(8160, 60, 855, 375));
    connect(close, &QPushButton::clicked, this, &ChildWindow::unload);

    createOptionFrames();
    createPredictionFrame();
    fitFramesToFont();
    placeOnScrollingPage();
}

void PredictionWindow::placeOnScrollingPage()
{
    const QRect used = m_content->childrenRect();
    m_content->setMinimumSize(used.right() + 1, used.bottom() + 1);
    auto *page = new QScrollArea(this);
    page->setObjectName(QStringLiteral("page"));
    page->setFrameShape(QFrame::NoFrame);
    // The page fills a larger window and keeps its size in a smaller one.
    page->setWidgetResizable(true);
    page->setWidget(m_content);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
}

void PredictionWindow::openOnActivation(MainFrm &frame)
{
    // Once the exit sequence has run, an activation must not bring the window back.
    auto exiting = std::make_shared<bool>(false);
    QObject::connect(&frame, &MainFrm::settingsWritten, &frame, [exiting] { *exiting = true; });
    QObject::connect(&frame, &MainFrm::activatedAmongOwnWindows, &frame, [&frame, exiting] {
        // An open prediction window stays where it is: the window in use keeps the front.
        if (*exiting || !frame.isVisible()
            || frame.childWindow(QString::fromUtf8(windowclass::Prediction)))
            return;
        triggerCommand(frame, windowclass::Prediction);
    });
}

void PredictionWindow::createOptionFrames()
{
    auto *options = m_optionsFrame = new QGroupBox(tr("データ分析オプション"), m_content);
    options->setObjectName(QStringLiteral("FrameOptions"));
    options->setGeometry(twipsRect(OptionsLeft, FrameTop, OptionsWidth, FrameHeight));
    // The description under the caption, as tall as its lines; the analysis frames below it.
    const int left = twipsToPixels(AnalysisLeft);
    const int width = twipsToPixels(AnalysisWidth);
    QLabel *description
        = descriptionLabel(tr("各データ分析の分析結果を当選予想へ反映するかを設定します。"),
            QStringLiteral("Label1"), options);
    description->setGeometry(
        left, options->contentsRect().top(), width, description->heightForWidth(width));
    int top = std::max(twipsToPixels(AnalysisTop), description->geometry().bottom() + 2);

    for (int i = 0; i < PredictionOptions::Count; ++i) {
        // Each pair sits in its own frame, which makes the two buttons exclusive.
        auto *analysis = new QGroupBox(qs(PredictionOptions::frameCaption(i)), options);
        analysis->setObjectName(QStringLiteral("FrameAnalysis%1").arg(i));
        auto *reflect = new QRadioButton(tr("反映する"), analysis);
        auto *ignore = new QRadioButton(tr("反映しない"), analysis);
        reflect->setObjectName(QStringLiteral("Opt反映する"));
        ignore->setObjectName(QStringLiteral("Opt反映しない"));
        // The buttons stand under the caption, one text line tall, inside the box.
        const int buttonTop = belowCaption(analysis);
        const int buttonHeight = fontMetrics().height();
        const int height = std::max(twipsToPixels(AnalysisHeight), buttonTop + buttonHeight + 2);
        analysis->setGeometry(left, top, width, height);
        reflect->setGeometry(twipsToPixels(ReflectLeft), buttonTop,
            twipsToPixels(IgnoreLeft - ReflectLeft - 60), buttonHeight);
        ignore->setGeometry(twipsToPixels(IgnoreLeft), buttonTop,
            twipsToPixels(AnalysisWidth - IgnoreLeft - 60), buttonHeight);
        top += std::max(twipsToPixels(AnalysisStep), height + 2);
        for (QRadioButton *button : {reflect, ignore}) {
            button->setProperty("index", i);
            connect(button, &QRadioButton::clicked, this,
                [this, i, on = button == reflect] { setSwitch(i, on); });
        }
        m_reflect[static_cast<std::size_t>(i)] = reflect;
        m_ignore[static_cast<std::size_t>(i)] = ignore;
    }
}

void PredictionWindow::createPredictionFrame()
{
    auto *prediction = m_predictionFrame = new QGroupBox(tr("当選予想"), m_content);
    prediction->setObjectName(QStringLiteral("FramePrediction"));
    prediction->setGeometry(twipsRect(PredictionLeft, FrameTop, PredictionWidth, FrameHeight));
    auto *layout = new QVBoxLayout(prediction);
    const int margin = twipsToPixels(FrameMargin);
    layout->setContentsMargins(margin, 0, margin / 2, margin / 2);
    layout->setSpacing(0);
    layout->addWidget(descriptionLabel(tr("各データ分析の結果を元に周期法、消去法、連発ズンベル、"
                                          "一発ズンベルの各手法を用いて当選数字を予想します。"),
        QStringLiteral("Label2"), prediction));

    // Each grid under its heading, as tall as its rows in the grid font.
    for (int g = 0; g < PredictionGridCount; ++g) {
        const Sheet empty = predictionSheet(static_cast<PredictionGrid>(g));
        auto *heading = new QLabel(qs(empty.caption()), prediction);
        heading->setObjectName(QStringLiteral("LabelGrid%1").arg(g));
        auto *view = new SheetView(prediction);
        view->setObjectName(QStringLiteral("fpSpread1"));
        view->setProperty("index", g);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_rowPixels
            = std::max(view->rowPixels(empty.rowHeight(0)), view->fontMetrics().height() + 1);
        view->setFixedSize(
            twipsToPixels(GridWidth), empty.rows() * m_rowPixels + 2 * view->frameWidth());
        m_grids[static_cast<std::size_t>(g)] = view;
        layout->addSpacing(margin / 2);
        layout->addWidget(heading);
        layout->addSpacing(1);
        layout->addLayout(indented(view));
    }
    // Each line's popularity and expected value, beside the lines.
    m_popularity = new QLabel(prediction);
    m_popularity->setObjectName(QStringLiteral("lblPopularity"));
    m_popularity->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_popularity->setMinimumHeight(m_popularity->fontMetrics().lineSpacing() * 7);
    m_popularity->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *popularity = new QPushButton(tr("人気度と期待値"), prediction);
    popularity->setObjectName(QStringLiteral("cmdPopularity"));
    popularity->setToolTip(PopularityTexts::caveats());
    connect(popularity, &QPushButton::clicked, this, [this] { showPopularity(true); });
    // The values show by themselves once the document has learnt popularity.
    connect(&mainFrm().document().popularity(), &PopularitySource::ready, this,
        [this] { showPopularity(false); });
    QHBoxLayout *popularityRow = indented(nullptr);
    popularityRow->addWidget(m_popularity, 1);
    popularityRow->addWidget(popularity, 0, Qt::AlignTop);
    layout->addSpacing(margin / 2);
    layout->addLayout(popularityRow);
    layout->addSpacing(margin);
    layout->addLayout(createCommandButtons(prediction));
    layout->addStretch(1);
}

void PredictionWindow::fitFramesToFont()
{
    const int designed = twipsToPixels(FrameHeight);
    int height = designed;
    const QWidget *lastAnalysis = m_reflect.back()->parentWidget();
    height = std::max(
        height, lastAnalysis->geometry().bottom() + m_optionsFrame->contentsMargins().bottom() + 2);
    height = std::max(
        height, m_predictionFrame->layout()->totalHeightForWidth(m_predictionFrame->width()));
    for (QGroupBox *frame : {m_optionsFrame, m_predictionFrame})
        frame->resize(frame->width(), height);
    // Placed now, so that the window is whole before it is first shown.
    m_predictionFrame->layout()->activate();
    m_extraHeight = height - designed;
}

QHBoxLayout *PredictionWindow::createCommandButtons(QWidget *parent)
{
    // How the methods did on the past draws, in a window of its own.
    auto *check = new QPushButton(tr("予想の検証..."), parent);
    check->setObjectName(QStringLiteral("cmdBacktest"));
    connect(check, &QPushButton::clicked, this,
        [this] { triggerCommand(mainFrm(), windowclass::Backtest); });
    auto *record = new QPushButton(tr("この予想を記録..."), parent);
    record->setObjectName(QStringLiteral("cmdRecord"));
    record->setToolTip(tr("一発ズンベル予想を次の回の購入番号として記録します。"));
    connect(record, &QPushButton::clicked, this, &PredictionWindow::askAndRecord);
    auto *tickets = new QPushButton(tr("購入番号の照合..."), parent);
    tickets->setObjectName(QStringLiteral("cmdTickets"));
    connect(tickets, &QPushButton::clicked, this,
        [this] { triggerCommand(mainFrm(), windowclass::Tickets); });
    auto *design = new QPushButton(tr("番号の設計..."), parent);
    design->setObjectName(QStringLiteral("cmdDesign"));
    connect(design, &QPushButton::clicked, this,
        [this] { triggerCommand(mainFrm(), windowclass::Design); });
    // Two buttons a line, so that each shows its whole text in the frame's width.
    auto *grid = new QGridLayout;
    grid->setSpacing(twipsToPixels(60));
    int place = 0;
    for (QPushButton *button : {check, record, tickets, design}) {
        button->setFixedHeight(twipsToPixels(ButtonHeight));
        grid->addWidget(button, place / 2, place % 2);
        ++place;
    }
    QHBoxLayout *row = indented(nullptr);
    row->addLayout(grid);
    return row;
}

QRadioButton *PredictionWindow::reflectButton(int index) const
{
    return m_reflect.at(static_cast<std::size_t>(index));
}

QRadioButton *PredictionWindow::ignoreButton(int index) const
{
    return m_ignore.at(static_cast<std::size_t>(index));
}

SheetView *PredictionWindow::grid(PredictionGrid grid) const
{
    return m_grids.at(static_cast<std::size_t>(grid));
}

void PredictionWindow::showSheet(PredictionGrid g, Sheet sheet)
{
    SheetView *view = grid(g);
    view->setSheet(std::move(sheet));
    view->verticalHeader()->setDefaultSectionSize(m_rowPixels);
}

QSize PredictionWindow::sizeTwips() const
{
    const QSize designed = ChildWindow::sizeTwips();
    return {designed.width(),
        designed.height() + static_cast<int>(std::lround(pixelsToTwips(m_extraHeight)))};
}

void PredictionWindow::compute()
{
    const PredictionOptions &options = mainFrm().document().predictionOptions();
    for (int i = 0; i < PredictionOptions::Count; ++i) {
        const bool on = options.on[static_cast<std::size_t>(i)];
        (on ? reflectButton(i) : ignoreButton(i))->setChecked(true);
    }
    for (int g = 0; g < PredictionGridCount; ++g)
        showSheet(static_cast<PredictionGrid>(g), predictionSheet(static_cast<PredictionGrid>(g)));

    // Each opening scans again into the tables the main window keeps for the run.
    mainFrm().document().predictionEngine().scan(mainFrm().document().history());
    predict(true);
}

void PredictionWindow::setSwitch(int index, bool on)
{
    (on ? reflectButton(index) : ignoreButton(index))->setChecked(true);
    mainFrm().document().predictionOptions().on[static_cast<std::size_t>(index)] = on;
    // The settings file is written at exit only.
    predict(false);
}

void PredictionWindow::predict(bool withCycles)
{
    m_prediction = mainFrm().document().predictionEngine().predict(
        mainFrm().document().totals().latestDrawNo, mainFrm().document().predictionOptions());
    // The heading names the draw predicted: the one after the latest (or after 基準回).
    const int latest = m_prediction.latestDrawNo;
    m_predictionFrame->setTitle(latest > 0 && latest < MaxDrawNumber
            ? tr("当選予想　第%1回の予想").arg(latest + 1)
            : tr("当選予想"));
    // Fresh sheets: the elimination area starts empty, and no number of an earlier pass stays.
    std::array<Sheet, PredictionGridCount> sheets = buildPredictionSheets(m_prediction);
    for (int g = withCycles ? CycleGrid : EliminationGrid; g < PredictionGridCount; ++g)
        showSheet(static_cast<PredictionGrid>(g), std::move(sheets[static_cast<std::size_t>(g)]));
    showPopularity(false);
}

void PredictionWindow::showPopularity(bool makeIfMissing)
{
    const QString text = PopularityTexts::linesSummary(mainFrm().document().popularity(),
        predictionLines(m_prediction, {true, true}), makeIfMissing);
    m_popularity->setText(
        text.isEmpty() && makeIfMissing ? PopularityTexts::unavailableText() : text);
}

Status PredictionWindow::record(PredictionRecord::Rows rows)
{
    if (mainFrm().document().asOf() != DrawHistory::NoCut)
        return Status::failure(Fault{.kind = FaultKind::RecordingAsOf});
    const int latest = m_prediction.latestDrawNo;
    if (latest >= MaxDrawNumber)
        return Status::failure(Fault{.kind = FaultKind::NoDrawFollows, .draw = latest});
    const std::vector<std::array<int, MainNumberCount>> lines = predictionLines(m_prediction, rows);
    if (lines.empty())
        return Status::failure(Fault{.kind = FaultKind::PredictionEmpty});
    PredictionRecord entry;
    entry.latestDrawNo = latest;
    entry.reflectionShift = m_prediction.reflectionShift;
    entry.switches = PredictionRecord::switchText(mainFrm().document().predictionOptions());
    entry.historyHash = historyHash(mainFrm().document().history());
    std::vector<Ticket> made;
    // Every window showing the book follows the document's ticketsChanged.
    const Status status = mainFrm().document().recordPrediction(entry, lines, made);
    if (!status)
        return causedBy(Fault{.kind = FaultKind::PredictionUnsaved}, status);
    mainFrm().statusBar()->showMessage(tr("第%1回の予想として%2組を記録しました（予想記録 %3）。"
                                          "当せんは「購入番号の照合」で確かめられます。")
                                           .arg(latest + 1)
                                           .arg(made.size())
                                           .arg(entry.id));
    return status;
}

std::vector<Sheet> PredictionWindow::noteSheets(QString *title) const
{
    HistoryDocument &document = mainFrm().document();
    std::string latestDate;
    for (const DrawRecord &r : document.history())
        if (r.drawNo == m_prediction.latestDrawNo)
            latestDate = r.date;
    const BuyingNote note = predictionNote(m_prediction, document.predictionOptions(), latestDate);
    if (title)
        *title = qs(buyingNoteTitle(note));
    return buyingNoteSheets(
        note, document.popularity().estimate(false), document.popularity().patterns());
}

void PredictionWindow::askAndRecord()
{
    PredictionRecord::Rows rows;
    // Nothing to ask when recording is refused anyway: the message says why at once.
    if (mainFrm().document().asOf() == DrawHistory::NoCut
        && !predictionLines(m_prediction, {}).empty()) {
        RecordPredictionDialog dialog(m_prediction, m_prediction.latestDrawNo + 1, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        rows = dialog.rows();
    }
    if (Status s = record(rows); !s)
        mainFrm().showMessage(QMessageBox::Warning, qs(MessageTitle), CoreReasons::japanese(s));
}

} // namespace loto6
