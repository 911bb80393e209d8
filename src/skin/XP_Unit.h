#pragma once

#include "framework/Bitmap.h"
#include "framework/Types.h"

#include <QCursor>
#include <QImage>
#include <QString>
#include <QStringList>

// Drawing routines shared by the skinned controls, and the skin unit's
// start-up step. The routines are stateless; every call builds and frees its
// own temporary images.

// The application cursor number under which the hand cursor is registered.
constexpr int crXPHand = 246;

// True exactly when Left <= x <= Right and Top <= y <= Bottom: unlike the
// rest of the system, all four edges count as inside.
bool PointInRect(const TRect &rect, int x, int y);

// Paints every pixel of the glyph that differs from its key colour (the pixel
// at column 0 of its last row; red, green and blue compared exactly) in one
// colour onto the target, with the glyph's top-left pixel at (x, y). A system
// colour is resolved first. Key-coloured pixels leave the target untouched.
void DrawMaskedGlyph(const TBitmap &glyph, QImage &target, int x, int y, TColor color);

// Makes dest a copy of frame `index` (1 = leftmost or topmost) of a strip of
// `count` equal frames, side by side when horizontal, else stacked. The frame
// size is the strip size divided by count, truncated; left-over columns or
// rows belong to no frame. dest keeps its transparency settings; only its
// size and pixels change. A count below 1 leaves dest empty.
void CutSprite(const TBitmap &source, TBitmap &dest, int count, int index, bool horizontal);

// Paints the skin into the target rectangle: its first W div 2 columns at the
// left, its last ones at the right and column W div 2 repeated in between;
// likewise for the rows. The result is composed off-screen and put on the
// target in one opaque block copy at (Left, Top).
void StretchSkin(const TBitmap &skin, QImage &target, const TRect &rect);

// Loads the skin bitmap resource of that name (letter case ignored; the
// resources are the files under :/skin/, named after the resource). Throws
// ELumoraError "Resource <name> not found" when there is none.
TBitmap LoadSkinBitmap(const QString &name);
// True when a skin resource of that name exists (letter case ignored).
bool SkinResourceExists(const QString &name);

// The hand cursor "XPHANDCUR": a 32 x 32 monochrome pointing hand with its
// hot spot at (7, 1). False when the resource is missing.
bool LoadHandCursor(QCursor &cursor);

// The title and text of the notice shown by the start-up switch.
QString CopyrightNoticeTitle();
QString CopyrightNoticeText();

// The skin unit's start-up step, run once before the program's windows are
// created; arguments as QCoreApplication::arguments() gives them (program
// first). Registers the hand cursor as application cursor crXPHand (nothing
// when the resource is missing); when the first argument, in upper case, is
// "/MOSSGLADE", shows the notice in an information box and asks the
// application to terminate (the rest of the start-up still runs).
void XPUnitInitialization(const QStringList &arguments);
