#pragma once

#include <QObject>
#include <QString>

namespace loto6 {

class MainFrm;

// Walks through the program for documentation and timing: shows the prediction window, opens
// each analysis window, the About window and the help in turn, saves a PNG of each into a
// folder together with the time from the menu command to the first paint of each grid
// (timings.txt), then closes the program.
class ScreenshotRunner : public QObject
{
    Q_OBJECT

public:
    ScreenshotRunner(MainFrm &frame, QString folder);

    // Starts once the event loop runs.
    void start();

private:
    void run();
    void save(QWidget *widget, const QString &name);

    MainFrm &m_frame;
    QString m_folder;
};

} // namespace loto6
