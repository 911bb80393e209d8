#include "Types.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

QColor SystemColor(int index)
{
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 5: // window background
        return palette.color(QPalette::Base);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 17: // grey (disabled) text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    default:
        return palette.color(QPalette::Window);
    }
}

} // namespace

QColor ColorToQColor(TColor color)
{
    if ((color & 0xFF000000u) == clSystemColor)
        return SystemColor(int(color & 0xFF));
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor QColorToColor(const QColor &color)
{
    return RGB(color.red(), color.green(), color.blue());
}
