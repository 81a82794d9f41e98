#include "windows/recordpredictiondialog.h"

#include "grid/numbertext.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace loto6 {

namespace {

// How many lines of six a row of the prediction adds beyond those already listed.
int extraLines(const Prediction &prediction, PredictionRecord::Rows rows)
{
    return static_cast<int>(
        predictionLines(prediction, rows).size() - predictionLines(prediction, {}).size());
}

} // namespace

RecordPredictionDialog::RecordPredictionDialog(
    const Prediction &prediction, int drawNo, QWidget *parent)
    : QDialog(parent)
    , m_prediction(prediction)
    , m_elimination(new QCheckBox(this))
    , m_consecutive(new QCheckBox(this))
    , m_lines(new QLabel(this))
{
    setWindowTitle(tr("この予想を記録"));
    auto *intro
        = new QLabel(tr("次の組合せを第%1回の予想として記録します。記録した予想は変更できず、"
                        "削除だけができます。")
                         .arg(drawNo),
            this);
    intro->setWordWrap(true);
    m_elimination->setObjectName(QStringLiteral("chkElimination"));
    m_consecutive->setObjectName(QStringLiteral("chkConsecutive"));
    m_elimination->setText(
        tr("消去法の予想も6個ずつ記録する（%1組）").arg(extraLines(prediction, {true, false})));
    m_consecutive->setText(
        tr("連発ズンベル予想も6個ずつ記録する（%1組）").arg(extraLines(prediction, {false, true})));
    m_lines->setObjectName(QStringLiteral("lblLines"));
    m_lines->setTextInteractionFlags(Qt::TextSelectableByMouse);
    for (QCheckBox *box : {m_elimination, m_consecutive})
        connect(box, &QCheckBox::toggled, this, &RecordPredictionDialog::showLines);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tr("記録する"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("キャンセル"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_lines);
    layout->addWidget(m_elimination);
    layout->addWidget(m_consecutive);
    layout->addWidget(buttons);
    showLines();
}

PredictionRecord::Rows RecordPredictionDialog::rows() const
{
    return {m_elimination->isChecked(), m_consecutive->isChecked()};
}

QString RecordPredictionDialog::linesText() const { return m_lines->text(); }

QString RecordPredictionDialog::lineText(const std::array<int, MainNumberCount> &line)
{
    QStringList numbers;
    for (int n : line)
        numbers << QString::fromStdString(twoDigitText(n));
    return numbers.join(QLatin1Char(' '));
}

void RecordPredictionDialog::showLines()
{
    QStringList lines;
    for (const auto &line : predictionLines(m_prediction, rows()))
        lines << lineText(line);
    m_lines->setText(lines.join(QLatin1Char('\n')));
    // The dialog grows with the rows ticked, so that every line that will be recorded is seen.
    if (isVisible()) {
        layout()->activate();
        const int needed = hasHeightForWidth() ? heightForWidth(width()) : sizeHint().height();
        if (needed > height())
            resize(width(), needed);
    }
}

} // namespace loto6
