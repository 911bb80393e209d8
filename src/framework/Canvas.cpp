#include "Canvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

QImage NewSurface(int w, int h)
{
    QImage image(qMax(w, 0), qMax(h, 0), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void FillRect(QImage &image, const TRect &rect, TColor color)
{
    const QRect area = rect.ToQRect().intersected(image.rect());
    if (area.isEmpty())
        return;
    QPainter painter(&image);
    painter.fillRect(area, ColorToQColor(color));
}

QSize TextExtent(const QFont &font, const QString &text)
{
    const QFontMetrics metrics(font);
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

void DrawTextLine(QImage &image, const QFont &font, TColor color, const TRect &rect, const QString &text,
                  int flags)
{
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(ColorToQColor(color));
    painter.setClipRect(rect.ToQRect());
    int align = Qt::TextSingleLine | Qt::TextShowMnemonic;
    align |= (flags & tfCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
    align |= (flags & tfVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    painter.drawText(rect.ToQRect(), align, text);
}

namespace {

void InvertPixel(QImage &image, int x, int y)
{
    if (x >= 0 && y >= 0 && x < image.width() && y < image.height())
        image.setPixel(x, y, image.pixel(x, y) ^ 0x00FFFFFFu);
}

void SetPixelClipped(QImage &image, int x, int y, QRgb rgb)
{
    if (x >= 0 && y >= 0 && x < image.width() && y < image.height())
        image.setPixel(x, y, rgb);
}

} // namespace

void DrawFocusRect(QImage &image, const TRect &r)
{
    if (r.IsEmpty())
        return;
    const int right = r.Right - 1;
    const int bottom = r.Bottom - 1;
    auto dotted = [&](int x, int y) {
        if (((x - r.Left) + (y - r.Top)) % 2 == 0)
            InvertPixel(image, x, y);
    };
    for (int x = r.Left; x <= right; ++x) {
        dotted(x, r.Top);
        if (bottom != r.Top)
            dotted(x, bottom);
    }
    for (int y = r.Top + 1; y < bottom; ++y) {
        dotted(r.Left, y);
        if (right != r.Left)
            dotted(right, y);
    }
}

void RoundRectOutline(QImage &image, const TRect &r, int ellipseW, int ellipseH, TColor pen)
{
    if (r.IsEmpty())
        return;
    const QRgb rgb = ColorToQColor(pen).rgb();
    const int left = r.Left;
    const int top = r.Top;
    const int right = r.Right - 1;
    const int bottom = r.Bottom - 1;
    // Corner radii, never more than half the rectangle.
    const int rx = qMin(ellipseW / 2, (right - left) / 2);
    const int ry = qMin(ellipseH / 2, (bottom - top) / 2);
    // Straight edges between the corner arcs.
    for (int x = left + rx; x <= right - rx; ++x) {
        SetPixelClipped(image, x, top, rgb);
        SetPixelClipped(image, x, bottom, rgb);
    }
    for (int y = top + ry; y <= bottom - ry; ++y) {
        SetPixelClipped(image, left, y, rgb);
        SetPixelClipped(image, right, y, rgb);
    }
    if (rx == 0 || ry == 0)
        return;
    // Quarter arcs: for each step along the longer axis, the pixel nearest the
    // ellipse through the ends of the straight edges, mirrored to all corners.
    auto plot = [&](int dx, int dy) {
        SetPixelClipped(image, left + rx - dx, top + ry - dy, rgb);
        SetPixelClipped(image, right - rx + dx, top + ry - dy, rgb);
        SetPixelClipped(image, left + rx - dx, bottom - ry + dy, rgb);
        SetPixelClipped(image, right - rx + dx, bottom - ry + dy, rgb);
    };
    for (int dx = 0; dx <= rx; ++dx) {
        const double t = double(dx) / rx;
        plot(dx, int(std::lround(ry * std::sqrt(qMax(0.0, 1.0 - t * t)))));
    }
    for (int dy = 0; dy <= ry; ++dy) {
        const double t = double(dy) / ry;
        plot(int(std::lround(rx * std::sqrt(qMax(0.0, 1.0 - t * t)))), dy);
    }
}

QChar AcceleratorChar(const QString &caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1];
        ++i; // "&&" is a literal "&"
    }
    return QChar();
}

bool IsAccel(QChar ch, const QString &caption)
{
    const QChar accel = AcceleratorChar(caption);
    return !accel.isNull() && accel.toUpper() == ch.toUpper();
}

QString StripAccelerators(const QString &caption)
{
    QString out;
    out.reserve(caption.size());
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 < caption.size())
                out += caption[++i];
            continue;
        }
        out += caption[i];
    }
    return out;
}
