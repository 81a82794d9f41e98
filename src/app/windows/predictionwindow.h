#pragma once

#include "grid/rgb.h"
#include "prediction/prediction.h"
#include "prediction/predictionoptions.h"
#include "prediction/predictionsheets.h"
#include "shell/childwindow.h"
#include "store/result.h"
#include "tickets/predictionrecord.h"

#include <array>

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QRadioButton;

namespace loto6 {

class SheetView;

// The prediction window: the twelve switches as pairs of option buttons on the left, the four
// prediction grids on the right. The switches and the engine belong to the main window, so that
// they carry over from one opening to the next; the window only scans, predicts and shows.
class PredictionWindow : public ChildWindow
{
    Q_OBJECT

public:
    explicit PredictionWindow(MainFrm &frame, QWidget *parent = nullptr);

    // Opens the window each time the main window becomes active among the program's own
    // windows while it is not open, the first time right after start-up; an open one is left
    // where it is, so that the window in use stays in front.
    static void openOnActivation(MainFrm &frame);

    // The 反映する and 反映しない buttons of switch index.
    QRadioButton *reflectButton(int index) const;
    QRadioButton *ignoreButton(int index) const;
    SheetView *grid(PredictionGrid grid) const;
    // The outcome of the latest prediction pass.
    const Prediction &prediction() const { return m_prediction; }
    // Records the one-shot line shown (and the rows asked for) as tickets for the next draw,
    // with the switches, the latest draw and the history's hash; an open 購入番号の照合 window
    // shows them at once. Refused while a 基準回 is set: the next draw may already be known.
    Status record(PredictionRecord::Rows rows);
    // The note to buy by, as printed: the next draw, its day, the switches and the lines with
    // their popularity and expected yen (numbers alone while the estimate is being made).
    std::vector<Sheet> noteSheets(QString *title) const;

protected:
    QSize sizeTwips() const override;
    void compute() override;

private:
    void createOptionFrames();
    void createPredictionFrame();
    // The commands under the last grid: the check, recording, and the ticket book.
    QHBoxLayout *createCommandButtons(QWidget *parent);
    // The two frames are as tall as designed, or as their contents need in the font in use
    // when that is more (a font with taller lines than the designed one); the window grows
    // with them.
    void fitFramesToFont();
    // Puts the page with everything on it into a scroll area that fills the window.
    void placeOnScrollingPage();
    // Shows a sheet in a grid, every row as tall as the grid font needs.
    void showSheet(PredictionGrid grid, Sheet sheet);
    // Asks which rows to record, records them and tells how it went.
    void askAndRecord();
    void setSwitch(int index, bool on);
    // The prediction pass; grid 0 is shown only after a history scan.
    void predict(bool withCycles);
    // The popularity and expected value of each predicted line; made on request the first
    // time (the model takes a few seconds), at once when it is already made.
    void showPopularity(bool makeIfMissing);

    QWidget *m_content = nullptr; // the page every control stands on
    QGroupBox *m_optionsFrame = nullptr;
    QGroupBox *m_predictionFrame = nullptr;
    std::array<QRadioButton *, PredictionOptions::Count> m_reflect{};
    std::array<QRadioButton *, PredictionOptions::Count> m_ignore{};
    std::array<SheetView *, PredictionGridCount> m_grids{};
    QLabel *m_popularity = nullptr;
    Prediction m_prediction;
    int m_rowPixels = 0;
    int m_extraHeight = 0; // pixels beyond the designed height of the frames
};

} // namespace loto6
