// XPRADIOBOX: six 13 x 13 round marks side by side in the check box's frame
// order, a dot instead of a tick, on magenta (the transparent colour).
#include "Families.h"
#include "SkinDraw.h"

#include <QDir>

#include <cmath>

namespace {

constexpr int kS = 13;
const QColor kMagenta(255, 0, 255);

QImage Mark(bool disabled, bool hot, bool checked)
{
    QImage img = NewImage(kS, kS, kMagenta);
    const double c = (kS - 1) / 2.0;
    const QColor outline = disabled ? QColor(201, 199, 186) : QColor(0, 59, 116);
    for (int y = 0; y < kS; ++y) {
        for (int x = 0; x < kS; ++x) {
            const double d = std::hypot(x - c, y - c);
            const double t = double(x + y) / double(2 * (kS - 1));
            if (d <= 4.3 && hot && !disabled && d > 2.9)
                Plot(img, x, y, Mix(QColor(237, 187, 133), QColor(255, 204, 153), t));
            else if (d <= 5.2)
                Plot(img, x, y, disabled ? QColor(245, 244, 234) : Mix(QColor(221, 221, 215), Qt::white, t));
            else if (d <= 6.3)
                Plot(img, x, y, outline);
            if (checked && d <= 2.3) {
                const QColor dot =
                    disabled ? QColor(192, 191, 181) : Mix(QColor(33, 161, 33), QColor(7, 120, 5), t);
                Plot(img, x, y, dot);
            }
        }
    }
    return img;
}

} // namespace

void WriteRadioBoxSkin(const QString &folder)
{
    const QImage strip = JoinHorizontally({
        Mark(false, false, false),
        Mark(false, false, true),
        Mark(true, false, false),
        Mark(true, false, true),
        Mark(false, true, false),
        Mark(false, true, true),
    });
    SaveBmp8(strip, QDir(folder).filePath(QStringLiteral("XPRADIOBOX.bmp")));
}
