#include "views/productpicture.h"

#include "shell/appfonts.h"
#include "views/legendpicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <numbers>

namespace loto6 {

namespace {

constexpr double Size = ProductPicture::Size;
const QPointF Centre(Size / 2.0, Size / 2.0);

// Night-blue ground with a soft glow behind the centre, and rays fanning out from it.
void paintGround(QPainter &p, const QRect &rect)
{
    QRadialGradient ground(Centre, Size * 0.75);
    ground.setColorAt(0.0, QColor(40, 70, 160));
    ground.setColorAt(0.6, QColor(14, 24, 72));
    ground.setColorAt(1.0, QColor(4, 8, 30));
    p.fillRect(rect, ground);

    p.setPen(Qt::NoPen);
    for (int i = 0; i < 24; ++i) {
        const double a = i * std::numbers::pi / 12.0;
        const double w = std::numbers::pi / 60.0;
        QPainterPath ray(Centre);
        ray.lineTo(Centre + QPointF(std::cos(a - w), std::sin(a - w)) * Size);
        ray.lineTo(Centre + QPointF(std::cos(a + w), std::sin(a + w)) * Size);
        ray.closeSubpath();
        p.setBrush(QColor(255, 230, 140, i % 2 ? 18 : 34));
        p.drawPath(ray);
    }
}

QLinearGradient goldGradient()
{
    QLinearGradient gold(0, 40, 0, Size - 40);
    gold.setColorAt(0.0, QColor(255, 240, 170));
    gold.setColorAt(0.5, QColor(214, 160, 30));
    gold.setColorAt(1.0, QColor(255, 220, 110));
    return gold;
}

void paintRing(QPainter &p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(goldGradient()), 10));
    p.drawEllipse(Centre, 118, 118);
    p.setPen(QPen(QColor(120, 80, 10), 1.5));
    p.drawEllipse(Centre, 124, 124);
    p.drawEllipse(Centre, 112, 112);
}

// Six numbered balls on the ring.
void paintBalls(QPainter &p)
{
    static constexpr std::array<int, 6> Numbers = {3, 11, 19, 27, 35, 43};
    static constexpr std::array<QRgb, 6> Colours
        = {0xff3e9eff, 0xffff4040, 0xff30c060, 0xffffb000, 0xffb050ff, 0xffff80c0};
    QFont numberFont = gridFont();
    numberFont.setPixelSize(20);
    numberFont.setBold(true);
    p.setFont(numberFont);
    for (int i = 0; i < 6; ++i) {
        const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 3;
        const QPointF c = Centre + QPointF(std::cos(a), std::sin(a)) * 118;
        const QRectF ball(c.x() - 27, c.y() - 27, 54, 54);
        LegendPicture::paintBall(p, ball, QColor(Colours[static_cast<std::size_t>(i)]));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(c, 15, 15);
        p.setPen(QColor(20, 20, 60));
        p.drawText(QRectF(c.x() - 15, c.y() - 15, 30, 30), Qt::AlignCenter,
            QString::number(Numbers[static_cast<std::size_t>(i)]));
    }
}

// Text as a path centred dy below the centre.
QPainterPath centredText(const QString &text, const QFont &font, double dy)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    path.translate(Centre.x() - box.center().x(), Centre.y() + dy - box.center().y());
    return path;
}

// The big golden 6 with a dark outline, and the name band under it.
void paintSixAndName(QPainter &p)
{
    QFont big = minchoFont();
    big.setPixelSize(150);
    p.setPen(QPen(QColor(70, 30, 0), 4));
    p.setBrush(goldGradient());
    p.drawPath(centredText(QStringLiteral("6"), big, -12));

    QFont title = minchoFont();
    title.setPixelSize(24);
    const QPainterPath name = centredText(QStringLiteral("ズンベル"), title, 62);
    p.setPen(QPen(QColor(120, 0, 0), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(name);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 235));
    p.drawPath(name);
}

void paintSparkles(QPainter &p)
{
    p.setBrush(QColor(255, 255, 220));
    for (const QPointF s :
        {QPointF(40, 46), QPointF(296, 60), QPointF(50, 292), QPointF(300, 286)}) {
        QPainterPath star;
        star.moveTo(s + QPointF(0, -9));
        star.lineTo(s + QPointF(2, -2));
        star.lineTo(s + QPointF(9, 0));
        star.lineTo(s + QPointF(2, 2));
        star.lineTo(s + QPointF(0, 9));
        star.lineTo(s + QPointF(-2, 2));
        star.lineTo(s + QPointF(-9, 0));
        star.lineTo(s + QPointF(-2, -2));
        star.closeSubpath();
        p.drawPath(star);
    }
}

} // namespace

ProductPicture::ProductPicture(QWidget *parent)
    : ChartView(parent)
{
    setFixedSize(Size, Size);
    setPicture({Size, Size}, &ProductPicture::paintPicture);
}

void ProductPicture::paintPicture(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintGround(p, QRect(0, 0, Size, Size));
    paintRing(p);
    paintBalls(p);
    paintSixAndName(p);
    paintSparkles(p);
}

} // namespace loto6
