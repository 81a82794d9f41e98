#pragma once

// The entry window's tests share this: a database file in a temporary folder with the main window
// started over it and the entry window opened as the menu does.

#include "entry/drawtablemodel.h"
#include "entry/drawtableview.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "shell/twips.h"
#include "windows/entrywindow.h"

#include "store/database.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "recordingdialogs.h"

using namespace loto6;
using namespace Qt::Literals::StringLiterals;

namespace {

inline DrawRecord draw(int no, std::initializer_list<long long> numbers, const char *date = "")
{
    DrawRecord r;
    r.drawNo = no;
    r.date = date;
    std::size_t i = 0;
    for (long long n : numbers)
        r.fields[i++] = n;
    return r;
}

// A database file in a temporary folder, a main window started over it and the entry window
// opened as the menu does, with the message boxes and the pop-up menu answered by the test.
struct Fixture
{
    QTemporaryDir dir;
    QString path;
    std::shared_ptr<RecordingDialogs> recorder = RecordingDialogs::make();
    MainFrm frame;
    QPointer<EntryWindow> window;
    QList<Dialogs::Message> &messages = recorder->messages;
    // For Yes/No questions, in order; No when empty.
    QList<QMessageBox::StandardButton> &answers = recorder->answers;
    // The answer to "change this stored draw?", kept apart from the other messages.
    QMessageBox::StandardButton changeAnswer = QMessageBox::Yes;
    QStringList changeQuestions;
    int &popups = recorder->popups;

    explicit Fixture(
        const std::vector<DrawRecord> &draws = {draw(1, {1, 2, 3, 4, 5, 6, 7}),
            draw(2, {8, 9, 10, 11, 12, 13, 14}), draw(5, {15, 16, 17, 18, 19, 20, 21})})
        : path(dir.filePath(u"draws.db"_s))
    {
        Database store;
        if (!store.create(path.toStdString()) || !store.importDraws(draws, true))
            qFatal("cannot prepare the test database");
        recorder->intercept = [this](const Dialogs::Message &m) {
            std::optional<QMessageBox::StandardButton> answer;
            if (m.text.endsWith(u"の当選数字を変更します。よろしいですか？"_s)) {
                changeQuestions.append(m.text);
                answer = changeAnswer;
            }
            return answer;
        };
        frame.setDialogs(recorder);
        if (!frame.startUp(path.toStdString()))
            qFatal("cannot start the main window");
        // Children open into the shown main window, as in the program.
        if (!show())
            qFatal("cannot show the main window");
        openWindow();
    }
    ~Fixture() { closeUnsaved(); }

    void openWindow()
    {
        QMdiSubWindow *sub = frame.openChild(QString::fromUtf8(windowclass::Entry));
        window = sub ? qobject_cast<EntryWindow *>(sub->widget()) : nullptr;
    }
    // Takes the window away without closing it (nothing asked, the rows written).
    void closeUnsaved()
    {
        if (window)
            delete window->parentWidget();
    }

    // Shows the main window with the entry window in it.
    bool show()
    {
        frame.show();
        return QTest::qWaitForWindowExposed(&frame);
    }
    bool showActive()
    {
        frame.show();
        frame.activateWindow();
        return QTest::qWaitForWindowActive(&frame);
    }
    DrawTableModel *model() const { return window->model(); }
    QTableView *grid() const { return window->grid(); }
    QPushButton *closeButton() const { return window->closeButton(); }
    void setCurrent(int row, int col) { grid()->setCurrentIndex(model()->index(row, col)); }
    bool type(int row, int col, const QString &text)
    {
        return model()->setData(model()->index(row, col), text);
    }

    std::vector<DrawRecord> stored() const
    {
        Database store;
        std::vector<DrawRecord> draws;
        if (!store.open(path.toStdString()) || !store.readDraws(draws))
            qFatal("cannot read the test database");
        return draws;
    }
    std::optional<long long> storedField(int drawNo, int field) const
    {
        for (const DrawRecord &r : stored())
            if (r.drawNo == drawNo)
                return r.fields[std::size_t(field)];
        return std::nullopt;
    }
    bool isStored(int drawNo) const
    {
        const auto draws = stored();
        return std::any_of(draws.begin(), draws.end(),
            [drawNo](const DrawRecord &r) { return r.drawNo == drawNo; });
    }
};

// Keys go to whatever has the focus: the grid, or the editor that a key opened.
inline void typeKeys(const QString &keys)
{
    for (QChar c : keys) {
        if (c == u'\n')
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
}

inline void storeElsewhere(const QString &path, const std::function<Status(Database &)> &change)
{
    Database other;
    if (!other.open(path.toStdString()) || !change(other))
        qFatal("the other connection could not write");
}

} // namespace
