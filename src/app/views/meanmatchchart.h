#pragma once

#include <QPen>
#include <QString>
#include <QWidget>

#include <vector>

class QPainter;

namespace loto6 {

// Mean matches per reflection shift, one small panel per method: the observed means as a line,
// the mean expected from random picks of the same sizes as a dashed line with its central 95%
// band shaded, and a mark at the chosen shift. Clicking a panel chooses the shift under the
// mouse.
class MeanMatchChart : public QWidget
{
    Q_OBJECT

public:
    struct Series
    {
        QString title;
        // One value per shift 0..n-1; NaN where a shift has no figure.
        std::vector<double> observed;
        std::vector<double> expected;
        std::vector<double> low;
        std::vector<double> high;
    };

    explicit MeanMatchChart(QWidget *parent = nullptr);

    void setSeries(std::vector<Series> series);
    const std::vector<Series> &series() const { return m_series; }
    void setMarkedShift(int shift);
    int markedShift() const { return m_marked; }
    int shiftCount() const;

    // The shift whose column holds x, or -1 outside the plots.
    int shiftAt(int x) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void shiftClicked(int shift);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    struct PanelScale;

    QRect plotArea() const;
    double xOf(int shift, const QRect &area) const;
    static PanelScale panelScale(const Series &s, const QRectF &panel);
    void paintLegend(QPainter &p, const QRect &area) const;
    void paintPanel(QPainter &p, const Series &s, const PanelScale &scale, const QRect &area) const;
    void paintBand(QPainter &p, const Series &s, const PanelScale &scale, const QRect &area) const;
    void paintSeriesLine(QPainter &p, const std::vector<double> &values, const QPen &pen,
        const PanelScale &scale, const QRect &area) const;
    void paintOutliers(
        QPainter &p, const Series &s, const PanelScale &scale, const QRect &area) const;
    void paintMark(QPainter &p, const Series &s, const PanelScale &scale, const QRect &area) const;
    void paintScaleAndTitle(QPainter &p, const Series &s, const PanelScale &scale) const;
    void paintShiftAxis(QPainter &p, const QRect &area) const;

    std::vector<Series> m_series;
    int m_marked = -1;
};

} // namespace loto6
