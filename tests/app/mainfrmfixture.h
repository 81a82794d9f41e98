#pragma once

// The main window's tests share this: two small stand-in analyses beside the program's windows and
// a main window whose dialogs are answered by the test.

#include "entry/drawtablemodel.h"
#include "grid/sheetsearch.h"
#include "prediction/predictionoptions.h"
#include "shell/childkind.h"
#include "shell/japanesetranslations.h"
#include "shell/mainfrm.h"
#include "shell/session.h"
#include "shell/twips.h"
#include "shell/uihelpers.h"
#include "shell/windowarranger.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "views/elidedlabel.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/aboutwindow.h"
#include "windows/analysiswindow.h"
#include "windows/chancewindow.h"
#include "windows/entrywindow.h"
#include "windows/helpwindow.h"
#include "windows/predictionwindow.h"

#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "recordingdialogs.h"
#include "scratchfolder.h"

#include <fstream>

using namespace Qt::StringLiterals;

using namespace loto6;

namespace {

inline int g_builds = 0;

inline Sheet countingBuilder(const DrawHistory &, const Totals &)
{
    ++g_builds;
    Sheet s;
    s.setSize(3, 3);
    s.setText(1, 1, "x");
    return s;
}

const AnalysisInfo FirstInfo{"first", "最初の分析", "最初", "説明", {}, countingBuilder};
const AnalysisInfo SecondInfo{"second", "二番目の分析", "二番目", "説明", {}, countingBuilder};

using Message = Dialogs::Message;

// The program's windows and two small stand-in analyses.
inline std::vector<ChildKind> kindsWithStandIns()
{
    std::vector<ChildKind> kinds = childKinds();
    kinds.push_back(analysisKind(FirstInfo, {"first", "mnuFirst", "", {3000, 3000}, true}));
    kinds.push_back(analysisKind(SecondInfo, {"second", "mnuSecond", "", {3000, 3000}, false}));
    return kinds;
}

// A main window whose message boxes are recorded instead of shown.
struct Fixture
{
    std::shared_ptr<RecordingDialogs> recorder = RecordingDialogs::make();
    MainFrm frame{nullptr, kindsWithStandIns()};
    QList<Message> &messages = recorder->messages;

    Fixture()
    {
        frame.setDialogs(recorder);
        frame.setPropEnd(true);
    }
    // Starts on the bundled history in draws.db of the current folder and shows the window.
    bool startShown()
    {
        if (!frame.startUp("draws.db", SHARED_HISTORY))
            return false;
        frame.show();
        return QTest::qWaitForWindowExposed(&frame);
    }
    // Opens the window of an analysis through its command, as the menu does.
    void open(const AnalysisInfo &info) { frame.openCommand(qs(info.className))->trigger(); }
    QWidget *child(const AnalysisInfo &info) const
    {
        QMdiSubWindow *w = frame.childWindow(QString::fromUtf8(info.className.data()));
        return w ? w->widget() : nullptr;
    }
};

// The menu as indented lines "name caption [off]", in menu order.
inline void describe(const QList<QAction *> &actions, int depth, QStringList &out)
{
    for (QAction *a : actions) {
        QString line
            = QString(depth, QLatin1Char(' ')) + a->objectName() + QLatin1Char(' ') + a->text();
        if (!a->isEnabled())
            line += QStringLiteral(" [off]");
        out.append(line);
        if (a->menu())
            describe(a->menu()->actions(), depth + 1, out);
    }
}

} // namespace
