#include "shell/lastfolder.h"

#include "shell/mainfrm.h"
#include "store/filereader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace loto6 {

namespace {

constexpr const char *Key = "dialogs/lastFolder";

} // namespace

QSettings layoutSettings()
{
    const QString organization = QString::fromUtf8(MainFrm::LayoutOrganization);
    const QString application = QString::fromUtf8(MainFrm::LayoutApplication);
    // Where Qt keeps them, by its own rules (the user's configuration folder, or the one a
    // test set), learnt from settings of a name nobody uses, which have no file to read.
    const QFileInfo probe(
        QSettings(organization, application + QStringLiteral("-unused")).fileName());
    const QString file = probe.absolutePath() + u'/' + application + u'.' + probe.suffix();
    const QByteArray name = QFile::encodeName(file);
    if (!checkRegularFile(std::string(name.constData(), std::size_t(name.size())),
            MaxLayoutSettingsBytes, "the layout settings"))
        return QSettings(QStringLiteral("/dev/null/unreadable-layout.conf"), QSettings::IniFormat);
    return QSettings(organization, application);
}

QString lastFolder()
{
    const QString folder = layoutSettings().value(QString::fromUtf8(Key)).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberFolder(const QString &file)
{
    if (file.isEmpty())
        return;
    layoutSettings().setValue(QString::fromUtf8(Key), QFileInfo(file).absolutePath());
}

} // namespace loto6
