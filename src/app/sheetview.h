#pragma once

#include "grid/sheet.h"

#include <QTableView>

namespace loto6 {

class SheetExporter;
class SheetModel;

// The result grid: shows one filled sheet read-only, with the sheet's fixed row heights and
// column widths, colours, borders and overflowing texts. Only the visible cells are painted.
class SheetView : public QTableView
{
    Q_OBJECT

public:
    explicit SheetView(QWidget *parent = nullptr);

    // Replaces what the view shows.
    void setSheet(Sheet sheet);
    SheetModel *sheetModel() const { return m_model; }

    // The grid's units in pixels: a width unit is about one digit of the grid font,
    // a height unit is a point.
    int columnPixels(double units) const;
    int rowPixels(double points) const;
    bool hasPainted() const { return m_painted; }

    // Saving the table (CSV, HTML, PNG), offered by the grid's context menu.
    SheetExporter *exporter() const { return m_exporter; }
    // The context menu: copy and the export commands; the caller owns the menu.
    QMenu *createContextMenu(QWidget *parent);
    // The bounding block of the selected cells (0-based column, row), empty when none is.
    QRect selectedBlock() const;
    // Puts the selected block on the clipboard as tab-separated text and as an HTML table.
    void copySelection();

signals:
    // Emitted once, after the view has painted its first frame.
    void firstPainted();

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    SheetModel *m_model = nullptr;
    SheetExporter *m_exporter = nullptr;
    bool m_painted = false;
};

} // namespace loto6
