#pragma once

// Helpers of the skin tests: what a control shows on the screen, and which
// skin frame a rendered control shows.

#include "support/QtPrinters.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace lumora::test {

// The pixels the control shows on the screen right now (from the window
// system's copy of its window, not a fresh paint).
inline QImage OnScreen(QWidget *control)
{
    QWidget *window = control->window();
    const QPoint at = control->mapTo(window, QPoint(0, 0));
    const QPixmap shot =
        window->screen()->grabWindow(window->winId(), at.x(), at.y(), control->width(), control->height());
    return shot.toImage().convertToFormat(QImage::Format_RGB32);
}

// The face of the program's controls, drawn without antialiasing so that
// the pixels of a text are exactly its colour.
inline QFont SansSerif()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The windows' background colour, RGB(248, 246, 230).
inline const QRgb kCream = qRgb(248, 246, 230);

inline QRgb Rgb(int r, int g, int b)
{
    return qRgb(r, g, b);
}

inline QRgb At(const QImage &image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

// The push-button skin frame (1 normal, 2 pressed, 3 disabled, 4 hover,
// 5 focused) a rendered button shows, told by its second row at the centre
// column; 0 when it is none of them.
inline int ButtonLook(const QImage &image)
{
    const QRgb p = At(image, image.width() / 2, 1);
    if (p == Rgb(255, 255, 255))
        return 1;
    if (p == Rgb(208, 203, 191))
        return 2;
    if (p == Rgb(245, 244, 234))
        return 3;
    if (p == Rgb(253, 216, 137))
        return 4;
    if (p == Rgb(206, 231, 255))
        return 5;
    return 0;
}

// The check-box skin frame (1 to 6) a rendered check box shows with its mark
// at (0, top); 0 when it is none of them.
inline int CheckLook(const QImage &image, int top)
{
    const bool greyOutline = At(image, 0, top) == Rgb(201, 199, 186);
    const bool hot = At(image, 1, top + 1) == Rgb(237, 187, 133);
    const QRgb tick = At(image, 3, top + 5);
    const bool green = tick == Rgb(7, 157, 5);
    const bool grey = tick == Rgb(192, 191, 181);
    if (greyOutline)
        return grey ? 4 : 3;
    if (At(image, 0, top) != Rgb(0, 59, 116))
        return 0;
    if (hot)
        return green ? 6 : 5;
    return green ? 2 : 1;
}

// The smallest rectangle holding every pixel of the image that equals rgb
// (empty when there is none).
inline QRect PixelsOf(const QImage &image, QRgb rgb, const QRect &within = QRect())
{
    const QRect area = within.isNull() ? image.rect() : within.intersected(image.rect());
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (At(image, x, y) == rgb)
                found = found.united(QRect(x, y, 1, 1));
        }
    }
    return found;
}

} // namespace lumora::test
