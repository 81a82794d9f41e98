#include "views/elidedlabel.h"

#include <QPainter>
#include <QTextLayout>

namespace loto6 {

ElidedLabel::ElidedLabel(const QString &text, int maxLines, QWidget *parent)
    : QFrame(parent)
    , m_text(text)
    , m_maxLines(std::max(1, maxLines))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_elided = false;
    layoutLines(contentsRect().width(), &m_elided);
    setToolTip(m_elided ? m_text : QString());
    updateGeometry();
    update();
}

QStringList ElidedLabel::layoutLines(int width, bool *elided) const
{
    QStringList lines;
    const QFontMetrics metrics = fontMetrics();
    QTextLayout layout(m_text, font());
    layout.beginLayout();
    int start = 0;
    bool cut = false;
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(std::max(width, 1));
        if (lines.size() == m_maxLines - 1) {
            // The last line allowed takes the rest, elided when it does not fit.
            const QString rest = m_text.mid(start);
            const QString shown = metrics.elidedText(rest, Qt::ElideRight, std::max(width, 1));
            cut = shown != rest;
            lines.append(shown);
            break;
        }
        lines.append(m_text.mid(line.textStart(), line.textLength()));
        start = line.textStart() + line.textLength();
    }
    layout.endLayout();
    if (elided)
        *elided = cut;
    return lines;
}

QSize ElidedLabel::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int width = metrics.horizontalAdvance(m_text) / m_maxLines + metrics.averageCharWidth();
    return {width, heightForWidth(width)};
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QStringLiteral("……")), fontMetrics().height()};
}

int ElidedLabel::heightForWidth(int width) const
{
    return static_cast<int>(layoutLines(width).size()) * fontMetrics().lineSpacing()
        + 2 * frameWidth();
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    layoutLines(contentsRect().width(), &m_elided);
    setToolTip(m_elided ? m_text : QString());
}

void ElidedLabel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    const int spacing = fontMetrics().lineSpacing();
    int y = area.top();
    for (const QString &line : layoutLines(area.width())) {
        if (y + fontMetrics().height() > area.bottom() + 1 && y > area.top())
            break;
        painter.drawText(QRect(area.left(), y, area.width(), spacing),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
        y += spacing;
    }
}

} // namespace loto6
