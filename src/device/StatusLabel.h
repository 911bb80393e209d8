#pragma once

#include <QString>

#include <cstdint>

// Where the device link reports the outcome of each operation: one line of
// text in a colour. The main window's status label implements it. Colours
// are 0x00BBGGRR values (red in the lowest byte).
class TStatusLabel {
public:
    virtual ~TStatusLabel() = default;
    virtual void SetFontColor(uint32_t Color) = 0;
    virtual void SetCaption(const QString &Text) = 0;
};

inline constexpr uint32_t StatusErrorColor = 0x0000FF; // RGB(255, 0, 0)
inline constexpr uint32_t StatusInfoColor = 0x008000;  // RGB(0, 128, 0)
