#pragma once

#include <QWidget>

namespace loto6 {

// The version window: product picture, name, version and slogan, shown over the main window
// as a separate non-modal window that Esc closes.
class AboutWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ClientWidthTwips = 5010;
    static constexpr int ClientHeightTwips = 7410;

    explicit AboutWindow(QWidget *parent = nullptr);

    // Top-left corner for a main window with the given outer geometry: a third of the way along
    // (height - top) and (width - left), worked out in twips, then moved so that a window of
    // `size` stands inside the main window.
    static QPoint positionFor(const QRect &mainFrame, QSize size);
    // What a window manager's title bar and frame may add to the window's height, allowed for
    // before the window has been shown with them.
    static constexpr int TitleBarAllowance = 40;
};

} // namespace loto6
