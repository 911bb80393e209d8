#include "Fonts.h"

#include <QApplication>

void InstallDefaultFont()
{
    QApplication::setFont(LatinFont());
}

QFont LatinFont(int cellPixels, bool bold)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    // MS Sans Serif's em is 11/13 of its cell.
    font.setPixelSize((cellPixels * 11 + 6) / 13);
    font.setBold(bold);
    // Set, not inherited from a window in "宋体": Latin text antialiased.
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

QFont ChineseFont(int cellPixels)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(cellPixels);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}
