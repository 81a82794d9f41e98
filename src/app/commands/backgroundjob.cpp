#include "commands/backgroundjob.h"

#include "shell/dialogs.h"
#include "shell/uihelpers.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace loto6 {

namespace {

int s_dialogDelay = BackgroundJob::DefaultDialogDelay;

// The dialog of a running job; closing it (Esc, the title bar) counts as キャンセル and never
// hides it before the job has ended.
class JobDialog : public QDialog
{
public:
    JobDialog(QWidget *parent, const QString &title, const QString &label,
        BackgroundJob::Progress &progress)
        : QDialog(parent)
        , m_progress(progress)
        , m_text(label)
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
        m_clock.start();
        // The time passed counts up while the job runs; the bytes come by signal.
        auto *tick = new QTimer(this);
        connect(tick, &QTimer::timeout, this, &JobDialog::updateText);
        tick->start(250);
        connect(&m_progress, &JobProgress::bytesReceived, this, &JobDialog::updateText);
        connect(&m_progress, &JobProgress::stepsDone, bar, [bar](int done, int total) {
            bar->setRange(0, std::max(total, 0));
            bar->setValue(done);
        });
        updateText();
    }
    void reject() override
    {
        m_progress.requestCancel();
        m_cancel->setEnabled(false);
        updateText();
    }

private:
    void updateText()
    {
        QString text = m_text + QLatin1Char('\n')
            + BackgroundJob::tr("経過時間: %1 秒").arg(m_clock.elapsed() / 1000);
        if (m_progress.bytes() > 0)
            text += QLatin1Char('\n')
                + BackgroundJob::tr("受信済み: %1")
                      .arg(BackgroundJob::sizeText(m_progress.bytes()));
        if (m_progress.cancelRequested())
            text += QLatin1Char('\n') + BackgroundJob::tr("取り消しています...");
        m_label->setText(text);
    }

    BackgroundJob::Progress &m_progress;
    QString m_text;
    QElapsedTimer m_clock;
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

JobRunner::JobRunner(QObject *parent)
    : QObject(parent)
{
}

JobRunner::~JobRunner()
{
    if (!m_worker)
        return;
    m_progress.requestCancel();
    m_worker->wait();
    delete m_worker;
}

bool JobRunner::start(Job job)
{
    if (m_worker)
        return false;
    m_progress.reset();
    m_failure.clear();
    m_worker = QThread::create([this, job = std::move(job)] {
        // A job that throws ends without results; its caller starts from a failure.
        try {
            job(m_progress);
        } catch (const std::exception &e) {
            m_failure = QString::fromLocal8Bit(e.what());
            if (m_failure.isEmpty())
                m_failure = BackgroundJob::tr("原因不明のエラー");
        } catch (...) {
            m_failure = BackgroundJob::tr("原因不明のエラー");
        }
    });
    connect(m_worker, &QThread::finished, this, [this] {
        m_worker->wait();
        m_worker->deleteLater();
        m_worker = nullptr;
        emit finished(m_failure);
    });
    m_worker->start();
    return true;
}

bool BackgroundJob::run(QWidget *parent, const QString &title, const QString &label, Job job)
{
    JobRunner runner;
    QString failure;
    QEventLoop loop;
    QObject::connect(&runner, &JobRunner::finished, &loop, [&](const QString &f) {
        failure = f;
        loop.quit();
    });
    JobDialog dialog(parent, title, label, runner.progress());
    runner.start(std::move(job));

    // Until the modal dialog shows, clicks and keys wait: nothing may start another command.
    QTimer::singleShot(s_dialogDelay, &loop, &QEventLoop::quit);
    if (runner.busy())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (runner.busy()) {
        dialog.show();
        loop.exec();
    }
    dialog.hide();

    if (!failure.isEmpty())
        dialogsOf(parent).message(parent,
            {QMessageBox::Critical, qs(MessageTitle),
                tr("処理の途中で予期しないエラーが起きたため、中止しました。\n詳細: %1\n"
                   "もう一度実行しても同じときは、プログラムを起動し直してください。")
                    .arg(failure)});
    return !runner.progress().cancelRequested();
}

} // namespace loto6
