#include "backgroundjob.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QThread>

#include <atomic>
#include <memory>
#include <thread>

namespace loto6 {

namespace {
int s_dialogDelay = 500;
} // namespace

void BackgroundJob::setDialogDelay(int ms) { s_dialogDelay = ms; }

bool BackgroundJob::run(QWidget *parent, const QString &title, const QString &label,
    std::function<void()> job)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread([job = std::move(job), done] {
        job();
        done->store(true);
    }).detach();

    QProgressDialog progress(label, tr("キャンセル"), 0, 0, parent);
    progress.setObjectName(QStringLiteral("progressBackgroundJob"));
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(s_dialogDelay);
    progress.setValue(0);
    QElapsedTimer clock;
    clock.start();
    while (!done->load()) {
        if (progress.wasCanceled())
            return false;
        progress.setLabelText(label + QLatin1Char('\n')
            + tr("経過時間: %1 秒").arg(clock.elapsed() / 1000));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return true;
}

} // namespace loto6
