#pragma once

#include "prediction/prediction.h"
#include "tickets/predictionrecord.h"

#include <QDialog>

class QCheckBox;
class QLabel;

namespace loto6 {

// Asks before a prediction is recorded: shows the lines that become tickets for the next draw
// and lets the user add the elimination and consecutive rows.
class RecordPredictionDialog : public QDialog
{
    Q_OBJECT

public:
    RecordPredictionDialog(const Prediction &prediction, int drawNo, QWidget *parent = nullptr);

    PredictionRecord::Rows rows() const;
    QCheckBox *eliminationBox() const { return m_elimination; }
    QCheckBox *consecutiveBox() const { return m_consecutive; }
    // The lines listed, one a line.
    QString linesText() const;

    // "02 08 10 13 27 30".
    static QString lineText(const std::array<int, MainNumberCount> &line);

private:
    void showLines();

    const Prediction &m_prediction;
    QCheckBox *m_elimination;
    QCheckBox *m_consecutive;
    QLabel *m_lines;
};

} // namespace loto6
