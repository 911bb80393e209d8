#include "SkinDraw.h"

#include <QDataStream>
#include <QFile>
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
    // Written here rather than by Qt's writer, whose row padding is left
    // uninitialised: the committed files must come out the same on every run.
    const int w = image.width();
    const int h = image.height();
    const int stride = (w + 3) / 4 * 4;
    const int offset = 14 + 40 + 4 * int(table.size());
    QByteArray bmp;
    QDataStream out(&bmp, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint8('B') << quint8('M') << quint32(offset + stride * h) << quint32(0) << quint32(offset);
    out << quint32(40) << qint32(w) << qint32(h) << quint16(1) << quint16(8) << quint32(0)
        << quint32(stride * h) << qint32(3780) << qint32(3780) << quint32(table.size())
        << quint32(table.size());
    for (QRgb c : table)
        out << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < stride; ++x)
            out << quint8(x < w ? index.value(image.pixel(x, y) | 0xFF000000u) : 0);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bmp) != bmp.size())
        Fail(path, "cannot write");
}

void SaveBmp1(const QImage &image, const QString &path)
{
    QImage mono = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    if (!mono.save(path, "BMP"))
        Fail(path, "cannot write");
}
