#include "SidePicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>
#include <random>

namespace {

// Size of the stored picture and of the box that shows it.
constexpr int StoredWidth = 175, StoredHeight = 333;
constexpr double ShownWidth = 105, ShownHeight = 252;
constexpr int Supersample = 3;

class TDice {
public:
    explicit TDice(std::uint32_t seed) : FEngine(seed) {}
    double Next(double low, double high)
    {
        return low + (high - low) * (static_cast<double>(FEngine()) / 4294967296.0);
    }

private:
    std::mt19937 FEngine;
};

void DrawBackground(QPainter &p)
{
    QLinearGradient sky(0, 0, 0, ShownHeight);
    sky.setColorAt(0.0, QColor(4, 14, 46));
    sky.setColorAt(0.55, QColor(6, 38, 104));
    sky.setColorAt(1.0, QColor(2, 16, 48));
    p.fillRect(QRectF(0, 0, ShownWidth, ShownHeight), sky);

    // The glow of the light source behind the connector.
    QRadialGradient source(QPointF(52, 222), 90);
    source.setColorAt(0.0, QColor(70, 170, 255, 150));
    source.setColorAt(0.4, QColor(30, 90, 200, 60));
    source.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, 0, ShownWidth, ShownHeight), source);
}

void DrawBokeh(QPainter &p, TDice &dice)
{
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 14; ++i) {
        const QPointF centre(dice.Next(0, ShownWidth), dice.Next(10, 190));
        const double radius = dice.Next(4, 13);
        QRadialGradient disc(centre, radius);
        disc.setColorAt(0.0, QColor(120, 200, 255, 34));
        disc.setColorAt(0.8, QColor(90, 160, 255, 22));
        disc.setColorAt(1.0, QColor(90, 160, 255, 0));
        p.setBrush(disc);
        p.drawEllipse(centre, radius, radius);
    }
}

void DrawGlowPoint(QPainter &p, const QPointF &at, double radius, const QColor &colour)
{
    QRadialGradient glow(at, radius);
    glow.setColorAt(0.0, QColor(255, 255, 255, 255));
    glow.setColorAt(0.18, QColor(255, 255, 255, 230));
    QColor mid = colour;
    mid.setAlpha(150);
    glow.setColorAt(0.4, mid);
    QColor edge = colour;
    edge.setAlpha(0);
    glow.setColorAt(1.0, edge);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(at, radius, radius);
}

QColor FibreColour(TDice &dice)
{
    const double pick = dice.Next(0, 1);
    if (pick < 0.55)
        return QColor(90, 220, 255); // cyan
    if (pick < 0.80)
        return QColor(110, 150, 255); // blue
    if (pick < 0.92)
        return QColor(140, 255, 200); // green
    return QColor(200, 150, 255);     // violet
}

void DrawFibres(QPainter &p, TDice &dice)
{
    constexpr int Count = 26;
    for (int i = 0; i < Count; ++i) {
        const double spread = (i + 0.5) / Count; // 0 at the far left, 1 at the far right
        const QPointF start(48 + spread * 8, 214);
        const QPointF end(4 + spread * 97 + dice.Next(-4, 4),
                          14 + dice.Next(0, 150) * (1 - 0.5 * std::abs(spread - 0.5)));
        const QPointF c1(start.x() + (spread - 0.5) * 30, start.y() - dice.Next(50, 90));
        const QPointF c2(end.x() - (spread - 0.5) * dice.Next(0, 30), end.y() + dice.Next(30, 70));
        QPainterPath fibre(start);
        fibre.cubicTo(c1, c2, end);

        const QColor colour = FibreColour(dice);
        QColor halo = colour;
        halo.setAlpha(46);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(halo, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(fibre);
        QColor core = colour.lighter(130);
        core.setAlpha(210);
        p.setPen(QPen(core, 0.55, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(fibre);

        // Pulses of light travelling along some strands.
        if (dice.Next(0, 1) < 0.45)
            DrawGlowPoint(p, fibre.pointAtPercent(dice.Next(0.3, 0.85)), 1.8, colour);
        DrawGlowPoint(p, end, dice.Next(3.2, 5.0), colour);
    }
}

void DrawConnector(QPainter &p)
{
    // Sleeve of the bundle.
    const QRectF sleeve(43, 212, 18, 40);
    QLinearGradient metal(sleeve.left(), 0, sleeve.right(), 0);
    metal.setColorAt(0.0, QColor(60, 70, 90));
    metal.setColorAt(0.35, QColor(210, 220, 235));
    metal.setColorAt(0.6, QColor(130, 140, 160));
    metal.setColorAt(1.0, QColor(40, 48, 64));
    p.setPen(QPen(QColor(20, 24, 40), 0.5));
    p.setBrush(metal);
    p.drawRoundedRect(sleeve, 2, 2);
    // Ferrule ring at the top of the sleeve.
    const QRectF ring(41, 208, 22, 7);
    QLinearGradient ringMetal(ring.left(), 0, ring.right(), 0);
    ringMetal.setColorAt(0.0, QColor(90, 80, 50));
    ringMetal.setColorAt(0.4, QColor(250, 230, 160));
    ringMetal.setColorAt(1.0, QColor(80, 70, 40));
    p.setBrush(ringMetal);
    p.drawRoundedRect(ring, 1.5, 1.5);
    // The light where the fibres leave the ferrule.
    DrawGlowPoint(p, QPointF(52, 210), 9, QColor(120, 210, 255));
}

} // namespace

QImage DrawSidePicture()
{
    QImage large(StoredWidth * Supersample, StoredHeight * Supersample, QImage::Format_RGB32);
    large.fill(Qt::black);
    {
        QPainter p(&large);
        p.setRenderHint(QPainter::Antialiasing);
        // Draw in the coordinates of the box that shows the picture, so that
        // round things are round on screen after the stretch.
        p.scale(large.width() / ShownWidth, large.height() / ShownHeight);
        TDice dice(20260512);
        DrawBackground(p);
        DrawBokeh(p, dice);
        DrawFibres(p, dice);
        DrawConnector(p);
    }
    return large.scaled(StoredWidth, StoredHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
