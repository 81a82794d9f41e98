#include "document/popularitysource.h"
#include "shell/japanesetranslations.h"
#include "shell/mainfrm.h"
#include "shell/screenshotrunner.h"
#include "shell/session.h"
#include "store/atomicfile.h"
#include "store/paths.h"
#include "windows/predictionwindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <csignal>
#include <cstdio>
#include <exception>

namespace {

int runProgram(int argc, char **argv)
{
    // The database named as its bytes were given: a name that is not valid text would come
    // back changed from the parsed (decoded) arguments.
    const std::optional<std::filesystem::path> named = loto6::optionFile(argc, argv, "db");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ロト6ズンベル"));
    loto6::installJapaneseTranslations(app);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption dbOption(QStringLiteral("db"),
        QApplication::translate("main", "Draw database file."), QStringLiteral("file"));
    QCommandLineOption screenshotsOption(QStringLiteral("screenshots"),
        QStringLiteral("Save a picture of every window into a folder, then quit."),
        QStringLiteral("folder"));
    screenshotsOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(dbOption);
    parser.addOption(screenshotsOption);
    parser.process(app);

    // Popularity is learnt on a worker as soon as the history is read, so that no window
    // waits for it when it opens.
    loto6::PopularitySource::setInBackground(true);
    loto6::MainFrm frame;
    loto6::PredictionWindow::openOnActivation(frame);
    const std::filesystem::path db = named && parser.isSet(dbOption) ? *named
        : parser.isSet(dbOption) ? std::filesystem::path(parser.value(dbOption).toStdString())
                                 : loto6::defaultDatabasePath();
    if (!frame.startUp(db))
        return 1;
    frame.show();
    // The windows of the last run come back where they stood.
    loto6::restoreOpenWindows(frame);
    // Without a window manager nothing activates the window; its first activation opens the
    // prediction window.
    frame.activateWindow();
    if (parser.isSet(screenshotsOption))
        (new loto6::ScreenshotRunner(frame, parser.value(screenshotsOption)))->start();
    return app.exec();
}

} // namespace

// Nothing may end the program with an uncaught exception: a last-resort message, exit 1.
int main(int argc, char **argv)
{
    // Past a file size limit a write fails and is reported instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // Interrupted or stopped, it leaves no half-written temporary file of an output behind.
    loto6::removeTemporaryFilesOnSignals();
    try {
        return runProgram(argc, argv);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "loto6zumvel: stopped by an unexpected error: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "loto6zumvel: stopped by an unexpected error\n");
    }
    return 1;
}
