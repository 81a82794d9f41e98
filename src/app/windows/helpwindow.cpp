#include "windows/helpwindow.h"

#include "shell/appfonts.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

namespace loto6 {

HelpWindow::HelpWindow(const QString &file, QWidget *parent)
    : QTextBrowser(parent)
{
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("ロト6ズンベル ヘルプ"));
    setOpenExternalLinks(true);
    QFont font = gridFont();
    font.setPointSize(10);
    setFont(font);
    resize(720, 640);
    setSource(QUrl::fromLocalFile(file));

    // Esc and Ctrl+W close the viewer, as they would an external one.
    auto *close = new QAction(this);
    close->setObjectName(QStringLiteral("actCloseHelp"));
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    close->setShortcutContext(Qt::WindowShortcut);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
}

void HelpWindow::placeBeside(const QRect &mainFrame)
{
    const QScreen *screen = QGuiApplication::screenAt(mainFrame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : mainFrame;
    // The frame a window manager adds is not known before the window shows; leave room for it.
    constexpr int FrameAllowance = 40;
    QRect r(QPoint(0, 0), size().boundedTo(available.size() - QSize(0, FrameAllowance)));
    // To the right of the main window where there is room, otherwise over its right part, clear
    // of its menu bar.
    const int right = mainFrame.right() + 1;
    r.moveTopLeft(QPoint(
        right + r.width() <= available.right() + 1 ? right : available.right() + 1 - r.width(),
        std::max(available.top(), mainFrame.top() + FrameAllowance)));
    if (r.bottom() > available.bottom() - FrameAllowance)
        r.moveBottom(available.bottom() - FrameAllowance);
    r.moveTop(std::max(r.top(), available.top()));
    r.moveLeft(std::max(r.left(), available.left()));
    setGeometry(r);
}

void HelpWindow::showTopic(const QString &topic)
{
    m_topic = topic;
    scrollToAnchor(topic);
}

} // namespace loto6
