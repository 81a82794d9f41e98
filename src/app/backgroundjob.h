#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

class QWidget;

namespace loto6 {

// Runs a job on a worker thread while an application-modal progress dialog with a Cancel
// button shows the time passed; the window stays alive meanwhile. A cancelled job runs on to
// its end in the background and what it produced is dropped, so the job must only read and
// fill what it owns (capture by value or shared pointer) and never touch files the program
// keeps.
class BackgroundJob
{
    Q_DECLARE_TR_FUNCTIONS(BackgroundJob)

public:
    // True when the job finished, false when the user cancelled.
    static bool run(QWidget *parent, const QString &title, const QString &label,
        std::function<void()> job);
    // How long a job may run before the dialog shows, in milliseconds.
    static void setDialogDelay(int ms);
};

} // namespace loto6
