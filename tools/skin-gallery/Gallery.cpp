#include "Gallery.h"
#include "framework/Bitmap.h"

#include <QDir>
#include <QFont>
#include <QPainter>

#include <cstdio>

namespace {

constexpr int kScale = 4;

QImage Enlarged(const QImage &image)
{
    return image.scaled(image.size() * kScale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace

QFont ControlFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    return font;
}

void SaveSheet(const QString &folder, const QString &sheet, const QList<GalleryTile> &tiles)
{
    const QDir dir(folder);
    constexpr int kLabel = 18;
    constexpr int kGap = 12;
    int width = 0;
    int height = kGap;
    for (const GalleryTile &tile : tiles) {
        const QImage big = Enlarged(tile.Image);
        big.save(dir.filePath(QStringLiteral("%1-%2.png").arg(sheet, tile.Name)));
        width = qMax(width, big.width());
        height += kLabel + big.height() + kGap;
    }
    QImage page(width + 2 * kGap, height, QImage::Format_RGB32);
    page.fill(QColor(200, 200, 200));
    QPainter painter(&page);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    int y = kGap;
    for (const GalleryTile &tile : tiles) {
        painter.drawText(kGap, y + 13, tile.Name);
        y += kLabel;
        const QImage big = Enlarged(tile.Image);
        painter.drawImage(kGap, y, big);
        y += big.height() + kGap;
    }
    painter.end();
    page.save(dir.filePath(sheet + QStringLiteral(".png")));
    std::printf("%s\n", qPrintable(dir.filePath(sheet + QStringLiteral(".png"))));
}

TBitmap SamplePicture()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter painter(&image);
    painter.fillRect(2, 3, 12, 9, QColor(0, 60, 116));
    painter.fillRect(3, 4, 10, 7, QColor(105, 130, 238));
    painter.fillRect(6, 12, 4, 2, QColor(0, 60, 116));
    painter.fillRect(11, 9, 2, 2, QColor(7, 157, 5));
    return TBitmap(image);
}
