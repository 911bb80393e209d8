#pragma once

#include "framework/Types.h"

#include <QImage>

// A bitmap as the controls use it: pixels plus the transparency attributes
// that a draw honours. Assigning new pixels (SetImage, Assign) keeps the
// transparency attributes, as a bitmap object keeps its settings when its
// size and pixels change.
class TBitmap {
public:
    TBitmap() = default;
    explicit TBitmap(QImage image) : FImage(std::move(image)) {}

    int Width() const { return FImage.width(); }
    int Height() const { return FImage.height(); }
    bool Empty() const { return FImage.isNull() || FImage.width() < 1 || FImage.height() < 1; }

    const QImage &Image() const { return FImage; }
    QImage &Image() { return FImage; }
    void SetImage(QImage image) { FImage = std::move(image); }
    // Copies the pixels of another bitmap (not its transparency settings).
    void Assign(const TBitmap &other) { FImage = other.FImage; }
    void Clear() { FImage = QImage(); }

    // When Transparent is set, pixels equal to TransparentColor (red, green
    // and blue compared exactly) are left out when the bitmap is drawn.
    bool Transparent = false;
    TColor TransparentColor = clBlack;

    // The colour value of the pixel at (x, y).
    TColor Pixel(int x, int y) const;

    // Draws the bitmap with its top-left pixel at (x, y) on the target, 1:1,
    // clipped to the target; honours Transparent.
    void Draw(QImage &target, int x, int y) const;

private:
    QImage FImage;
};
