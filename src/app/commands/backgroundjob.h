#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

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
    // How far a job of counted steps has got; the dialog's bar fills as it goes.
    void setSteps(int done, int total) { emit stepsDone(done, total); }

signals:
    void bytesReceived(quint64 bytes);
    void stepsDone(int done, int total);

private:
    std::atomic<bool> m_cancel{false};
    std::atomic<std::uint64_t> m_bytes{0};
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
    // ends without touching them, and what it threw is told to the user in a message box, or
    // put in `error` when given.
    static bool run(QWidget *parent, const QString &title, const QString &label, Job job,
        QString *error = nullptr);
    // How long a job may run before the dialog shows, in milliseconds.
    static constexpr int DefaultDialogDelay = 500;
    static void setDialogDelay(int ms);
    // "1.2 MB" and the like, for the bytes received.
    static QString sizeText(std::uint64_t bytes);
};

} // namespace loto6
