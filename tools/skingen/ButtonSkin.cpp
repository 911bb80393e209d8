// XPBUTTON: five 18 x 21 frames side by side (normal, pressed, disabled,
// hover, focused), 24 bits per pixel, rounded corners on the dialog colour.
#include "Families.h"
#include "SkinDraw.h"

#include <QDir>

#include <cmath>
#include <functional>

namespace {

constexpr int kW = 18;
constexpr int kH = 21;
const QColor kCorner(236, 233, 216);
const QColor kOutline(0, 60, 116);

using Shade = std::function<QColor(int y)>;

// Position of row y between the first and the last row inside the outline.
double RowT(int y)
{
    return double(y - 1) / double(kH - 3);
}

// One button frame: face shaded by row, optional 2-pixel rim shaded by row,
// 1-pixel outline with rounded corners on the dialog colour.
QImage Frame(const Shade &face, const QColor &outline, const Shade &rim)
{
    QImage img = NewImage(kW, kH, kCorner);
    for (int y = 1; y < kH - 1; ++y) {
        for (int x = 1; x < kW - 1; ++x)
            Plot(img, x, y, face(y));
    }
    if (rim) {
        for (int y = 1; y < kH - 1; ++y) {
            const bool band = y <= 2 || y >= kH - 3;
            for (int x = 1; x < kW - 1; ++x) {
                if (band || x <= 2 || x >= kW - 3)
                    Plot(img, x, y, rim(y));
            }
        }
        // Soften the rim's inner corners into the face.
        for (auto [x, y] : {std::pair{3, 3}, {kW - 4, 3}, {3, kH - 4}, {kW - 4, kH - 4}})
            Plot(img, x, y, Mix(rim(y), face(y), 0.5));
    }
    for (int x = 2; x < kW - 2; ++x) {
        Plot(img, x, 0, outline);
        Plot(img, x, kH - 1, outline);
    }
    for (int y = 2; y < kH - 2; ++y) {
        Plot(img, 0, y, outline);
        Plot(img, kW - 1, y, outline);
    }
    // Rounded corners: the corner pixel stays the dialog colour, its two
    // neighbours blend outline into it, the pixel inside closes the curve.
    const int xs[2] = {0, kW - 1};
    const int ys[2] = {0, kH - 1};
    for (int cx : xs) {
        for (int cy : ys) {
            const int dx = cx == 0 ? 1 : -1;
            const int dy = cy == 0 ? 1 : -1;
            Plot(img, cx, cy, kCorner);
            Plot(img, cx + dx, cy, Mix(outline, kCorner, 0.45));
            Plot(img, cx, cy + dy, Mix(outline, kCorner, 0.45));
            Plot(img, cx + dx, cy + dy, Mix(outline, face(cy + dy), 0.25));
        }
    }
    return img;
}

QImage Strip()
{
    const Shade normal = [](int y) {
        const double t = RowT(y);
        return Mix(Qt::white, QColor(214, 208, 197), t * t);
    };
    const Shade pressed = [](int y) { return Mix(QColor(208, 203, 191), QColor(226, 226, 218), RowT(y)); };
    const Shade disabled = [](int) { return QColor(245, 244, 234); };
    const Shade flat = [](int) { return QColor(243, 243, 239); };
    const Shade orange = [](int y) { return Mix(QColor(253, 216, 137), QColor(229, 151, 0), RowT(y)); };
    const Shade blue = [](int y) { return Mix(QColor(206, 231, 255), QColor(105, 130, 238), RowT(y)); };

    return JoinHorizontally({
        Frame(normal, kOutline, nullptr),
        Frame(pressed, kOutline, nullptr),
        Frame(disabled, QColor(201, 199, 186), nullptr),
        Frame(flat, kOutline, orange),
        Frame(flat, kOutline, blue),
    });
}

} // namespace

void WriteButtonSkin(const QString &folder)
{
    SaveBmp24(Strip(), QDir(folder).filePath(QStringLiteral("XPBUTTON.bmp")));
}
