#include "views/meanmatchchart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace loto6 {

namespace {

constexpr int LeftMargin = 52;
constexpr int RightMargin = 12;
constexpr int PanelGap = 8;

const QColor ObservedColor(0, 0, 200);
const QColor ExpectedColor(96, 96, 96);
const QColor BandColor(255, 200, 200);
const QColor MarkColor(0, 160, 0);

bool finite(double v) { return std::isfinite(v); }

// The value at a shift, NaN outside the series.
double at(const std::vector<double> &values, int shift)
{
    return shift >= 0 && shift < static_cast<int>(values.size())
        ? values[static_cast<std::size_t>(shift)]
        : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

MeanMatchChart::MeanMatchChart(QWidget *parent)
    : QWidget(parent)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
}

void MeanMatchChart::setSeries(std::vector<Series> series)
{
    m_series = std::move(series);
    update();
}

void MeanMatchChart::setMarkedShift(int shift)
{
    if (shift == m_marked)
        return;
    m_marked = shift;
    update();
}

int MeanMatchChart::shiftCount() const
{
    std::size_t count = 0;
    for (const Series &s : m_series)
        count = std::max({count, s.observed.size(), s.expected.size()});
    return static_cast<int>(count);
}

QSize MeanMatchChart::sizeHint() const { return {640, 240}; }

QSize MeanMatchChart::minimumSizeHint() const { return {320, 160}; }

QRect MeanMatchChart::plotArea() const
{
    const int line = fontMetrics().height();
    // A legend line above, the shift labels and the axis caption below.
    return QRect(LeftMargin, line + 8, width() - LeftMargin - RightMargin,
        height() - (line + 8) - (2 * line + 8));
}

double MeanMatchChart::xOf(int shift, const QRect &area) const
{
    const int count = std::max(1, shiftCount());
    return area.left() + (shift + 0.5) * area.width() / count;
}

int MeanMatchChart::shiftAt(int x) const
{
    const QRect area = plotArea();
    const int count = shiftCount();
    if (count == 0 || x < area.left() || x > area.right())
        return -1;
    const int shift = static_cast<int>((x - area.left()) * double(count) / area.width());
    return std::clamp(shift, 0, count - 1);
}

void MeanMatchChart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        if (const int shift = shiftAt(qRound(event->position().x())); shift >= 0)
            emit shiftClicked(shift);
    QWidget::mousePressEvent(event);
}

// One panel's vertical scale. Each method gets its own: their means lie far apart, their
// bands are narrow.
struct MeanMatchChart::PanelScale
{
    QRectF panel;
    double lo = 0;
    double hi = 1;
    double pad = 0;

    double y(double v) const { return panel.bottom() - (v - lo) / (hi - lo) * panel.height(); }
};

MeanMatchChart::PanelScale MeanMatchChart::panelScale(const Series &s, const QRectF &panel)
{
    PanelScale scale;
    scale.panel = panel;
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (const auto *values : {&s.observed, &s.expected, &s.low, &s.high})
        for (double v : *values)
            if (finite(v)) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
    if (!finite(lo)) {
        lo = 0;
        hi = 1;
    }
    if (hi - lo < 1e-9) {
        lo -= 0.05;
        hi += 0.05;
    }
    scale.pad = (hi - lo) * 0.08;
    scale.lo = lo - scale.pad;
    scale.hi = hi + scale.pad;
    return scale;
}

void MeanMatchChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect area = plotArea();
    if (m_series.empty() || shiftCount() == 0 || area.height() < 20)
        return;

    paintLegend(p, area);
    const int panels = static_cast<int>(m_series.size());
    const double panelHeight = (area.height() - PanelGap * (panels - 1)) / double(panels);
    for (int i = 0; i < panels; ++i) {
        const QRectF panel(
            area.left(), area.top() + i * (panelHeight + PanelGap), area.width(), panelHeight);
        paintPanel(p, m_series[static_cast<std::size_t>(i)],
            panelScale(m_series[static_cast<std::size_t>(i)], panel), area);
    }
    paintShiftAxis(p, area);
}

void MeanMatchChart::paintLegend(QPainter &p, const QRect &area) const
{
    const QFontMetrics fm = fontMetrics();
    int lx = area.left();
    const int ly = 4 + fm.height() / 2;
    auto legend = [&](const QString &text, auto drawKey) {
        drawKey(QRect(lx, ly - 5, 22, 10));
        lx += 26;
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QPoint(lx, ly + fm.ascent() / 2 - 1), text);
        lx += fm.horizontalAdvance(text) + 16;
    };
    legend(tr("実測の一致数平均"), [&](const QRect &r) {
        p.setPen(QPen(ObservedColor, 2));
        p.drawLine(r.left(), r.center().y(), r.right(), r.center().y());
    });
    legend(tr("偶然の期待値"), [&](const QRect &r) {
        p.setPen(QPen(ExpectedColor, 1, Qt::DashLine));
        p.drawLine(r.left(), r.center().y(), r.right(), r.center().y());
    });
    legend(tr("偶然の95%範囲"), [&](const QRect &r) { p.fillRect(r, BandColor); });
    if (m_marked >= 0)
        legend(tr("表示中のシフト"), [&](const QRect &r) {
            p.setPen(QPen(MarkColor, 1));
            p.drawLine(r.center().x(), r.top() - 2, r.center().x(), r.bottom() + 2);
        });
}

void MeanMatchChart::paintPanel(
    QPainter &p, const Series &s, const PanelScale &scale, const QRect &area) const
{
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(scale.panel);
    paintBand(p, s, scale, area);
    paintSeriesLine(p, s.expected, QPen(ExpectedColor, 1, Qt::DashLine), scale, area);
    paintSeriesLine(p, s.observed, QPen(ObservedColor, 1.5), scale, area);
    paintOutliers(p, s, scale, area);
    paintMark(p, s, scale, area);
    paintScaleAndTitle(p, s, scale);
}

// The 95% band as one filled shape, broken where a shift has no figure.
void MeanMatchChart::paintBand(
    QPainter &p, const Series &s, const PanelScale &scale, const QRect &area) const
{
    const int count = shiftCount();
    const double halfColumn = 0.5 * area.width() / count;
    auto inBand = [&](int k) { return finite(at(s.low, k)) && finite(at(s.high, k)); };
    p.setPen(Qt::NoPen);
    p.setBrush(BandColor);
    for (int a = 0; a < count;) {
        if (!inBand(a)) {
            ++a;
            continue;
        }
        int b = a;
        while (b + 1 < count && inBand(b + 1))
            ++b;
        QPolygonF band;
        for (int k = a; k <= b; ++k)
            band << QPointF(xOf(k, area) - (k == a ? halfColumn : 0), scale.y(at(s.high, k)));
        for (int k = b; k >= a; --k)
            band << QPointF(xOf(k, area) + (k == b ? halfColumn : 0), scale.y(at(s.low, k)));
        p.drawPolygon(band);
        a = b + 1;
    }
}

// A line through the values, broken where a shift has no figure.
void MeanMatchChart::paintSeriesLine(QPainter &p, const std::vector<double> &values,
    const QPen &pen, const PanelScale &scale, const QRect &area) const
{
    QPainterPath path;
    bool open = false;
    for (int k = 0; k < shiftCount(); ++k) {
        const double v = at(values, k);
        if (!finite(v)) {
            open = false;
            continue;
        }
        const QPointF point(xOf(k, area), scale.y(v));
        if (open)
            path.lineTo(point);
        else
            path.moveTo(point);
        open = true;
    }
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

// Observed points outside the band stand out.
void MeanMatchChart::paintOutliers(
    QPainter &p, const Series &s, const PanelScale &scale, const QRect &area) const
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::red);
    for (int k = 0; k < shiftCount(); ++k) {
        const double v = at(s.observed, k);
        if (finite(v) && finite(at(s.low, k)) && (v < at(s.low, k) || v > at(s.high, k)))
            p.drawEllipse(QPointF(xOf(k, area), scale.y(v)), 2.5, 2.5);
    }
}

void MeanMatchChart::paintMark(
    QPainter &p, const Series &s, const PanelScale &scale, const QRect &area) const
{
    if (m_marked < 0 || m_marked >= shiftCount())
        return;
    const double x = xOf(m_marked, area);
    p.setPen(QPen(MarkColor, 1));
    p.drawLine(QPointF(x, scale.panel.top()), QPointF(x, scale.panel.bottom()));
    if (const double v = at(s.observed, m_marked); finite(v)) {
        p.setBrush(MarkColor);
        p.drawEllipse(QPointF(x, scale.y(v)), 3, 3);
    }
}

// The scale on the left; the title on a light box in the top right corner, over the lines.
void MeanMatchChart::paintScaleAndTitle(QPainter &p, const Series &s, const PanelScale &scale) const
{
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();
    p.setPen(palette().color(QPalette::Text));
    for (double v : {scale.lo + scale.pad, (scale.lo + scale.hi) / 2, scale.hi - scale.pad}) {
        const QString label = QString::number(v, 'f', 2);
        const QRectF box(0, scale.y(v) - line / 2.0, LeftMargin - 6, line);
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, label);
        p.setPen(QPen(palette().color(QPalette::Mid), 1));
        p.drawLine(
            QPointF(scale.panel.left() - 3, scale.y(v)), QPointF(scale.panel.left(), scale.y(v)));
        p.setPen(palette().color(QPalette::Text));
    }
    const QRectF titleBox(scale.panel.right() - fm.horizontalAdvance(s.title) - 12,
        scale.panel.top() + 1, fm.horizontalAdvance(s.title) + 10, line + 2);
    p.fillRect(titleBox, QColor(255, 255, 255, 210));
    p.drawText(titleBox, Qt::AlignCenter, s.title);
}

// The shift labels and the axis caption under the last panel.
void MeanMatchChart::paintShiftAxis(QPainter &p, const QRect &area) const
{
    const int line = fontMetrics().height();
    const int count = shiftCount();
    p.setPen(palette().color(QPalette::Text));
    const int step = count > 50 ? 10 : 5;
    for (int k = 0; k < count; k += step) {
        const double x = xOf(k, area);
        p.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 3));
        const QString label = QString::number(k);
        p.drawText(
            QRectF(x - 20, area.bottom() + 3, 40, line), Qt::AlignHCenter | Qt::AlignTop, label);
    }
    p.drawText(QRect(area.left(), area.bottom() + 4 + line, area.width(), line),
        Qt::AlignHCenter | Qt::AlignTop, tr("反映シフト（反映するスイッチの重みの合計）"));
}

} // namespace loto6
