#include "shell/session.h"

#include "shell/lastfolder.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "shell/windowarranger.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QStatusBar>

namespace loto6 {

namespace {

constexpr const char *GeometryKey = "MainWindow/geometry";
constexpr const char *StateKey = "MainWindow/state";
constexpr const char *OpenWindowsKey = "MainWindow/openWindows";

// The settings file as the user finds it; as named when the working folder is gone.
QString absoluteSettingsFile()
{
    std::error_code ec;
    const std::filesystem::path file
        = std::filesystem::absolute(HistoryDocument::settingsFile(), ec);
    return QString::fromStdString((ec ? HistoryDocument::settingsFile() : file).string());
}

bool saveLayout(const MainFrm &frame, const QString &openWindows)
{
    QSettings settings = layoutSettings();
    settings.setValue(qs(GeometryKey), frame.saveGeometry());
    settings.setValue(qs(StateKey), frame.saveState());
    settings.setValue(qs(OpenWindowsKey), openWindows);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace

void restoreSession(MainFrm &frame)
{
    // A missing settings file leaves every switch off with nothing to report; any other
    // failure, and lines that were not understood, show in the status bar.
    std::vector<int> notUnderstood;
    std::error_code ec;
    const Status read = frame.document().readSettings(notUnderstood);
    if (!read && std::filesystem::exists(HistoryDocument::settingsFile(), ec))
        frame.statusBar()->showMessage(
            MainFrm::tr("設定ファイル %1 を読めないため、予想の設定はすべてオフです。")
                .arg(absoluteSettingsFile()));
    else if (!notUnderstood.empty()) {
        QStringList lines;
        for (int line : notUnderstood)
            lines << QString::number(line);
        frame.statusBar()->showMessage(
            MainFrm::tr("設定ファイルの %1 行目を読み取れず、無視しました。")
                .arg(lines.join(u", ")));
    }

    const QSettings settings = layoutSettings();
    if (const QByteArray geometry = settings.value(qs(GeometryKey)).toByteArray();
        !geometry.isEmpty())
        frame.restoreGeometry(geometry);
    if (const QByteArray state = settings.value(qs(StateKey)).toByteArray(); !state.isEmpty())
        frame.restoreState(state);
}

void restoreOpenWindows(MainFrm &frame)
{
    const QString text = layoutSettings().value(qs(OpenWindowsKey)).toString();
    QMdiSubWindow *active = nullptr;
    for (const WindowArranger::Placement &placement : WindowArranger::decode(text)) {
        QMdiSubWindow *window = frame.openChild(placement.className);
        frame.arranger().place(window, placement);
        if (window && placement.active)
            active = window;
    }
    if (active)
        frame.mdiArea()->setActiveSubWindow(active);
}

Status saveSession(MainFrm &frame, const QString &openWindows, bool layout)
{
    const bool layoutSaved = !layout || saveLayout(frame, openWindows);
    const Status status = frame.document().writeSettings();
    if (!status)
        frame.showMessage(QMessageBox::Warning, qs(MessageTitle),
            MainFrm::tr(
                "予想の設定を保存できませんでした。次の起動では、今回の設定は使われません。\n"
                "ファイル: %1\n"
                "このフォルダーに書き込めるか（空きがあるか、書き込み禁止でないか）確かめて"
                "から、もう一度設定して終了してください。")
                .arg(absoluteSettingsFile()));
    else if (!layoutSaved)
        frame.showMessage(QMessageBox::Warning, qs(MessageTitle),
            MainFrm::tr("ウィンドウの配置を保存できませんでした。次の起動では、ウィンドウは最初"
                        "の配置で開きます。\nファイル: %1\n"
                        "このファイルのフォルダーに書き込めるか確かめてください。")
                .arg(layoutSettings().fileName()));
    return status;
}

} // namespace loto6
