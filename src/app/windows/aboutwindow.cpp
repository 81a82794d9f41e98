#include "windows/aboutwindow.h"

#include "shell/appfonts.h"
#include "shell/twips.h"
#include "views/productpicture.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace loto6 {

AboutWindow::AboutWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("バージョン情報"));
    setWindowTitle(tr("バージョン情報"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(gridFont());

    auto *picture = new ProductPicture(this);
    picture->setObjectName(QStringLiteral("Image1"));

    auto *name = new QLabel(tr("ロト６ズンベル"), this);
    name->setObjectName(QStringLiteral("Label1"));
    name->setFont(minchoFont());
    name->setAlignment(Qt::AlignCenter);

    auto *version = new QLabel(QStringLiteral("Ver3.60"), this);
    version->setObjectName(QStringLiteral("Label3"));
    version->setAlignment(Qt::AlignCenter);

    // The run of full-width spaces fills the first line, so the second phrase starts a new one.
    auto *slogan = new QLabel(tr("一発ズンベルと高額当選を狙う！！") + QString(16, QChar(0x3000))
            + tr("「ロト６次世代攻略ソフト」"),
        this);
    slogan->setObjectName(QStringLiteral("Label4"));
    slogan->setWordWrap(true);
    slogan->setAlignment(Qt::AlignCenter);

    auto *close = new QPushButton(tr("閉じる"), this);
    close->setObjectName(QStringLiteral("Command1"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *escape = new QAction(this);
    escape->setObjectName(QStringLiteral("actCloseAbout"));
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    escape->setShortcutContext(Qt::WindowShortcut);
    connect(escape, &QAction::triggered, this, &QWidget::close);
    addAction(escape);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(slogan);
    layout->addStretch(1);
    layout->addWidget(close, 0, Qt::AlignHCenter);

    // The picture is a little wider than the designed client area at 96 dpi; it stays whole.
    const QSize client = twipsToPixels(ClientWidthTwips, ClientHeightTwips);
    // No taller than the screen leaves room for, title bar included: the space above the
    // close button gives way first.
    int height = client.height();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        height = std::min(height, screen->availableGeometry().height() - TitleBarAllowance);
    setFixedSize(std::max(client.width(), ProductPicture::Size),
        std::max(height, minimumSizeHint().height()));
}

QPoint AboutWindow::positionFor(const QRect &mainFrame, QSize size)
{

    const double top = (pixelsToTwips(mainFrame.height()) - pixelsToTwips(mainFrame.top())) / 3.0;
    const double left = (pixelsToTwips(mainFrame.width()) - pixelsToTwips(mainFrame.left())) / 3.0;
    // Moved inside the main window where it would stand partly outside it (and so, on a small
    // screen, past its edge).
    QRect placed(QPoint(twipsToPixels(left), twipsToPixels(top)), size);
    if (placed.right() > mainFrame.right())
        placed.moveRight(mainFrame.right());
    if (placed.bottom() > mainFrame.bottom())
        placed.moveBottom(mainFrame.bottom());
    placed.moveLeft(std::max(placed.left(), mainFrame.left()));
    placed.moveTop(std::max(placed.top(), mainFrame.top()));
    return placed.topLeft();
}

} // namespace loto6
