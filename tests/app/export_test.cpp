#include "shell/mainfrm.h"
#include "shell/session.h"
#include "store/textcodec.h"
#include "views/sheetexporter.h"
#include "views/sheetview.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "recordingdialogs.h"

#include <memory>

using namespace Qt::StringLiterals;
using namespace loto6;

namespace {

// Texts and colours every export must keep: a coloured header, a bordered body cell.
Sheet smallSheet()
{
    Sheet s("small", "出現頻度");
    s.setSize(3, 2);
    s.setColors(1, 1, 3, 1, colors::red, colors::lightYellow);
    s.setText(1, 1, "数字");
    s.setText(2, 1, "回数, 率");
    s.setText(1, 2, 43);
    s.setText(2, 2, "<●>");
    s.setBorder(1, 2, 3, 2, border::AllSides, rgb(62, 158, 255));
    s.setForeColor(2, 2, 2, 2, rgb(0, 128, 0));
    return s;
}

Sheet tallSheet(int rows)
{
    Sheet s("tall", "長い表");
    s.setSize(2, rows);
    for (int r = 1; r <= rows; ++r)
        s.setText(1, r, r);
    s.setBackColor(1, 1, 2, 1, colors::lightCyan);
    return s;
}

QByteArray readFile(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A grid in a main window whose dialogs answer every save dialog with `answer` and record the
// messages.
struct GridFixture
{
    QTemporaryDir dir;
    std::shared_ptr<RecordingDialogs> dialogs = RecordingDialogs::make();
    MainFrm frame;
    SheetView &view = *new SheetView(&frame);
    QString &answer = dialogs->chosenFile;
    QList<Dialogs::Message> &messages = dialogs->messages;

    explicit GridFixture(Sheet sheet)
    {
        frame.setDialogs(dialogs);
        view.resize(300, 200);
        view.setSheet(std::move(sheet));
    }
    // Triggers the context-menu entry with this text.
    void trigger(const QString &text)
    {
        std::unique_ptr<QMenu> menu(view.createContextMenu(nullptr));
        for (QAction *a : menu->actions())
            if (a->text() == text) {
                a->trigger();
                return;
            }
        QFAIL(qPrintable(u"no menu entry "_s + text));
    }
};

} // namespace

class ExportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void contextMenuOffersTheExports();
    void csvFiles_data();
    void csvFiles();
    void shiftJisRefusesTextItCannotHold();
    void htmlHoldsEveryTextAndColour();
    void pngMatchesTheGrid();
    void longTableSavedInPages();
    void cancelledDialogWritesNothing();
    void layoutRestored();
    void everyMenuItemHasItsOwnAccessKey();
    void keyboardMovesBetweenAndClosesChildren();
    void savingTellsWhereAndRemembersTheFolder();

private:
    QTemporaryDir m_config;
};

void ExportTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
}

void ExportTest::contextMenuOffersTheExports()
{
    const QStringList expected = {u"コピー(&C)"_s, QString(), u"CSVで保存..."_s,
        u"CSVで保存（Shift-JIS）..."_s, u"HTMLで保存..."_s, u"画像で保存..."_s, QString(),
        u"第N回へ移動..."_s, u"数字を検索..."_s};
    SheetView empty;
    std::unique_ptr<QMenu> menu(empty.createContextMenu(nullptr));
    QStringList texts;
    for (QAction *a : menu->actions()) {
        texts.append(a->text());
        QVERIFY2(!a->isEnabled(), "an empty grid has nothing to save");
    }
    QCOMPARE(texts, expected);

    GridFixture f(smallSheet());
    menu.reset(f.view.createContextMenu(nullptr));
    // Copy waits for a selection; the exports and the search are ready at once; going to a
    // draw needs a draw column, which this table has not.
    for (QAction *a : menu->actions())
        QCOMPARE(
            a->isEnabled(), a->objectName() != u"actCopy"_s && a->objectName() != u"actGoToDraw"_s);
    f.view.selectAll();
    menu.reset(f.view.createContextMenu(nullptr));
    for (QAction *a : menu->actions())
        QCOMPARE(a->isEnabled(), a->objectName() != u"actGoToDraw"_s);
}

void ExportTest::csvFiles_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<bool>("shiftJis");
    QTest::newRow("utf8 with bom") << u"CSVで保存..."_s << QByteArray("\xEF\xBB\xBF") << false;
    QTest::newRow("shift-jis") << u"CSVで保存（Shift-JIS）..."_s << QByteArray() << true;
}

void ExportTest::csvFiles()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, prefix);
    QFETCH(bool, shiftJis);
    GridFixture f(smallSheet());
    f.answer = f.dir.filePath(u"out.csv"_s);
    f.trigger(entry);
    QVERIFY(f.messages.isEmpty());
    QByteArray bytes = readFile(f.answer);
    QVERIFY(bytes.startsWith(prefix));
    bytes = bytes.mid(prefix.size());
    std::string text = bytes.toStdString();
    if (shiftJis) {
        const std::optional<std::string> utf8 = cp932ToUtf8(text);
        QVERIFY(utf8);
        text = *utf8;
    }
    QCOMPARE(QString::fromStdString(text), u"数字,\"回数, 率\",\n43,<●>,\n"_s);
}

void ExportTest::shiftJisRefusesTextItCannotHold()
{
    Sheet s = smallSheet();
    s.setText(3, 2, "\xF0\x9F\x8E\xB2"); // a die emoji has no Shift-JIS code
    GridFixture f(std::move(s));
    f.answer = f.dir.filePath(u"out.csv"_s);
    f.trigger(u"CSVで保存（Shift-JIS）..."_s);
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].icon, QMessageBox::Critical);
    // Told as it is: "Shift-JIS" in it never makes it a foreign reason.
    QCOMPARE(f.messages[0].text,
        u"保存できませんでした。\nShift-JIS で表せない文字があります。UTF-8 で保存してください。"_s);
    QVERIFY(!QFile::exists(f.answer));
}

void ExportTest::htmlHoldsEveryTextAndColour()
{
    GridFixture f(smallSheet());
    f.answer = f.dir.filePath(u"out.html"_s);
    f.trigger(u"HTMLで保存..."_s);
    const QString html = QString::fromUtf8(readFile(f.answer));
    QVERIFY(html.startsWith(u"<!DOCTYPE html>"_s));
    for (const QString &part :
        {u"<title>出現頻度</title>"_s, u">数字<"_s, u">回数, 率<"_s, u">43<"_s, u">&lt;●&gt;<"_s,
            u"color:#ff0000"_s, u"background:#ffffc8"_s, u"color:#008000"_s,
            u"border-left:1px solid #3e9eff"_s, u"border-bottom:1px solid #3e9eff"_s})
        QVERIFY2(html.contains(part), qPrintable(part));
}

void ExportTest::pngMatchesTheGrid()
{
    GridFixture f(smallSheet());
    const QList<QImage> pages = SheetExporter::renderPages(f.view);
    QCOMPARE(pages.size(), 1);
    const QImage &image = pages[0];
    int width = 0;
    for (int c = 0; c < 3; ++c)
        width += f.view.columnWidth(c);
    QCOMPARE(image.width(), width);
    QCOMPARE(image.height(), f.view.rowHeight(0) + f.view.rowHeight(1));
    // Inside the header's right cell (no text there) the background is the sheet's colour.
    const QPoint headerInside(width - 4, 3);
    QCOMPARE(image.pixelColor(headerInside), QColor(255, 255, 200));
    // The bottom edge of the bordered row carries the border colour.
    QCOMPARE(image.pixelColor(width / 2, image.height() - 1), QColor(62, 158, 255));
    // The text was drawn: the number cell holds pixels of neither background.
    bool inked = false;
    const int rowTop = f.view.rowHeight(0);
    for (int y = rowTop + 2; y < image.height() - 2; ++y)
        for (int x = 2; x < f.view.columnWidth(0) - 2; ++x)
            inked = inked || image.pixelColor(x, y) != QColor(Qt::white);
    QVERIFY(inked);
}

void ExportTest::longTableSavedInPages()
{
    const int rows = 2500;
    GridFixture f(tallSheet(rows));
    const int total = rows * f.view.rowHeight(0);
    QVERIFY2(total > SheetExporter::MaxPageHeight, "the table must need several pages");
    f.answer = f.dir.filePath(u"tall.png"_s);
    f.trigger(u"画像で保存..."_s);

    const int expectedPages
        = (total + SheetExporter::MaxPageHeight - 1) / SheetExporter::MaxPageHeight;
    int height = 0;
    for (int i = 1; i <= expectedPages; ++i) {
        QImage page(f.dir.filePath(u"tall-%1.png"_s.arg(i)));
        QVERIFY2(!page.isNull(), qPrintable(u"page %1 missing"_s.arg(i)));
        QVERIFY(page.height() <= SheetExporter::MaxPageHeight);
        QCOMPARE(page.height() % f.view.rowHeight(0), 0); // no row cut in two
        height += page.height();
    }
    QCOMPARE(height, total);
    QVERIFY(!QFile::exists(f.answer));
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].icon, QMessageBox::Information);
    QVERIFY(f.messages[0].text.contains(u"tall-2.png"_s));
}

void ExportTest::cancelledDialogWritesNothing()
{
    GridFixture f(smallSheet());
    for (const QString &entry : {u"CSVで保存..."_s, u"HTMLで保存..."_s, u"画像で保存..."_s})
        f.trigger(entry);
    QCOMPARE(f.dialogs->files.size(), 3);
    for (const RecordingDialogs::FileQuestion &asked : f.dialogs->files)
        QCOMPARE(asked.kind, Dialogs::FileDialog::Save);
    QVERIFY(f.messages.isEmpty());
    QVERIFY(QDir(f.dir.path()).isEmpty());
}

void ExportTest::layoutRestored()
{
    const QRect placed(40, 50, 700, 520);
    {
        MainFrm frame;
        restoreSession(frame);
        frame.setGeometry(placed);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        saveSession(frame, QString(), true);
    }
    QVERIFY(QFile::exists(m_config.filePath(u"loto6zumvel/Loto6Zumvel.conf"_s)));
    {
        MainFrm frame;
        restoreSession(frame);
        QCOMPARE(frame.geometry(), placed);
        frame.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QTRY_VERIFY(frame.isMaximized());
        saveSession(frame, QString(), true);
    }
    MainFrm frame;
    restoreSession(frame);
    frame.show();
    QTRY_VERIFY(frame.isMaximized());
}

void ExportTest::everyMenuItemHasItsOwnAccessKey()
{
    MainFrm frame;
    std::function<void(QMenu *)> check = [&check](QMenu *menu) {
        QSet<QString> keys;
        for (QAction *a : menu->actions()) {
            if (a->isSeparator())
                continue;
            const QKeySequence key = QKeySequence::mnemonic(a->text());
            if (a->menu())
                check(a->menu());
            if (key.isEmpty())
                continue;
            QVERIFY2(!keys.contains(key.toString()),
                qPrintable(a->objectName() + u" repeats "_s + key.toString()));
            keys.insert(key.toString());
        }
    };
    for (QAction *top : frame.menuBar()->actions())
        if (top->menu())
            check(top->menu());
    // Captions stay exactly as the menu table gives them.
    QCOMPARE(frame.action(u"mnuSyutugenHindo"_s)->text(), u"出現頻度分析"_s);
}

void ExportTest::keyboardMovesBetweenAndClosesChildren()
{
    auto plain = [](MainFrm &) { return new QWidget; };
    MainFrm frame(nullptr,
        {{u"mnuFirst"_s, u"first"_s, u"first"_s, QSize(3000, 3000), plain, {}},
            {u"mnuSecond"_s, u"second"_s, u"second"_s, QSize(3000, 3000), plain, {}}});
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QMdiSubWindow *first = frame.openChild(u"first"_s);
    QMdiSubWindow *second = frame.openChild(u"second"_s);
    QCOMPARE(frame.mdiArea()->activeSubWindow(), second);

    QTest::keyClick(&frame, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(frame.mdiArea()->activeSubWindow(), first);
    QTest::keyClick(&frame, Qt::Key_F4, Qt::ControlModifier);
    QTRY_COMPARE(frame.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(frame.mdiArea()->subWindowList().front(), second);
}

// A saved table is told in the main window's status bar with the file it went to; the next
// dialog opens in that folder, a failed save tells nothing there.
void ExportTest::savingTellsWhereAndRemembersTheFolder()
{
    GridFixture f(smallSheet());
    f.answer = f.dir.filePath(u"頻度.csv"_s);
    QSignalSpy saved(f.view.exporter(), &SheetExporter::saved);

    f.view.exporter()->exportCsv(SheetExporter::CsvEncoding::Utf8WithBom);
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(saved.size(), 1);
    const QString told = f.frame.statusBar()->currentMessage();
    QVERIFY2(told.contains(u"CSVで保存しました"_s), qPrintable(told));
    QVERIFY2(told.contains(QDir::toNativeSeparators(f.answer)), qPrintable(told));

    f.answer = f.dir.filePath(u"missing/表.html"_s);
    f.frame.statusBar()->clearMessage();
    f.view.exporter()->exportHtml();
    QCOMPARE(f.dialogs->files.size(), 2);
    QCOMPARE(QFileInfo(f.dialogs->files[1].suggestion).absolutePath(),
        QFileInfo(f.dir.path()).absoluteFilePath());
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(saved.size(), 1);
    QVERIFY(f.frame.statusBar()->currentMessage().isEmpty());
}

QTEST_MAIN(ExportTest)
#include "export_test.moc"
