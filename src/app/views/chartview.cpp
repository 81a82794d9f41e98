#include "views/chartview.h"

#include "chart/chartwriter.h"
#include "store/outputfile.h"
#include "views/printpreview.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>

#include <sstream>

namespace loto6 {

namespace {

// The chart as one printed page, drawn when the preview shows it.
class ChartPages : public PrintPages
{
public:
    explicit ChartPages(const ChartView &view)
        : m_view(view)
    {
    }
    void layOut(QSizeF page) override { m_page = page; }
    int pageCount() const override { return 1; }
    void paintPage(QPainter &painter, int) const override { m_view.paintOnPage(painter, m_page); }
    bool prefersLandscape(QSizeF) const override
    {
        return !m_view.showsPicture() || m_view.width() >= m_view.height();
    }

private:
    const ChartView &m_view;
    QSizeF m_page;
};

QColor qcolor(Rgb c) { return QColor(red(c), green(c), blue(c)); }

QPolygonF polygonOf(const std::vector<ChartPoint> &points)
{
    QPolygonF p;
    p.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint &pt : points)
        p.append(QPointF(pt.x, pt.y));
    return p;
}

// The chart's strokes on a QPainter.
class PainterCanvas : public ChartCanvas
{
public:
    explicit PainterCanvas(QPainter &painter)
        : m_p(painter)
    {
        m_p.setRenderHint(QPainter::Antialiasing);
    }
    void fillRect(const ChartRect &r, Rgb fill) override
    {
        m_p.fillRect(QRectF(r.x, r.y, r.width, r.height), qcolor(fill));
    }
    void polygon(const std::vector<ChartPoint> &points, Rgb fill) override
    {
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(qcolor(fill));
        m_p.drawPolygon(polygonOf(points));
        m_p.setBrush(Qt::NoBrush);
    }
    void polyline(const std::vector<ChartPoint> &points, const Pen &pen) override
    {
        QPen q(qcolor(pen.color), pen.width);
        if (pen.dashed)
            q.setDashPattern({4, 3});
        m_p.setPen(q);
        m_p.drawPolyline(polygonOf(points));
    }
    void text(double x, double y, std::string_view text, double size, Rgb color, Anchor anchor,
        bool vertical, bool bold) override
    {
        QFont f = m_p.font();
        f.setPixelSize(std::max(1, static_cast<int>(size + 0.5)));
        f.setBold(bold);
        m_p.setFont(f);
        m_p.setPen(qcolor(color));
        const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        const double w = QFontMetricsF(f).horizontalAdvance(s);
        const double shift = anchor == Anchor::Start ? 0 : anchor == Anchor::Middle ? w / 2 : w;
        m_p.save();
        m_p.translate(x, y);
        if (vertical)
            m_p.rotate(-90);
        m_p.drawText(QPointF(-shift, 0), s);
        m_p.restore();
    }
    double textWidth(std::string_view text, double size) const override
    {
        QFont f = m_p.font();
        f.setPixelSize(std::max(1, static_cast<int>(size + 0.5)));
        return QFontMetricsF(f).horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }

private:
    QPainter &m_p;
};

} // namespace

ChartView::ChartView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Base);
}

void ChartView::setChart(Chart chart)
{
    m_chart = std::move(chart);
    update();
}

void ChartView::setPicture(QSize naturalSize, PictureFunction paint)
{
    m_pictureSize = naturalSize;
    m_paintPicture = std::move(paint);
    // A picture lies on the window's own background, as its plain widget did.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    update();
}

void ChartView::paintContents(QPainter &painter, QSizeF size) const
{
    if (!m_paintPicture) {
        paint(painter, m_chart, size);
        return;
    }
    painter.save();
    painter.scale(size.width() / m_pictureSize.width(), size.height() / m_pictureSize.height());
    m_paintPicture(painter);
    painter.restore();
}

ChartLayout ChartView::paint(QPainter &painter, const Chart &chart, QSizeF size)
{
    PainterCanvas canvas(painter);
    return drawChart(chart, canvas, size.width(), size.height());
}

QImage ChartView::picture(QSize size) const
{
    if (m_paintPicture)
        size = m_pictureSize * 2;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font());
    paintContents(painter, size);
    return image;
}

Status ChartView::savePng(const std::filesystem::path &file,
    const std::vector<std::filesystem::path> &protectedFiles) const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture().save(&buffer, "PNG"))
        return Status::failure(Fault{.kind = FaultKind::PictureNotMade});
    return writeOutputFile(file,
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
        protectedFiles);
}

Status ChartView::saveSvg(const std::filesystem::path &file,
    const std::vector<std::filesystem::path> &protectedFiles) const
{
    if (m_paintPicture)
        return Status::failure(Fault{.kind = FaultKind::PaintedPictureSvg});
    std::ostringstream svg;
    writeChartSvg(svg, m_chart, PictureWidth, PictureHeight);
    return writeOutputFile(file, svg.view(), protectedFiles);
}

QString ChartView::printTitle() const
{
    return m_paintPicture ? window()->windowTitle() : QString::fromStdString(m_chart.caption);
}

void ChartView::printWithPreview()
{
    showPrintPreview(this, std::make_shared<ChartPages>(*this), printTitle());
}

void ChartView::print(QPrinter &printer) const
{
    ChartPages pages(*this);
    pages.print(printer);
}

void ChartView::paintOnPage(QPainter &painter, QSizeF page) const
{
    if (m_paintPicture) {
        // As large as the page holds, in its own proportions; drawn from the picture at twice
        // its size, so that its own fonts keep their size on any device.
        const QSizeF fitted = QSizeF(m_pictureSize).scaled(page, Qt::KeepAspectRatio);
        painter.drawImage(QRectF(QPointF(0, 0), fitted), picture());
        return;
    }
    // Laid out at picture width and scaled onto the page, so that the text keeps its size
    // relative to the plots on any paper.
    const double scale = page.width() / PictureWidth;
    painter.save();
    painter.scale(scale, scale);
    painter.setFont(font());
    paint(painter, m_chart, QSizeF(PictureWidth, page.height() / scale));
    painter.restore();
}

QSize ChartView::sizeHint() const { return m_paintPicture ? m_pictureSize : QSize(900, 600); }

QSize ChartView::minimumSizeHint() const
{
    return m_paintPicture ? m_pictureSize : QSize(360, 260);
}

void ChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_paintPicture)
        paintContents(painter, size());
    else
        m_layout = paint(painter, m_chart, size());
    if (!m_painted && (m_paintPicture || !m_chart.panels.empty())) {
        m_painted = true;
        emit firstPainted();
    }
}

void ChartView::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_paintPicture) {
        QWidget::contextMenuEvent(event);
        return;
    }
    QMenu menu(this);
    menu.addAction(tr("印刷..."), this, &ChartView::printWithPreview);
    menu.addAction(
        tr("画像をコピー"), this, [this] { QApplication::clipboard()->setImage(picture()); });
    menu.exec(event->globalPos());
}

void ChartView::mousePressEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    for (std::size_t i = 0; i < m_layout.panels.size(); ++i) {
        const ChartPanelLayout &p = m_layout.panels[i];
        if (p.plot.contains(at.x(), at.y())) {
            emit clicked(static_cast<int>(i), p.x.unmap(at.x(), p.plot.x, p.plot.x + p.plot.width));
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

} // namespace loto6
