#pragma once

#include "chart/chart.h"
#include "chart/chartdraw.h"
#include "store/result.h"

#include <QImage>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <vector>

class QPainter;
class QPrinter;

namespace loto6 {

// Draws any chart of the core with QPainter, the same picture the SVG writer makes; saves it
// as PNG or SVG and prints it with a preview. A click on a plot reports the panel and the
// value along its x axis. It also shows the pictures the program paints itself (the product
// picture, a legend's marks), which its context menu prints with a preview or copies.
class ChartView : public QWidget
{
    Q_OBJECT

public:
    // The size a chart is laid out at for a picture file and for paper.
    static constexpr int PictureWidth = 1200;
    static constexpr int PictureHeight = 780;

    explicit ChartView(QWidget *parent = nullptr);

    // Paints a picture into a rectangle of its natural size (the painter is scaled to it).
    using PictureFunction = std::function<void(QPainter &)>;

    void setChart(Chart chart);
    // Shows a painted picture instead of a chart, at the given natural size.
    void setPicture(QSize naturalSize, PictureFunction paint);
    bool showsPicture() const { return static_cast<bool>(m_paintPicture); }
    const Chart &chart() const { return m_chart; }
    // The layout of the last paint (empty before the first).
    const ChartLayout &layout() const { return m_layout; }

    // Draws the chart into a rectangle of a painter (a picture, a page).
    static ChartLayout paint(QPainter &painter, const Chart &chart, QSizeF size);
    // The chart at that size; a picture at twice its natural size whatever the size asked.
    QImage picture(QSize size = {PictureWidth, PictureHeight}) const;

    // Writes the picture (PNG) or the SVG of the chart; `protectedFiles` (the database) are
    // never written.
    Status savePng(const std::filesystem::path &file,
        const std::vector<std::filesystem::path> &protectedFiles) const;
    Status saveSvg(const std::filesystem::path &file,
        const std::vector<std::filesystem::path> &protectedFiles) const;
    // The chart on a page of the given size in layout units (1/96 inch), in the page's
    // proportions (a picture keeps its own, as large as the page allows).
    void paintOnPage(QPainter &painter, QSizeF page) const;
    // The chart on one page of the printer.
    void print(QPrinter &printer) const;
    // The one print preview (printpreview.h) of the chart, titled with its caption.
    void printWithPreview();
    // What the printed page is titled: the chart's caption, or the window's title for a
    // picture.
    QString printTitle() const;

    // The view has drawn its chart once (the first-paint timing waits for it).
    bool hasPainted() const { return m_painted; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked(int panel, double x);
    void firstPainted();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // Paints the chart or the picture into a rectangle of the given size.
    void paintContents(QPainter &painter, QSizeF size) const;

    Chart m_chart;
    QSize m_pictureSize;
    PictureFunction m_paintPicture;
    ChartLayout m_layout;
    bool m_painted = false;
};

} // namespace loto6
