#pragma once

#include <QObject>
#include <QString>

class QTextStream;

namespace loto6 {

class MainFrm;
struct ChildKind;

// Walks through the program for documentation and timing: opens every child window the menus
// open, then a few of them tiled and cascaded, the About window and the help in turn, saves a
// PNG of each into a folder together with the time from the command to the first paint of each
// grid (timings.txt), then closes the program.
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
    // Opens one window, saves it and the main window around it, and closes it again.
    void shoot(const ChildKind &kind, int number, QTextStream &timings);
    // Every chart of the chart window.
    void shootCharts(int number);
    // A few windows tiled both ways and cascaded.
    void shootArrangements(int number);
    // The print preview a window's 印刷 opens, with the time until its first page is drawn.
    void shootPrintPreview(const char *className, const QString &file, QTextStream &timings);

    MainFrm &m_frame;
    QString m_folder;
};

} // namespace loto6
