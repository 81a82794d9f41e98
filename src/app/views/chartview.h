#pragma once

#include "chart/chart.h"
#include "chart/chartdraw.h"
#include "store/result.h"

#include <QImage>
#include <QWidget>

#include <filesystem>
#include <vector>

class QPainter;
class QPrinter;

namespace loto6 {

// Draws any chart of the core with QPainter, the same picture the SVG writer makes; saves it
// as PNG or SVG and prints it with a preview. A click on a plot reports the panel and the
// value along its x axis.
class ChartView : public QWidget
{
    Q_OBJECT

public:
    // The size a chart is laid out at for a picture file and for paper.
    static constexpr int PictureWidth = 1200;
    static constexpr int PictureHeight = 780;

    explicit ChartView(QWidget *parent = nullptr);

    void setChart(Chart chart);
    const Chart &chart() const { return m_chart; }
    // The layout of the last paint (empty before the first).
    const ChartLayout &layout() const { return m_layout; }

    // Draws the chart into a rectangle of a painter (a picture, a page).
    static ChartLayout paint(QPainter &painter, const Chart &chart, QSizeF size);
    QImage picture(QSize size = {PictureWidth, PictureHeight}) const;

    // Writes the picture (PNG) or the SVG of the chart; `protectedFiles` (the database) are
    // never written.
    Status savePng(const std::filesystem::path &file,
        const std::vector<std::filesystem::path> &protectedFiles) const;
    Status saveSvg(const std::filesystem::path &file,
        const std::vector<std::filesystem::path> &protectedFiles) const;
    // The chart on one page of the printer, in the page's proportions.
    void print(QPrinter &printer) const;
    // The print dialog's preview of the chart, which prints or saves a PDF.
    void printWithPreview();

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

private:
    Chart m_chart;
    ChartLayout m_layout;
    bool m_painted = false;
};

} // namespace loto6
