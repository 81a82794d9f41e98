#include "predictionwindow.h"

#include "appfonts.h"
#include "backtestwindow.h"
#include "mainfrm.h"
#include "sheetmodel.h"
#include "sheetview.h"
#include "twips.h"
#include "uihelpers.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

namespace loto6 {

namespace {

QRect twipsRect(int left, int top, int width, int height)
{
    return { twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height) };
}

// Designed places in twips, relative to the window's client area unless noted.
constexpr int FrameTop = 480;
constexpr int FrameHeight = 7272;
constexpr int OptionsLeft = 120;
constexpr int OptionsWidth = 3855;
constexpr int PredictionLeft = 4080;
constexpr int PredictionWidth = 5055;
// Inside the options frame.
constexpr int AnalysisLeft = 120;
constexpr int AnalysisTop = 720;
constexpr int AnalysisStep = 540;
constexpr int AnalysisWidth = 3615;
constexpr int AnalysisHeight = 495;
// Inside an analysis frame.
constexpr int ReflectLeft = 480;
constexpr int IgnoreLeft = 1920;
constexpr int ButtonTop = 240;

struct GridPlace
{
    int top;
    int height;
};
constexpr int GridLeft = 4320;
constexpr int GridWidth = 4680;
constexpr GridPlace GridPlaces[PredictionGridCount]
    = { { 1680, 1092 }, { 3480, 912 }, { 5040, 612 }, { 6360, 672 } };
// A heading stands just above its grid.
constexpr int HeadingGap = 240;

} // namespace

PredictionWindow::PredictionWindow(MainFrm &frame, QWidget *parent)
    : ChildWindow(frame, parent)
{
    setObjectName(qs(ClassName));
    setWindowTitle(tr("一発ズンベル予想"));
    setFont(gridFont());

    QPushButton *print
        = colouredButton(tr("印刷"), PrintButtonColor, QStringLiteral("Command2"), this);
    print->setGeometry(twipsRect(7200, 60, 855, 375));
    // Present but without an action.
    print->setEnabled(false);
    QPushButton *close
        = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("Cmd閉じる"), this);
    close->setGeometry(twipsRect(8160, 60, 855, 375));
    connect(close, &QPushButton::clicked, this, &ChildWindow::unload);

    createOptionFrames();
    createPredictionFrame();
}

QWidget *PredictionWindow::create(MainFrm &frame) { return new PredictionWindow(frame); }

void PredictionWindow::install(MainFrm &frame)
{
    frame.wireChild(qs(MenuAction), qs(ClassName), &PredictionWindow::create);
    // Once the exit sequence has run, an activation must not bring the window back.
    auto exiting = std::make_shared<bool>(false);
    QObject::connect(&frame, &MainFrm::settingsWritten, &frame, [exiting] { *exiting = true; });
    QObject::connect(&frame, &MainFrm::activatedAmongOwnWindows, &frame, [&frame, exiting] {
        if (*exiting || !frame.isVisible())
            return;
        if (QAction *command = frame.action(qs(MenuAction)))
            command->trigger();
    });
}

void PredictionWindow::createOptionFrames()
{
    auto *options = new QGroupBox(tr("データ分析オプション"), this);
    options->setObjectName(QStringLiteral("FrameOptions"));
    options->setGeometry(twipsRect(OptionsLeft, FrameTop, OptionsWidth, FrameHeight));

    auto *description
        = new QLabel(tr("各データ分析の分析結果を当選予想へ反映するかを設定します。"), options);
    description->setObjectName(QStringLiteral("Label1"));
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description->setGeometry(twipsRect(120, 240, OptionsWidth - 240, AnalysisTop - 240));

    for (int i = 0; i < PredictionOptions::Count; ++i) {
        // Each pair sits in its own frame, which makes the two buttons exclusive.
        auto *analysis = new QGroupBox(qs(PredictionOptions::frameCaption(i)), options);
        analysis->setObjectName(QStringLiteral("FrameAnalysis%1").arg(i));
        analysis->setGeometry(
            twipsRect(AnalysisLeft, AnalysisTop + AnalysisStep * i, AnalysisWidth, AnalysisHeight));

        auto *reflect = new QRadioButton(tr("反映する"), analysis);
        auto *ignore = new QRadioButton(tr("反映しない"), analysis);
        reflect->setObjectName(QStringLiteral("Opt反映する"));
        ignore->setObjectName(QStringLiteral("Opt反映しない"));
        const int buttonHeight = twipsToPixels(AnalysisHeight - ButtonTop);
        reflect->setGeometry(twipsToPixels(ReflectLeft), twipsToPixels(ButtonTop),
            twipsToPixels(IgnoreLeft - ReflectLeft - 60), buttonHeight);
        ignore->setGeometry(twipsToPixels(IgnoreLeft), twipsToPixels(ButtonTop),
            twipsToPixels(AnalysisWidth - IgnoreLeft - 60), buttonHeight);
        for (QRadioButton *button : { reflect, ignore }) {
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
    auto *prediction = new QGroupBox(tr("当選予想"), this);
    prediction->setObjectName(QStringLiteral("FramePrediction"));
    prediction->setGeometry(twipsRect(PredictionLeft, FrameTop, PredictionWidth, FrameHeight));

    auto *description = new QLabel(tr("各データ分析の結果を元に周期法、消去法、連発ズンベル、"
                                      "一発ズンベルの各手法を用いて当選数字を予想します。"),
        prediction);
    description->setObjectName(QStringLiteral("Label2"));
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int descriptionBottom = GridPlaces[CycleGrid].top - HeadingGap - FrameTop;
    // Up to three lines between the frame caption and the first grid heading.
    description->setGeometry(twipsRect(120, 200, PredictionWidth - 240, descriptionBottom - 200));

    // The grids and their headings lie over the frame, placed in the window's own coordinates.
    // The area under grid 3 stays free for further commands.
    for (int g = 0; g < PredictionGridCount; ++g) {
        const auto grid = static_cast<PredictionGrid>(g);
        const Sheet empty = predictionSheet(grid);
        const GridPlace &place = GridPlaces[g];

        auto *heading = new QLabel(qs(empty.caption()), this);
        heading->setObjectName(QStringLiteral("LabelGrid%1").arg(g));
        heading->adjustSize();
        heading->move(twipsToPixels(GridLeft), twipsToPixels(place.top - HeadingGap));

        auto *view = new SheetView(this);
        view->setObjectName(QStringLiteral("fpSpread1"));
        view->setProperty("index", g);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setGeometry(twipsRect(GridLeft, place.top, GridWidth, place.height));
        m_grids[static_cast<std::size_t>(g)] = view;
    }

    // How the methods did on the past draws, in a window of its own.
    auto *check = new QPushButton(tr("予想の検証..."), this);
    check->setObjectName(QStringLiteral("cmdBacktest"));
    const GridPlace &last = GridPlaces[PredictionGridCount - 1];
    check->setGeometry(twipsRect(GridLeft, last.top + last.height + 240, 1800, 375));
    connect(check, &QPushButton::clicked, this, [this] {
        if (QAction *command = mainFrm().action(qs(BacktestWindow::MenuAction)))
            command->trigger();
    });
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

QSize PredictionWindow::sizeTwips() const { return { WidthTwips, HeightTwips }; }

void PredictionWindow::compute()
{
    const PredictionOptions &options = mainFrm().predictionOptions();
    for (int i = 0; i < PredictionOptions::Count; ++i) {
        const bool on = options.on[static_cast<std::size_t>(i)];
        (on ? reflectButton(i) : ignoreButton(i))->setChecked(true);
    }
    for (int g = 0; g < PredictionGridCount; ++g)
        grid(static_cast<PredictionGrid>(g))
            ->setSheet(predictionSheet(static_cast<PredictionGrid>(g)));

    // Each opening scans again into the tables the main window keeps for the run.
    mainFrm().predictionEngine().scan(mainFrm().history());
    predict(true);
}

void PredictionWindow::setSwitch(int index, bool on)
{
    (on ? reflectButton(index) : ignoreButton(index))->setChecked(true);
    mainFrm().predictionOptions().on[static_cast<std::size_t>(index)] = on;
    // The settings file is written at exit only.
    predict(false);
}

void PredictionWindow::predict(bool withCycles)
{
    m_prediction = mainFrm().predictionEngine().predict(
        mainFrm().totals().latestDrawNo, mainFrm().predictionOptions());
    // Fresh sheets: the elimination area starts empty, and no number of an earlier pass stays.
    std::array<Sheet, PredictionGridCount> sheets = buildPredictionSheets(m_prediction);
    for (int g = withCycles ? CycleGrid : EliminationGrid; g < PredictionGridCount; ++g)
        grid(static_cast<PredictionGrid>(g))
            ->setSheet(std::move(sheets[static_cast<std::size_t>(g)]));
}

} // namespace loto6
