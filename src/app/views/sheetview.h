#pragma once

#include "grid/sheet.h"

#include <QTableView>

namespace loto6 {

class SheetExporter;
class SheetFinder;
class SheetModel;

// The result grid: shows one filled sheet read-only, with the sheet's fixed row heights and
// column widths, colours, borders and overflowing texts. Only the visible cells are painted.
// The sheet's frozen heading rows and label columns stay in place while the rest scrolls:
// panes laid over the viewport show them, and clicks on the panes select the cells they show.
class SheetView : public QTableView
{
    Q_OBJECT

public:
    explicit SheetView(QWidget *parent = nullptr);

    // Replaces what the view shows.
    void setSheet(Sheet sheet);
    // The last column (a table's explanations) widens to fill a window made wider than the
    // table; it never gets narrower than designed.
    void setLastColumnFills(bool fills);
    SheetModel *sheetModel() const { return m_model; }
    // A column narrower than a cell's text widens to hold it (for small tables whose headings
    // would otherwise be cut).
    void setColumnsFitText(bool fit);
    // How much wider and taller the view would have to be to show the whole table without
    // scrolling; nothing where it already does.
    QSize missingSize() const;

    // The grid's units in pixels: a width unit is about one digit of the grid font,
    // a height unit is a point.
    int columnPixels(double units) const;
    int rowPixels(double points) const;
    // The same in a given font and resolution, for drawing a sheet without a view.
    static int columnPixels(double units, const QFont &font);
    static int rowPixels(double points, double dpi);
    bool hasPainted() const { return m_painted; }

    // Saving the table (CSV, HTML, PNG), offered by the grid's context menu.
    SheetExporter *exporter() const { return m_exporter; }
    // Going to a draw (Ctrl+G) and finding a number (Ctrl+F), also in the context menu.
    SheetFinder *finder() const { return m_finder; }
    // The context menu: copy and the export commands; the caller owns the menu.
    QMenu *createContextMenu(QWidget *parent);
    // The bounding block of the selected cells (0-based column, row), empty when none is.
    QRect selectedBlock() const;
    // Puts the selected block on the clipboard as tab-separated text and as an HTML table.
    void copySelection();

    // Height of the frozen rows and width of the frozen columns as they stay on screen; 0 when
    // nothing is frozen or the frozen part would leave too little room for the rest.
    int frozenHeight() const { return m_frozenHeight; }
    int frozenWidth() const { return m_frozenWidth; }
    // Where a cell is on screen, in viewport coordinates: frozen cells where they stay.
    QRect onScreenRect(const QModelIndex &index) const;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    // Makes the newest draw's row the current cell and scrolls to the table's end; a table
    // without draws goes to its top-left corner. Until it is first painted the view does so
    // again whenever it is resized, unless told otherwise (a restored scroll position).
    void showNewestDraw();
    void stopFollowingNewestDraw() { m_followNewestDraw = false; }

signals:
    // Emitted once, after the view has painted its first frame.
    void firstPainted();

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void updateGeometries() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QTableView *createPane();
    void fillWithLastColumn();
    void fitColumnsToText();
    // Shows the sheet on a view (the grid or a pane) with its row heights and column widths.
    void showSheetOn(QTableView *view) const;
    void showOnPanes();
    void mirrorSection(Qt::Orientation orientation, int section);
    void layoutPanes();
    void followScrolling();
    // A point on a frozen pane moved to where the viewport has the cell the pane shows there.
    QPoint scrolledPosition(QPoint pos) const;
    void forwardMouse(QMouseEvent *event);

    SheetModel *m_model = nullptr;
    SheetExporter *m_exporter = nullptr;
    SheetFinder *m_finder = nullptr;
    bool m_lastColumnFills = false;
    bool m_columnsFitText = false;
    bool m_followNewestDraw = false;
    bool m_painted = false;
    // Over the viewport: the frozen rows (scrolling sideways), the frozen columns (scrolling up
    // and down) and the corner where both meet (never scrolling).
    QTableView *m_topPane = nullptr;
    QTableView *m_leftPane = nullptr;
    QTableView *m_cornerPane = nullptr;
    int m_frozenHeight = 0;
    int m_frozenWidth = 0;
};

} // namespace loto6
