#pragma once

#include "childwindow.h"
#include "grid/rgb.h"
#include "prediction/prediction.h"
#include "prediction/predictionoptions.h"
#include "prediction/predictionsheets.h"

#include <array>

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
    static constexpr const char *ClassName = "一発ズンベル予想";
    static constexpr const char *MenuAction = "mnuYoso";
    static constexpr int WidthTwips = 9360;
    static constexpr int HeightTwips = 8400;
    static constexpr Rgb CloseButtonColor = rgb(255, 255, 192);
    static constexpr Rgb PrintButtonColor = rgb(255, 192, 255);

    explicit PredictionWindow(MainFrm &frame, QWidget *parent = nullptr);

    // The main window's factory for the prediction command.
    static QWidget *create(MainFrm &frame);
    // Wires the prediction command and shows the window each time the main window becomes
    // active among the program's own windows, the first time right after start-up.
    static void install(MainFrm &frame);

    // The 反映する and 反映しない buttons of switch index.
    QRadioButton *reflectButton(int index) const;
    QRadioButton *ignoreButton(int index) const;
    SheetView *grid(PredictionGrid grid) const;
    // The outcome of the latest prediction pass.
    const Prediction &prediction() const { return m_prediction; }

protected:
    QSize sizeTwips() const override;
    void compute() override;

private:
    void createOptionFrames();
    void createPredictionFrame();
    void setSwitch(int index, bool on);
    // The prediction pass; grid 0 is shown only after a history scan.
    void predict(bool withCycles);

    std::array<QRadioButton *, PredictionOptions::Count> m_reflect {};
    std::array<QRadioButton *, PredictionOptions::Count> m_ignore {};
    std::array<SheetView *, PredictionGridCount> m_grids {};
    Prediction m_prediction;
};

} // namespace loto6
