#include "productpicture.h"

#include "appfonts.h"
#include "legendpicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <numbers>

namespace loto6 {

ProductPicture::ProductPicture(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(Size, Size);
}

void ProductPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QPointF centre(Size / 2.0, Size / 2.0);

    // Night-blue ground with a soft glow behind the centre.
    QRadialGradient ground(centre, Size * 0.75);
    ground.setColorAt(0.0, QColor(40, 70, 160));
    ground.setColorAt(0.6, QColor(14, 24, 72));
    ground.setColorAt(1.0, QColor(4, 8, 30));
    p.fillRect(rect(), ground);

    // Rays fanning out from the centre.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 24; ++i) {
        const double a = i * std::numbers::pi / 12.0;
        const double w = std::numbers::pi / 60.0;
        QPainterPath ray(centre);
        ray.lineTo(centre + QPointF(std::cos(a - w), std::sin(a - w)) * Size);
        ray.lineTo(centre + QPointF(std::cos(a + w), std::sin(a + w)) * Size);
        ray.closeSubpath();
        p.setBrush(QColor(255, 230, 140, i % 2 ? 18 : 34));
        p.drawPath(ray);
    }

    // Golden ring.
    QLinearGradient gold(0, 40, 0, Size - 40);
    gold.setColorAt(0.0, QColor(255, 240, 170));
    gold.setColorAt(0.5, QColor(214, 160, 30));
    gold.setColorAt(1.0, QColor(255, 220, 110));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(gold), 10));
    p.drawEllipse(centre, 118, 118);
    p.setPen(QPen(QColor(120, 80, 10), 1.5));
    p.drawEllipse(centre, 124, 124);
    p.drawEllipse(centre, 112, 112);

    // Six numbered balls on the ring.
    static constexpr std::array<int, 6> Numbers = {3, 11, 19, 27, 35, 43};
    static constexpr std::array<QRgb, 6> Colours = {
        0xff3e9eff, 0xffff4040, 0xff30c060, 0xffffb000, 0xffb050ff, 0xffff80c0};
    QFont numberFont = gridFont();
    numberFont.setPixelSize(20);
    numberFont.setBold(true);
    p.setFont(numberFont);
    for (int i = 0; i < 6; ++i) {
        const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 3;
        const QPointF c = centre + QPointF(std::cos(a), std::sin(a)) * 118;
        const QRectF ball(c.x() - 27, c.y() - 27, 54, 54);
        LegendPicture::paintBall(p, ball, QColor(Colours[static_cast<std::size_t>(i)]));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(c, 15, 15);
        p.setPen(QColor(20, 20, 60));
        p.drawText(QRectF(c.x() - 15, c.y() - 15, 30, 30), Qt::AlignCenter,
            QString::number(Numbers[static_cast<std::size_t>(i)]));
    }

    // The big golden 6 with a dark outline, and the name band under it.
    QFont big = minchoFont();
    big.setPixelSize(150);
    QPainterPath six;
    six.addText(0, 0, big, QStringLiteral("6"));
    const QRectF sixBox = six.boundingRect();
    six.translate(centre.x() - sixBox.center().x(), centre.y() - 12 - sixBox.center().y());
    p.setPen(QPen(QColor(70, 30, 0), 4));
    p.setBrush(gold);
    p.drawPath(six);

    QFont title = minchoFont();
    title.setPixelSize(24);
    QPainterPath name;
    name.addText(0, 0, title, QStringLiteral("ズンベル"));
    const QRectF nameBox = name.boundingRect();
    name.translate(centre.x() - nameBox.center().x(), centre.y() + 62 - nameBox.center().y());
    p.setPen(QPen(QColor(120, 0, 0), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(name);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 235));
    p.drawPath(name);

    // A few sparkles.
    p.setBrush(QColor(255, 255, 220));
    for (const QPointF s : {QPointF(40, 46), QPointF(296, 60), QPointF(50, 292), QPointF(300, 286)}) {
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

} // namespace loto6
