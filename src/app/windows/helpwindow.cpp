#include "windows/helpwindow.h"

#include "shell/appfonts.h"

#include <QAction>
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

void HelpWindow::showTopic(const QString &topic) { scrollToAnchor(topic); }

} // namespace loto6
