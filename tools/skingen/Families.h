#pragma once

#include <QString>

// One function per family of skin bitmaps; each writes its files into the
// given folder (named after the resource, e.g. XPBUTTON.bmp). main() calls
// them from its list.
void WriteButtonSkin(const QString &folder);
void WriteCheckBoxSkin(const QString &folder);
void WriteRadioBoxSkin(const QString &folder);
void WriteHandCursor(const QString &folder);
void WriteFormSkins(const QString &folder);
