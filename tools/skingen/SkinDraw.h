#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// Small drawing helpers for the skin generator.

// An opaque 32-bit image filled with one colour.
QImage NewImage(int w, int h, QColor fill);

// The colour at t (0..1) between a and b, rounded per channel.
QColor Mix(QColor a, QColor b, double t);

// Sets a pixel when it lies inside the image.
void Plot(QImage &image, int x, int y, QColor color);

// Paints pixel art: each character of each row is looked up in the palette
// string pairs ("X" -> colour); unknown characters leave the pixel alone.
struct ArtColor {
    char key;
    QColor color;
};
void PaintArt(QImage &image, int x, int y, const char *const *rows, int rowCount,
              std::initializer_list<ArtColor> colors);

// Frames of equal height joined side by side into one strip.
QImage JoinHorizontally(std::initializer_list<QImage> frames);

// Writes a 24-bit BMP; throws nothing, exits the program on failure.
void SaveBmp24(const QImage &image, const QString &path);
// Writes an 8-bit palette BMP holding exactly the image's colours (at most
// 256); exits the program when there are more or the file cannot be written.
void SaveBmp8(const QImage &image, const QString &path);
// Writes a 1-bit BMP (black and white).
void SaveBmp1(const QImage &image, const QString &path);
