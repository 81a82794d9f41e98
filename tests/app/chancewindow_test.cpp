#include "shell/mainfrm.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"
#include "windows/chancewindow.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "recordingdialogs.h"

using namespace Qt::StringLiterals;
using namespace loto6;

class ChanceWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void opensFromLastAnalysisItem();
};

void ChanceWindowTest::opensFromLastAnalysisItem()
{
    QTemporaryDir dir;
    MainFrm frame;
    frame.setDialogs(RecordingDialogs::make());
    QVERIFY(frame.startUp(dir.filePath(u"draws.db"_s).toStdString(), SHARED_HISTORY));
    frame.setPropEnd(true);

    const QList<QAction *> items = frame.findChild<QMenu *>(u"mnuMain"_s)->actions();
    QAction *last = frame.action(u"mnuGuzenHikaku"_s);
    QVERIFY(items.contains(last));
    // An access key may be appended to the caption.
    QVERIFY(last->text().startsWith(u"偶然との比較"_s));
    last->trigger();

    QMdiSubWindow *sub = frame.childWindow(u"偶然との比較"_s);
    QVERIFY(sub);
    auto *window = qobject_cast<ChanceWindow *>(sub->widget());
    QVERIFY(window);
    QCOMPARE(sub->windowTitle(), u"偶然との比較"_s);
    QCOMPARE(sub->pos(), QPoint(0, 0));
    QCOMPARE(frame.propEnd(), false);
    QVERIFY(!QApplication::overrideCursor());

    // The table: a header, one row per test with its p-values, then the notes and details.
    const QAbstractItemModel *model = window->grid()->model();
    QCOMPARE(model->columnCount(), 9);
    QVERIFY(model->rowCount() > 20);
    QStringList texts;
    for (int r = 0; r < model->rowCount(); ++r)
        texts << model->index(r, 0).data().toString();
    QVERIFY2(texts.join(u'|').contains(u"Holm"_s) || texts.join(u'|').contains(u"出現"_s),
        qPrintable(texts.mid(0, 5).join(u'|')));
    QVERIFY(window->notes()->text().contains(u"Holm"_s));
    QVERIFY(!window->notes()->isHidden());

    // Shown again it is raised, not recomputed; the close button unloads it.
    last->trigger();
    QCOMPARE(frame.childWindow(u"偶然との比較"_s), sub);
    auto *close = window->findChild<QPushButton *>(u"Command1"_s);
    QCOMPARE(close->text(), u"閉じる"_s);
    QCOMPARE(close->palette().color(QPalette::Button), QColor(255, 255, 192));
    close->click();
    QCOMPARE(frame.propEnd(), true);
    QVERIFY(!frame.childWindow(u"偶然との比較"_s));
}

QTEST_MAIN(ChanceWindowTest)
#include "chancewindow_test.moc"
