#include "shell/lastfolder.h"

#include "shell/mainfrm.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace loto6 {

namespace {

constexpr const char *Key = "dialogs/lastFolder";

QSettings settings()
{
    return QSettings(QString::fromUtf8(MainFrm::LayoutOrganization),
        QString::fromUtf8(MainFrm::LayoutApplication));
}

} // namespace

QString lastFolder()
{
    const QString folder = settings().value(QString::fromUtf8(Key)).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberFolder(const QString &file)
{
    if (file.isEmpty())
        return;
    settings().setValue(QString::fromUtf8(Key), QFileInfo(file).absolutePath());
}

} // namespace loto6
