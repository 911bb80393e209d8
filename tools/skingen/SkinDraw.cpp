#include "SkinDraw.h"

#include <QHash>
#include <QList>

#include <cmath>
#include <cstdio>
#include <cstdlib>

QImage NewImage(int w, int h, QColor fill)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

QColor Mix(QColor a, QColor b, double t)
{
    auto channel = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

void Plot(QImage &image, int x, int y, QColor color)
{
    if (x >= 0 && y >= 0 && x < image.width() && y < image.height())
        image.setPixel(x, y, color.rgb());
}

void PaintArt(QImage &image, int x, int y, const char *const *rows, int rowCount,
              std::initializer_list<ArtColor> colors)
{
    for (int r = 0; r < rowCount; ++r) {
        for (int c = 0; rows[r][c] != '\0'; ++c) {
            for (const ArtColor &ac : colors) {
                if (ac.key == rows[r][c])
                    Plot(image, x + c, y + r, ac.color);
            }
        }
    }
}

QImage JoinHorizontally(std::initializer_list<QImage> frames)
{
    int w = 0;
    int h = 0;
    for (const QImage &f : frames) {
        w += f.width();
        h = qMax(h, f.height());
    }
    QImage strip = NewImage(w, h, Qt::black);
    int x0 = 0;
    for (const QImage &f : frames) {
        for (int y = 0; y < f.height(); ++y) {
            for (int x = 0; x < f.width(); ++x)
                strip.setPixel(x0 + x, y, f.pixel(x, y));
        }
        x0 += f.width();
    }
    return strip;
}

namespace {

[[noreturn]] void Fail(const QString &path, const char *why)
{
    std::fprintf(stderr, "skingen: %s: %s\n", qPrintable(path), why);
    std::exit(1);
}

} // namespace

void SaveBmp24(const QImage &image, const QString &path)
{
    if (!image.convertToFormat(QImage::Format_RGB888).save(path, "BMP"))
        Fail(path, "cannot write");
}

void SaveBmp8(const QImage &image, const QString &path)
{
    QList<QRgb> table;
    QHash<QRgb, int> index;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) | 0xFF000000u;
            if (!index.contains(p)) {
                index.insert(p, int(table.size()));
                table.append(p);
            }
        }
    }
    if (table.size() > 256)
        Fail(path, "more than 256 colours");
    // The BMP writer stores a table of 16 colours or fewer as a 4-bit file;
    // one unused entry keeps it an 8-bit one.
    while (table.size() <= 16)
        table.append(qRgb(0, 0, 0));
    QImage indexed(image.size(), QImage::Format_Indexed8);
    indexed.setColorTable(table);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            indexed.setPixel(x, y, uint(index.value(image.pixel(x, y) | 0xFF000000u)));
    }
    if (!indexed.save(path, "BMP"))
        Fail(path, "cannot write");
}

void SaveBmp1(const QImage &image, const QString &path)
{
    QImage mono = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    if (!mono.save(path, "BMP"))
        Fail(path, "cannot write");
}
