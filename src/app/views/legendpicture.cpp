#include "views/legendpicture.h"

#include "views/sheetmodel.h"

#include <QPainter>
#include <QRadialGradient>

namespace loto6 {

namespace {
constexpr int MarkSize = 12;
} // namespace

LegendPicture::LegendPicture(std::span<const LegendItem> items, QWidget *parent)
    : ChartView(parent)
    , m_items(items.begin(), items.end())
{
    setFixedSize(sizeHint());
    setPicture(sizeHint(), [this](QPainter &painter) { paintMarks(painter); });
}

QSize LegendPicture::sizeHint() const
{
    return {MarkSize + 4, LineHeight * static_cast<int>(m_items.size())};
}

void LegendPicture::paintBall(QPainter &painter, const QRectF &rect, const QColor &color)
{
    QRadialGradient shade(
        rect.center() - QPointF(rect.width() / 5, rect.height() / 5), rect.width() * 0.7);
    shade.setColorAt(0.0, color.lighter(170));
    shade.setColorAt(0.45, color);
    shade.setColorAt(1.0, color.darker(150));
    painter.setPen(QPen(color.darker(170), 0.8));
    painter.setBrush(shade);
    painter.drawEllipse(rect);
}

void LegendPicture::paintMarks(QPainter &painter) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const LegendItem &item = m_items[i];
        const QColor color = SheetModel::toColor(item.color);
        const QRectF mark(2, static_cast<double>(i) * LineHeight + (LineHeight - MarkSize) / 2.0,
            MarkSize, MarkSize);
        if (item.shape == LegendItem::Shape::Ball) {
            paintBall(painter, mark, color);
        } else {
            painter.setPen(QPen(Qt::black, 0));
            painter.setBrush(color);
            painter.drawRect(mark.adjusted(0.5, 0.5, -0.5, -0.5));
        }
    }
}

} // namespace loto6
