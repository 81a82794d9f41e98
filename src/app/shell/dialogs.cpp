#include "shell/dialogs.h"

#include "shell/childwindow.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QUrl>

namespace loto6 {

std::optional<std::filesystem::path> chosenFilePath(const QString &name)
{
    if (name.isEmpty() || name.contains(QChar::ReplacementCharacter))
        return std::nullopt;
    const QByteArray bytes = QFile::encodeName(name);
    return std::filesystem::path(std::string(bytes.constData(), std::size_t(bytes.size())));
}

bool refusedFileName(Dialogs &dialogs, QWidget *parent, const QString &name)
{
    if (chosenFilePath(name))
        return false;
    dialogs.message(parent,
        {QMessageBox::Critical, QString::fromUtf8(MessageTitle),
            QCoreApplication::translate("Dialogs",
                "ファイル名に文字として読めない部分があるため、選んだファイルを正しく開けません。"
                "何も変えていません。ファイル名を変えてから、もう一度選んでください。\n%1")
                .arg(QDir::toNativeSeparators(name))});
    return true;
}

std::optional<std::filesystem::path> droppedFilePath(const QUrl &url)
{
    if (!url.isLocalFile())
        return std::nullopt;
    QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!url.host().isEmpty())
        bytes.prepend("//" + url.host(QUrl::FullyEncoded).toLatin1());
    if (bytes.isEmpty())
        return std::nullopt;
    return std::filesystem::path(std::string(bytes.constData(), std::size_t(bytes.size())));
}

bool Dialogs::question(
    QWidget *parent, const QString &title, const QString &text, QMessageBox::Icon icon)
{
    return message(parent, {icon, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No})
        == QMessageBox::Yes;
}

Dialogs &dialogsOf(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (const auto *frame = qobject_cast<const MainFrm *>(w))
            return frame->dialogs();
        if (const auto *child = qobject_cast<const ChildWindow *>(w))
            return child->mainFrm().dialogs();
    }
    static QtDialogs qt;
    return qt;
}

QMessageBox::StandardButton QtDialogs::message(QWidget *parent, const Message &m)
{
    QMessageBox box(m.icon, m.title, m.text, m.buttons, parent);
    if (m.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(m.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString QtDialogs::chooseFile(QWidget *parent, FileDialog kind, const QString &caption,
    const QString &suggestion, const QString &filter)
{
    if (kind == FileDialog::Open)
        return QFileDialog::getOpenFileName(parent, caption, suggestion, filter);
    if (kind == FileDialog::OpenMany)
        return QFileDialog::getOpenFileNames(parent, caption, suggestion, filter)
            .join(QLatin1Char('\n'));
    return QFileDialog::getSaveFileName(parent, caption, suggestion, filter);
}

std::optional<int> QtDialogs::askNumber(QWidget *parent, const QString &title, const QString &label,
    int value, int minimum, int maximum)
{
    bool ok = false;
    const int n = QInputDialog::getInt(parent, title, label, value, minimum, maximum, 1, &ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

void QtDialogs::popup(QMenu *menu, const QPoint &globalPos) { menu->exec(globalPos); }

} // namespace loto6
