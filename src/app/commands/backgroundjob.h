#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

class QThread;
class QWidget;

namespace loto6 {

// What the job and the dialog share: the cancel request, read by the job, and the job's
// progress, reported to the dialog by signal.
class JobProgress : public QObject
{
    Q_OBJECT

public:
    bool cancelRequested() const { return m_cancel.load(); }
    void requestCancel() { m_cancel.store(true); }
    // The bytes received so far, shown once above zero.
    void setBytes(std::uint64_t bytes)
    {
        m_bytes.store(bytes);
        emit bytesReceived(bytes);
    }
    std::uint64_t bytes() const { return m_bytes.load(); }
    // How far a job of counted steps has got; the dialog's bar fills as it goes. Only a
    // change is signalled, so that a job may report as often as it likes.
    void setSteps(int done, int total)
    {
        const std::uint64_t steps
            = (std::uint64_t(std::uint32_t(done)) << 32) | std::uint32_t(total);
        if (m_steps.exchange(steps) != steps)
            emit stepsDone(done, total);
    }
    // Ready for another job: no cancel request, nothing received.
    void reset()
    {
        m_cancel.store(false);
        m_bytes.store(0);
        m_steps.store(~std::uint64_t{0});
    }

signals:
    void bytesReceived(quint64 bytes);
    void stepsDone(int done, int total);

private:
    std::atomic<bool> m_cancel{false};
    std::atomic<std::uint64_t> m_bytes{0};
    std::atomic<std::uint64_t> m_steps{~std::uint64_t{0}};
};

// The one way long work runs: a job on a worker thread of its own, its progress and its end
// told by signal, キャンセル as a request the job reads. A job that throws ends with the reason
// in Japanese. Destroying the runner asks a running job to stop and waits for it.
class JobRunner : public QObject
{
    Q_OBJECT

public:
    using Job = std::function<void(JobProgress &progress)>;

    explicit JobRunner(QObject *parent = nullptr);
    ~JobRunner() override;
    bool busy() const { return m_worker != nullptr; }
    // Starts the job; false while another one runs.
    bool start(Job job);
    void cancel() { m_progress.requestCancel(); }
    JobProgress &progress() { return m_progress; }

signals:
    // The job has ended; `failure` is empty unless it threw.
    void finished(const QString &failure);

private:
    JobProgress m_progress;
    QThread *m_worker = nullptr;
    QString m_failure;
};

// Runs a job on a worker thread while an application-modal dialog shows the time passed, the
// bytes received and a キャンセル button; the program stays alive meanwhile. Cancel only asks the
// job to stop: the dialog stays until the job has ended, so the job may write what the program
// keeps as long as it checks the request before it starts writing.
class BackgroundJob
{
    Q_DECLARE_TR_FUNCTIONS(BackgroundJob)

public:
    using Progress = JobProgress;
    using Job = std::function<void(Progress &progress)>;

    // Returns when the job has ended: true, or false when the user asked it to stop (the job's
    // own results say how far it got). The job's results start as a failure: one that throws
    // ends without touching them, and what it threw is told to the user in a message box.
    static bool run(QWidget *parent, const QString &title, const QString &label, Job job);
    // How long a job may run before the dialog shows, in milliseconds.
    static constexpr int DefaultDialogDelay = 500;
    static void setDialogDelay(int ms);
    // "1.2 MB" and the like, for the bytes received.
    static QString sizeText(std::uint64_t bytes);
};

} // namespace loto6
