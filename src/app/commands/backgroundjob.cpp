#include "commands/backgroundjob.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <thread>

namespace loto6 {

namespace {

int s_dialogDelay = 500;

// The dialog of a running job; closing it (Esc, the title bar) counts as キャンセル and never
// hides it before the job has ended.
class JobDialog : public QDialog
{
public:
    JobDialog(QWidget *parent, const QString &title, BackgroundJob::Progress &progress)
        : QDialog(parent)
        , m_progress(progress)
    {
        setObjectName(QStringLiteral("progressBackgroundJob"));
        setWindowTitle(title);
        setWindowModality(Qt::ApplicationModal);
        m_label = new QLabel(this);
        auto *bar = new QProgressBar(this);
        bar->setRange(0, 0);
        m_cancel = new QPushButton(BackgroundJob::tr("キャンセル"), this);
        m_cancel->setObjectName(QStringLiteral("buttonCancelJob"));
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(m_label);
        layout->addWidget(bar);
        layout->addWidget(m_cancel, 0, Qt::AlignRight);
        connect(m_cancel, &QPushButton::clicked, this, &JobDialog::reject);
        setMinimumWidth(360);
    }
    void reject() override
    {
        m_progress.requestCancel();
        m_cancel->setEnabled(false);
    }
    void setText(const QString &text) { m_label->setText(text); }

private:
    BackgroundJob::Progress &m_progress;
    QLabel *m_label = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace

void BackgroundJob::setDialogDelay(int ms) { s_dialogDelay = ms; }

QString BackgroundJob::sizeText(std::uint64_t bytes)
{
    if (bytes < 1024)
        return tr("%1 バイト").arg(bytes);
    if (bytes < 1024 * 1024)
        return tr("%1 KB").arg(static_cast<double>(bytes) / 1024, 0, 'f', 1);
    return tr("%1 MB").arg(static_cast<double>(bytes) / (1024 * 1024), 0, 'f', 1);
}

bool BackgroundJob::run(QWidget *parent, const QString &title, const QString &label, Job job)
{
    Progress progress;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        // A job that throws ends without results; its caller starts from a failure.
        try {
            job(progress);
        } catch (...) {
        }
        done.store(true);
    });

    JobDialog dialog(parent, title, progress);
    QElapsedTimer clock;
    clock.start();
    while (!done.load()) {
        if (!dialog.isVisible() && clock.elapsed() >= s_dialogDelay)
            dialog.show();
        QString text
            = label + QLatin1Char('\n') + tr("経過時間: %1 秒").arg(clock.elapsed() / 1000);
        if (progress.bytes() > 0)
            text += QLatin1Char('\n') + tr("受信済み: %1").arg(sizeText(progress.bytes()));
        if (progress.cancelRequested())
            text += QLatin1Char('\n') + tr("取り消しています...");
        dialog.setText(text);
        // Until the modal dialog shows, clicks and keys wait: nothing may start another command.
        QCoreApplication::processEvents(
            dialog.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents, 50);
        QThread::msleep(20);
    }
    worker.join();
    return !progress.cancelRequested();
}

} // namespace loto6
