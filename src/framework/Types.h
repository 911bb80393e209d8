#pragma once

#include <QColor>
#include <QRect>

#include <cstdint>
#include <functional>

class QObject;

// A rectangle as the windowing layer keeps it: Left, Top, Right, Bottom in
// signed 32-bit pixels. Right and Bottom lie just outside the rectangle
// (half-open), except where a routine says otherwise.
struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    std::int32_t Width() const { return Right - Left; }
    std::int32_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    // The same area as a QRect (Qt's rectangles keep the size, not the edge).
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect FromQRect(const QRect &r)
    {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    friend bool operator==(const TRect &, const TRect &) = default;
};

inline TRect Rect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    return {left, top, right, bottom};
}

// A colour value: red in the lowest byte, then green, then blue. A value with
// 0x80 in the top byte names a system colour by its index in the low byte.
using TColor = std::uint32_t;

constexpr TColor RGB(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}

// System colour indices used by the program (0x80000000 | index).
constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clGray = RGB(128, 128, 128);

// Resolves a colour value to a plain QColor; system colours come from the
// application palette, i.e. the current system colours of this platform.
QColor ColorToQColor(TColor color);
// The plain colour value of a QColor (its alpha is dropped).
TColor QColorToColor(const QColor &color);

// The notification type of the controls: called with the control as sender.
using TNotifyEvent = std::function<void(QObject *Sender)>;

// Modal results: what a modal form's ShowModal returns.
using TModalResult = std::int32_t;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
