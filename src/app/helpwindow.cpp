#include "helpwindow.h"

#include "appfonts.h"

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
}

void HelpWindow::showTopic(const QString &topic) { scrollToAnchor(topic); }

} // namespace loto6
