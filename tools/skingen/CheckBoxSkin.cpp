// XPCHECKBOX: six 13 x 13 frames side by side (unchecked, checked,
// unchecked disabled, checked disabled, unchecked hot, checked hot), 8 bits
// per pixel with a palette, square corners.
#include "Families.h"
#include "SkinDraw.h"

#include <QDir>

namespace {

constexpr int kS = 13;
const QColor kOutline(0, 59, 116);

// The tick, 7 x 7, placed at (3, 3).
const char *const kTick[] = {
    "......X", //
    ".....XX", //
    "X...XXX", //
    "XX.XXX.", //
    "XXXXX..", //
    ".XXX...", //
    "..X....", //
};

// Position along the diagonal from the top-left to the bottom-right pixel
// inside the outline.
double DiagonalT(int x, int y)
{
    return double((x - 1) + (y - 1)) / double(2 * (kS - 3));
}

QImage Box(bool disabled, bool hot, bool checked)
{
    QImage img = NewImage(kS, kS, kOutline);
    for (int y = 1; y < kS - 1; ++y) {
        for (int x = 1; x < kS - 1; ++x) {
            const QColor face =
                disabled ? QColor(245, 244, 234) : Mix(QColor(221, 221, 215), Qt::white, DiagonalT(x, y));
            Plot(img, x, y, face);
        }
    }
    if (disabled) {
        for (int i = 0; i < kS; ++i) {
            for (auto [x, y] : {std::pair{i, 0}, {i, kS - 1}, {0, i}, {kS - 1, i}})
                Plot(img, x, y, QColor(201, 199, 186));
        }
    }
    if (hot) {
        for (int y = 1; y < kS - 1; ++y) {
            for (int x = 1; x < kS - 1; ++x) {
                if (x <= 2 || y <= 2 || x >= kS - 3 || y >= kS - 3)
                    Plot(img, x, y, Mix(QColor(237, 187, 133), QColor(255, 204, 153), DiagonalT(x, y)));
            }
        }
    }
    if (checked) {
        const QColor tick = disabled ? QColor(192, 191, 181) : QColor(7, 157, 5);
        PaintArt(img, 3, 3, kTick, 7, {{'X', tick}});
    }
    return img;
}

} // namespace

void WriteCheckBoxSkin(const QString &folder)
{
    const QImage strip = JoinHorizontally({
        Box(false, false, false),
        Box(false, false, true),
        Box(true, false, false),
        Box(true, false, true),
        Box(false, true, false),
        Box(false, true, true),
    });
    SaveBmp8(strip, QDir(folder).filePath(QStringLiteral("XPCHECKBOX.bmp")));
}
