#include "analysis/catalog.h"
#include "shell/childkind.h"
#include "shell/mainfrm.h"
#include "views/sheetclipboard.h"
#include "views/sheetdelegate.h"
#include "views/sheetmodel.h"
#include "views/sheetview.h"

#include <QClipboard>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QScrollBar>
#include <QtTest>

using namespace loto6;
using namespace Qt::StringLiterals;

namespace {

// A 4 x 3 sheet: a coloured header row, a left-aligned title and a centred number.
Sheet smallSheet()
{
    Sheet s;
    s.setSize(4, 3);
    s.selectCell(-1, -1);
    s.setHAlign(HAlign::Center);
    s.setColors(1, 1, 4, 1, colors::red, colors::lightYellow);
    s.setText(1, 1, "数字");
    s.selectCell(2, 2);
    s.setHAlign(HAlign::Left);
    s.setText("出 　現 　頻 　度");
    s.setText(3, 3, 43);
    s.setForeColor(3, 3, 3, 3, rgb(62, 158, 255));
    return s;
}

constexpr int Left = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int Centre = Qt::AlignHCenter | Qt::AlignVCenter;

} // namespace

class SheetViewTest : public QObject
{
    Q_OBJECT

private slots:
    void modelRoles_data();
    void modelRoles();
    void textExtent_data();
    void textExtent();
    void overflowAndBorders();
    void largestWindowOpens();
    void copyBlock_data();
    void copyBlock();
    void frozenPartsStay_data();
    void frozenPartsStay();
    void selectAcrossFrozen_data();
    void selectAcrossFrozen();
};

void SheetViewTest::modelRoles_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QVariant>("display");
    QTest::addColumn<QVariant>("background");
    QTest::addColumn<QColor>("foreground");
    QTest::addColumn<int>("alignment");

    const QVariant none;
    QTest::newRow("header with both colours")
        << 1 << 1 << QVariant(u"数字"_s) << QVariant(QColor(255, 255, 200)) << QColor(255, 0, 0)
        << Centre;
    QTest::newRow("empty header cell keeps its colours")
        << 4 << 1 << none << QVariant(QColor(255, 255, 200)) << QColor(255, 0, 0) << Centre;
    QTest::newRow("left-aligned title without background")
        << 2 << 2 << QVariant(u"出 　現 　頻 　度"_s) << none << QColor(0, 0, 0) << Left;
    QTest::newRow("number written in decimal")
        << 3 << 3 << QVariant(u"43"_s) << none << QColor(62, 158, 255) << Centre;
    QTest::newRow("untouched cell") << 4 << 3 << none << none << QColor(0, 0, 0) << Centre;
}

void SheetViewTest::modelRoles()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QVariant, display);
    QFETCH(QVariant, background);
    QFETCH(QColor, foreground);
    QFETCH(int, alignment);

    SheetModel model(smallSheet());
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.columnCount(), 4);
    const QModelIndex index = model.index(row - 1, col - 1);
    QCOMPARE(model.data(index, Qt::DisplayRole), display);
    const QVariant bg = model.data(index, Qt::BackgroundRole);
    QCOMPARE(bg.isValid(), background.isValid());
    if (bg.isValid())
        QCOMPARE(bg.value<QBrush>().color(), background.value<QColor>());
    QCOMPARE(model.data(index, Qt::ForegroundRole).value<QBrush>().color(), foreground);
    QCOMPARE(model.data(index, Qt::TextAlignmentRole).toInt(), alignment);
    QVERIFY(!(model.flags(index) & Qt::ItemIsEditable));
}

void SheetViewTest::textExtent_data()
{
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    // A cell from x = 100 to 119.
    QTest::newRow("left runs right") << int(HAlign::Left) << 50 << 102 << 151;
    QTest::newRow("centre spreads both ways") << int(HAlign::Center) << 40 << 90 << 129;
    QTest::newRow("centre fits") << int(HAlign::Center) << 10 << 105 << 114;
    QTest::newRow("right runs left") << int(HAlign::Right) << 50 << 68 << 117;
}

void SheetViewTest::textExtent()
{
    QFETCH(int, align);
    QFETCH(int, width);
    QFETCH(int, first);
    QFETCH(int, last);
    const auto extent = SheetDelegate::textExtent(static_cast<HAlign>(align), 100, 119, width);
    QCOMPARE(extent.first, first);
    QCOMPARE(extent.second, last);
}

void SheetViewTest::overflowAndBorders()
{
    // Row 1: a long left-aligned text in column 2; row 2: a long centred text in column 4;
    // column 1 of row 3 has a red right-hand border.
    auto render = [](bool overflow) {
        Sheet s;
        s.setSize(6, 3);
        s.setRowHeight(-1, 15);
        s.setColWidth(-1, 4);
        s.selectCell(2, 1);
        s.setHAlign(HAlign::Left);
        s.setText("ＷＷＷＷＷＷＷＷ");
        s.selectCell(4, 2);
        s.setHAlign(HAlign::Center);
        s.setText("ＷＷＷＷＷＷ");
        s.setBorder(1, 3, 1, 3, border::Right, colors::red);
        // Row 3: a centred caption in column 4 framed on its left runs right, not across.
        s.selectCell(4, 3);
        s.setHAlign(HAlign::Center);
        s.setText("ＷＷＷＷ");
        s.setBorder(4, 3, 4, 3, border::Left);
        s.setAllowOverflow(overflow);
        auto *view = new SheetView;
        view->setSheet(std::move(s));
        view->resize(400, 200);
        QImage image = view->viewport()->grab().toImage();
        const int w = view->columnWidth(0);
        const int h = view->rowHeight(0);
        delete view;
        return std::tuple{image, w, h};
    };
    auto inked = [](const QImage &image, QRect area) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qGray(image.pixel(x, y)) < 160)
                    return true;
        return false;
    };

    const auto [on, w, h] = render(true);
    const QRect cell(0, 0, w, h);
    QVERIFY(inked(on, cell.translated(2 * w, 0).adjusted(1, 1, -1, -1))); // runs right
    QVERIFY(!inked(on, cell.adjusted(1, 1, -1, -1)));                     // not left
    QVERIFY(inked(on, cell.translated(2 * w, h).adjusted(1, 1, -1, -1))); // centre spreads left
    QVERIFY(inked(on, cell.translated(4 * w, h).adjusted(1, 1, -1, -1))); // and right
    QCOMPARE(QColor(on.pixel(w - 1, 2 * h + h / 2)), QColor(Qt::red));
    QCOMPARE(QColor(on.pixel(w, 2 * h + h / 2)), QColor(Qt::white));
    QVERIFY(!inked(on, cell.translated(2 * w, 2 * h).adjusted(1, 1, -2, -1))); // framed
    QVERIFY(inked(on, cell.translated(4 * w, 2 * h).adjusted(1, 1, -1, -1)));

    const auto [off, w2, h2] = render(false);
    QVERIFY(inked(off, cell.translated(w2, 0).adjusted(1, 1, -1, -1)));
    QVERIFY(!inked(off, cell.translated(2 * w2, 0).adjusted(1, 1, -1, -1)));
    QVERIFY(!inked(off, cell.translated(2 * w2, h2).adjusted(1, 1, -1, -1)));
}

namespace {

// The shape of the biggest table: one row per draw, 45 columns, every cell written,
// coloured and bordered.
Sheet bigBuilder(const DrawHistory &, const Totals &)
{
    constexpr int Rows = 2204;
    constexpr int Cols = 45;
    Sheet s;
    s.setSize(Cols, Rows);
    s.setVisible(Cols, 53);
    s.setRowHeight(-1, 10);
    s.setRowHeight(1, 15);
    s.setRowHeight(2, 12);
    s.setColWidth(-1, 3);
    s.setColWidth(1, 5);
    s.selectCell(-1, -1);
    s.setHAlign(HAlign::Center);
    s.setColors(1, 1, 1, Rows, colors::red, colors::lightYellow);
    s.setBorder(1, 1, Cols, Rows, border::AllSides, colors::lightBlue);
    for (int r = 3; r <= Rows; ++r)
        for (int c = 1; c <= Cols; ++c) {
            s.setText(c, r, (r * 7 + c) % 60);
            if ((r + c) % 5 == 0)
                s.setBackColor(c, r, c, r, colors::lightCyan);
        }
    s.setAllowOverflow(true);
    return s;
}

const AnalysisInfo BigInfo{"big", "大きな分析", "大きな分析", "説明", {}, bigBuilder};

} // namespace

void SheetViewTest::largestWindowOpens()
{
    MainFrm frame(nullptr, {analysisKind(BigInfo, {"big", "mnuBig", "", {9850, 13920}, true})});
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));

    frame.openCommand(u"大きな分析"_s)->trigger();
    auto *view = frame.mdiArea()->activeSubWindow()->findChild<SheetView *>();
    QVERIFY(view);
    QSignalSpy painted(view, &SheetView::firstPainted);
    QVERIFY(view->hasPainted() || painted.wait(5000));
    // How quickly it opens is measured by bench/window/firstpaint_bench.cpp.
    QCOMPARE(view->verticalHeader()->sectionSize(0), view->rowPixels(15));
    QCOMPARE(view->verticalHeader()->sectionSize(2), view->rowPixels(10));
}

void SheetViewTest::copyBlock_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("tsv");
    QTest::addColumn<QString>("htmlPart");
    QTest::newRow("Shift+arrows from the header")
        << u"right down"_s << u"数字\t\n\t出 　現 　頻 　度\n"_s << u"background:#ffffc8"_s;
    QTest::newRow("Ctrl+A") << u"all"_s << u"数字\t\t\t\n\t出 　現 　頻 　度\t\t\n\t\t43\t\n"_s
                            << u"color:#3e9eff\">43</td>"_s;
}

void SheetViewTest::copyBlock()
{
    QFETCH(QString, keys);
    QFETCH(QString, tsv);
    QFETCH(QString, htmlPart);
    SheetView view;
    view.setSheet(smallSheet());
    view.resize(400, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setFocus();
    view.setCurrentIndex(view.model()->index(0, 0));
    if (keys == u"all"_s) {
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    } else {
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    }
    const std::unique_ptr<QMimeData> data(
        SheetClipboard::mimeData(view.sheetModel()->sheet(), view.selectedBlock()));
    QCOMPARE(data->text(), tsv);
    QVERIFY2(data->html().contains(htmlPart), qPrintable(data->html()));
    QVERIFY(data->html().startsWith(u"<table"_s));
    // Ctrl+C puts the same on the clipboard, where the platform has one.
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    if (const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        copied && copied->hasText())
        QCOMPARE(copied->text(), tsv);
}

namespace {

// Columns x rows of "r<row>c<col>" texts (1-based) with a coloured heading row and label column
// at widths and heights that make the frozen parts easy to tell from the body.
Sheet frozenSheet(int columns, int rows, int frozenColumns, int frozenRows)
{
    Sheet s;
    s.prepare(columns, rows, columns, 20, 12, 6);
    s.setRowHeight(1, 20);
    s.setColWidth(1, 9);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c)
            s.setText(c, r, "r" + std::to_string(r) + "c" + std::to_string(c));
    s.setColors(1, 1, columns, 1, colors::red, colors::lightYellow);
    s.setColors(1, 2, 1, rows, colors::blue, colors::lightCyan);
    s.setFrozen(frozenColumns, frozenRows);
    return s;
}

// The picture of one cell where the view shows it, panes included.
QImage cellPicture(SheetView &view, const QModelIndex &index)
{
    const QRect rect = view.onScreenRect(index).translated(view.viewport()->pos());
    return view.grab(rect).toImage();
}

} // namespace

void SheetViewTest::frozenPartsStay_data()
{
    QTest::addColumn<int>("frozenColumns");
    QTest::addColumn<int>("frozenRows");
    QTest::addColumn<int>("viewHeight");
    QTest::addColumn<bool>("rowsStay");
    QTest::addColumn<bool>("columnsStay");
    QTest::newRow("heading row and label column") << 1 << 1 << 300 << true << true;
    QTest::newRow("two heading rows, no label column") << 0 << 2 << 300 << true << false;
    QTest::newRow("headings taller than half the view scroll away")
        << 1 << 12 << 300 << false << true;
    QTest::newRow("nothing frozen") << 0 << 0 << 300 << false << false;
}

void SheetViewTest::frozenPartsStay()
{
    QFETCH(int, frozenColumns);
    QFETCH(int, frozenRows);
    QFETCH(int, viewHeight);
    QFETCH(bool, rowsStay);
    QFETCH(bool, columnsStay);
    SheetView view;
    view.setSheet(frozenSheet(30, 2000, frozenColumns, frozenRows));
    // Rows and columns hidden after filling, as windows do to move notes out of the table.
    view.setRowHidden(1500, true);
    view.setColumnHidden(20, true);
    view.resize(400, viewHeight);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.frozenHeight() > 0, rowsStay);
    QCOMPARE(view.frozenWidth() > 0, columnsStay);

    const QAbstractItemModel *model = view.model();
    const QModelIndex corner = model->index(0, 0);
    const QModelIndex heading = model->index(0, 3);
    const QModelIndex label = model->index(5, 0);
    const QRect cornerRect = view.onScreenRect(corner);
    const QRect headingRect = view.onScreenRect(heading);
    const QRect labelRect = view.onScreenRect(label);
    const QImage cornerBefore = cellPicture(view, corner);

    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
    QVERIFY(view.verticalScrollBar()->value() > 1000);
    QVERIFY(view.horizontalScrollBar()->value() > 100);

    // Frozen cells keep their place and look; the others have scrolled away.
    QCOMPARE(view.onScreenRect(corner) == cornerRect, rowsStay && columnsStay);
    QCOMPARE(view.onScreenRect(heading).top() == headingRect.top(), rowsStay);
    QCOMPARE(view.onScreenRect(label).left() == labelRect.left(), columnsStay);
    if (rowsStay && columnsStay)
        QCOMPARE(cellPicture(view, corner), cornerBefore);
    // The panes show the rows and columns the grid has beside them.
    QCoreApplication::processEvents();
    const QModelIndex end = model->index(model->rowCount() - 1, model->columnCount() - 1);
    for (const QTableView *pane : view.findChildren<QTableView *>(Qt::FindDirectChildrenOnly)) {
        if (!pane->isVisible())
            continue;
        if (pane->geometry().height() == view.viewport()->height())
            QCOMPARE(pane->rowViewportPosition(end.row()), view.rowViewportPosition(end.row()));
        if (pane->geometry().width() == view.viewport()->width())
            QCOMPARE(pane->columnViewportPosition(end.column()),
                view.columnViewportPosition(end.column()));
    }
    // The last row shows in full below any frozen rows, and the body does not hide under them.
    const QModelIndex last = model->index(model->rowCount() - 1, 5);
    QVERIFY(view.onScreenRect(last).bottom() < view.viewport()->height());
    view.scrollTo(model->index(100, 5));
    QVERIFY(view.onScreenRect(model->index(100, 5)).top() >= view.frozenHeight());
}

void SheetViewTest::selectAcrossFrozen_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QPoint>("from"); // model column, row of the block's first cell
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("sideways"); // pixels scrolled to the right first
    QTest::newRow("click a heading, Shift+click the body")
        << u"shift-click"_s << QPoint(1, 0) << QPoint(2, 59) << 0;
    QTest::newRow("click the body, Shift+click the corner")
        << u"shift-click"_s << QPoint(2, 59) << QPoint(0, 0) << 0;
    QTest::newRow("drag from the body up onto a heading")
        << u"drag"_s << QPoint(3, 58) << QPoint(2, 0) << 0;
    QTest::newRow("Ctrl+Home moves to the corner, keeps the selection and scrolls to the top")
        << u"ctrl-home"_s << QPoint(2, 58) << QPoint(2, 58) << 0;
    QTest::newRow("click a label, Shift+Right out from under it")
        << u"shift-right"_s << QPoint(0, 57) << QPoint(1, 57) << 30;
}

void SheetViewTest::selectAcrossFrozen()
{
    QFETCH(QString, steps);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, sideways);
    SheetView view;
    view.setSheet(frozenSheet(12, 60, 1, 1));
    view.resize(300, 250);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setFocus();
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    view.horizontalScrollBar()->setValue(sideways);
    const int scrolled = view.verticalScrollBar()->value();
    QVERIFY(scrolled > 0);

    auto click = [&view](QPoint cell, Qt::KeyboardModifiers modifiers) {
        const QRect rect = view.onScreenRect(view.model()->index(cell.y(), cell.x()));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, rect.center());
    };
    auto centre = [&view](QPoint cell) {
        return view.onScreenRect(view.model()->index(cell.y(), cell.x())).center();
    };
    if (steps == u"drag"_s) {
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centre(from));
        QTest::mouseMove(view.viewport(), centre(to));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centre(to));
    } else {
        click(from, Qt::NoModifier);
        QCOMPARE(view.currentIndex(), view.model()->index(from.y(), from.x()));
        if (steps == u"shift-click"_s)
            click(to, Qt::ShiftModifier);
        else if (steps == u"ctrl-home"_s)
            QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
        else
            QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    }
    // Clicking a frozen cell does not scroll the body away; a body cell moved to comes out
    // from under the frozen columns.
    QCOMPARE(view.verticalScrollBar()->value(), steps == u"ctrl-home"_s ? 0 : scrolled);
    QVERIFY(view.onScreenRect(view.currentIndex()).left() >= 0);
    if (view.currentIndex().column() >= 1)
        QVERIFY(view.onScreenRect(view.currentIndex()).left() >= view.frozenWidth());

    const QRect block(QPoint(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
        QPoint(std::max(from.x(), to.x()), std::max(from.y(), to.y())));
    QCOMPARE(view.selectedBlock(), block);
    QString expected;
    for (int r = block.top(); r <= block.bottom(); ++r) {
        QStringList line;
        for (int c = block.left(); c <= block.right(); ++c)
            line << u"r%1c%2"_s.arg(r + 1).arg(c + 1);
        expected += line.join(u'\t') + u'\n';
    }
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
    const QString text = copied && copied->hasText()
        ? copied->text()
        : SheetClipboard::tsv(view.sheetModel()->sheet(), view.selectedBlock());
    QCOMPARE(text, expected);
}

QTEST_MAIN(SheetViewTest)
#include "sheetview_test.moc"
