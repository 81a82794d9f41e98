#pragma once

#include <QWidget>

namespace loto6 {

// The version window: product picture, name, version and slogan, shown beside the main window
// as a separate non-modal window.
class AboutWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ClientWidthTwips = 5010;
    static constexpr int ClientHeightTwips = 7410;

    explicit AboutWindow(QWidget *parent = nullptr);

    // Top-left corner for a main window with the given outer geometry: a third of the way along
    // (height - top) and (width - left), worked out in twips.
    static QPoint positionFor(const QRect &mainFrame);
};

} // namespace loto6
