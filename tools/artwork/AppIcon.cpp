#include "AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

constexpr double Design = 256; // drawing coordinates
const QPointF Tip(188, 66);

void DrawTile(QPainter &p)
{
    const QRectF tile(8, 8, 240, 240);
    QLinearGradient face(0, tile.top(), 0, tile.bottom());
    face.setColorAt(0.0, QColor(63, 151, 255));
    face.setColorAt(0.5, QColor(0, 84, 227));
    face.setColorAt(1.0, QColor(0, 40, 140));
    p.setPen(QPen(QColor(0, 30, 100), 6));
    p.setBrush(face);
    p.drawRoundedRect(tile, 44, 44);
    // Gloss on the upper half.
    QLinearGradient gloss(0, tile.top(), 0, tile.center().y());
    gloss.setColorAt(0.0, QColor(255, 255, 255, 90));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawRoundedRect(QRectF(18, 14, 220, 110), 36, 36);
}

QPainterPath Coil()
{
    // A fibre spiralling outwards for one and a quarter turns, then leaving
    // the coil at its top towards the point of light.
    QPainterPath path;
    const QPointF centre(112, 146);
    constexpr int Steps = 120;
    for (int step = 0; step <= Steps; ++step) {
        const double t = step / double(Steps);
        const double angle = -3.0 * M_PI + t * 2.5 * M_PI;
        const double radius = 20 + 46 * t;
        const QPointF at(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
        if (step == 0)
            path.moveTo(at);
        else
            path.lineTo(at);
    }
    path.quadTo(QPointF(168, 80), Tip);
    return path;
}

void DrawFibre(QPainter &p)
{
    const QPainterPath coil = Coil();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(120, 230, 255, 70), 26, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(coil);
    p.setPen(QPen(QColor(150, 240, 255), 13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(coil);
    p.setPen(QPen(QColor(255, 255, 255), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(coil);

    const QPointF tip = Tip;
    QRadialGradient glow(tip, 52);
    glow.setColorAt(0.0, QColor(255, 255, 255));
    glow.setColorAt(0.25, QColor(220, 250, 255, 240));
    glow.setColorAt(0.55, QColor(90, 210, 255, 120));
    glow.setColorAt(1.0, QColor(90, 210, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(tip, 52, 52);
    // A four-pointed spark over the tip.
    p.setBrush(QColor(255, 255, 255));
    QPainterPath spark;
    spark.moveTo(tip + QPointF(0, -40));
    spark.quadTo(tip, tip + QPointF(40, 0));
    spark.quadTo(tip, tip + QPointF(0, 40));
    spark.quadTo(tip, tip + QPointF(-40, 0));
    spark.quadTo(tip, tip + QPointF(0, -40));
    p.drawPath(spark);
}

} // namespace

QImage DrawAppIcon(int size)
{
    // Small sizes come from a larger drawing so that thin strokes stay smooth.
    const int drawn = size < 64 ? size * 8 : size;
    QImage image(drawn, drawn, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(drawn / Design, drawn / Design);
        DrawTile(p);
        DrawFibre(p);
    }
    if (drawn != size)
        image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32);
}
