#include "Bitmap.h"

#include <QPainter>

TColor TBitmap::Pixel(int x, int y) const
{
    return QColorToColor(QColor::fromRgb(FImage.pixel(x, y)));
}

void TBitmap::Draw(QImage &target, int x, int y) const
{
    if (Empty())
        return;
    if (!Transparent) {
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(x, y, FImage);
        return;
    }
    const QRgb key = ColorToQColor(TransparentColor).rgb() & 0xFFFFFF;
    const QRect area = QRect(x, y, Width(), Height()).intersected(target.rect());
    for (int ty = area.top(); ty <= area.bottom(); ++ty) {
        for (int tx = area.left(); tx <= area.right(); ++tx) {
            const QRgb p = FImage.pixel(tx - x, ty - y);
            if ((p & 0xFFFFFF) != key)
                target.setPixel(tx, ty, p | 0xFF000000u);
        }
    }
}
