#include "windows/chartwindow.h"

#include "commands/corereasons.h"
#include "popularity/storedestimate.h"
#include "shell/appfonts.h"
#include "shell/childkind.h"
#include "shell/dialogs.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "store/outputfile.h"
#include "tickets/ticketgrading.h"
#include "views/chartview.h"
#include "windows/printbutton.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include <optional>

namespace loto6 {

namespace {

// The chart a new window opens on: the one named when it was opened for a chart, so that it
// is built once.
std::string_view s_opening;

} // namespace

ChartWindow::ChartWindow(MainFrm &frame, QWidget *parent)
    : ChildWindow(frame, parent)
    , m_view(new ChartView(this))
    , m_chooser(new QComboBox(this))
    , m_number(new QSpinBox(this))
{
    setObjectName(QString::fromUtf8(windowclass::Chart));
    setWindowTitle(tr("グラフ"));
    setFont(gridFont());
    m_chooser->setObjectName(QStringLiteral("cboChart"));
    for (const ChartInfo &info : charts())
        m_chooser->addItem(qs(info.caption), qs(info.name));
    showChart(s_opening);
    m_number->setObjectName(QStringLiteral("spnNumber"));
    m_number->setRange(1, HighestNumber);
    m_number->setPrefix(tr("数字 "));
    m_view->setObjectName(QStringLiteral("chartView"));
    followBook();

    auto *png = new QPushButton(tr("画像で保存..."), this);
    png->setObjectName(QStringLiteral("cmdSavePng"));
    auto *svg = new QPushButton(tr("SVGで保存..."), this);
    svg->setObjectName(QStringLiteral("cmdSaveSvg"));
    auto *print = colouredButton(tr("印刷..."), PrintButtonColor, QStringLiteral("Command2"), this);
    auto *close = colouredButton(tr("閉じる"), CloseButtonColor, QStringLiteral("Command1"), this);
    connect(png, &QPushButton::clicked, this, &ChartWindow::savePicture);
    connect(svg, &QPushButton::clicked, this, &ChartWindow::saveSvg);
    connect(print, &QPushButton::clicked, m_view, &ChartView::printWithPreview);
    markPrintCommand(print);
    connect(close, &QPushButton::clicked, this, &ChildWindow::unload);
    connect(m_chooser, &QComboBox::currentIndexChanged, this, [this] { compute(); });
    connect(m_number, &QSpinBox::valueChanged, this, [this] { compute(); });

    auto *top = new QHBoxLayout;
    top->addWidget(m_chooser);
    top->addWidget(m_number);
    top->addStretch(1);
    for (QPushButton *b : {png, svg, print, close})
        top->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
}

void ChartWindow::setOpeningChart(std::string_view chart) { s_opening = chart; }

void ChartWindow::showChart(std::string_view name)
{
    const int index = m_chooser->findData(qs(name));
    if (index >= 0)
        m_chooser->setCurrentIndex(index);
}

void ChartWindow::setNumber(int number) { m_number->setValue(number); }

const ChartInfo &ChartWindow::current() const
{
    const ChartInfo *info = findChart(m_chooser->currentData().toString().toStdString());
    return info ? *info : charts().front();
}

std::optional<TicketGrading> ChartWindow::gradeBook(std::map<int, DrawPrizes> &prizes)
{
    std::optional<TicketGrading> grading;
    const Status status = mainFrm().document().gradeTickets(grading, prizes);
    if (status)
        return grading;
    mainFrm().showMessage(QMessageBox::Warning, windowTitle(),
        CoreReasons::japanese(status)
            + tr("\n購入番号を読めませんでした。データベースを確かめてください。"));
    return std::nullopt;
}

void ChartWindow::compute()
{
    const ChartInfo &info = current();
    m_number->setVisible(info.needsNumber);
    std::optional<TicketGrading> grading;
    std::map<int, DrawPrizes> prizes;
    if (info.needsTickets) {
        grading = gradeBook(prizes);
    } else if (info.needsPayouts) {
        if (const Status status = mainFrm().document().payouts(prizes); !status)
            mainFrm().showMessage(QMessageBox::Warning, windowTitle(),
                CoreReasons::japanese(status)
                    + tr("\n払戻金を読めませんでした。データベースを確かめてください。"));
    }
    // What the popularity chart draws of its backtest, as stored beside the history (made and
    // stored once).
    const std::filesystem::path file = mainFrm().document().database().path();
    const ChartInput input{mainFrm().document().history(), mainFrm().document().totals(),
        m_number->value(), grading ? &*grading : nullptr, &prizes,
        [file](const std::vector<popularity::DrawObservation> &draws, int from) {
            return popularity::storedBacktestSummary(file, draws, from);
        }};
    m_view->setChart(buildChart(info, input));
    setWindowTitle(tr("グラフ - %1").arg(qs(info.caption)));
}

void ChartWindow::bookChanged()
{
    if (current().needsTickets)
        refresh();
}

QString ChartWindow::askFile(const QString &caption, const QString &suffix, const QString &filter)
{
    const QString suggested
        = QDir::home().filePath(qs(m_view->chart().caption) + QLatin1Char('.') + suffix);
    const QString file = mainFrm().dialogs().chooseFile(
        this, Dialogs::FileDialog::Save, caption, suggested, filter);
    return file.isEmpty() || refusedFileName(mainFrm().dialogs(), this, file) ? QString() : file;
}

void ChartWindow::report(const Status &status, const QString &file)
{
    if (status)
        mainFrm().statusBar()->showMessage(tr("%1 に保存しました。").arg(file), 5000);
    else
        mainFrm().showMessage(QMessageBox::Warning, windowTitle(),
            tr("グラフを保存できませんでした。\n%1\n別の場所か名前を選んでやり直してください。")
                .arg(CoreReasons::japanese(status)));
}

void ChartWindow::savePicture()
{
    const QString file = askFile(tr("画像で保存"), QStringLiteral("png"), tr("PNG 画像 (*.png)"));
    if (!file.isEmpty())
        report(m_view->savePng(
                   file.toStdString(), databaseFiles(mainFrm().document().database().path())),
            file);
}

void ChartWindow::saveSvg()
{
    const QString file = askFile(tr("SVGで保存"), QStringLiteral("svg"), tr("SVG 画像 (*.svg)"));
    if (!file.isEmpty())
        report(m_view->saveSvg(
                   file.toStdString(), databaseFiles(mainFrm().document().database().path())),
            file);
}

} // namespace loto6
