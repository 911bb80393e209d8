#pragma once

#include "framework/Types.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

// Drawing routines on an off-screen image, the counterparts of the platform's
// canvas operations the controls compose their looks with. Every routine
// clips to the image.

// A fresh off-screen image of w x h pixels (opaque 32-bit, filled white).
QImage NewSurface(int w, int h);

// Fills the half-open rectangle with one colour.
void FillRect(QImage &image, const TRect &rect, TColor color);

// Width and height of a single line of text in the font, measured on the text
// as given ("&" counts as a character). The height is the font's line height,
// also for empty text.
QSize TextExtent(const QFont &font, const QString &text);

// Text placement flags of DrawTextLine (combine with |).
enum TTextFlag {
    tfLeft = 0,
    tfCenter = 1,  // centred horizontally
    tfVCenter = 2, // centred vertically
};

// Draws one line of text into the rectangle, clipped to it, transparently
// (only the glyphs are painted). The character after a single "&" is
// underlined as the accelerator and "&&" shows one "&".
void DrawTextLine(QImage &image, const QFont &font, TColor color, const TRect &rect, const QString &text,
                  int flags);

// A dotted rectangle drawn by inverting every other pixel of the outline of
// the half-open rectangle, starting with its top-left pixel. Drawing it twice
// restores the image.
void DrawFocusRect(QImage &image, const TRect &rect);

// The outline of a rectangle with rounded corners, one pixel wide, inside the
// half-open rectangle (its right edge is column Right - 1, its bottom edge row
// Bottom - 1); the corners follow ellipses of ellipseW x ellipseH pixels. The
// inside is left untouched.
void RoundRectOutline(QImage &image, const TRect &rect, int ellipseW, int ellipseH, TColor pen);

// The accelerator character of a caption: the character after the first
// single "&" ("&&" is a literal "&"); a null QChar when there is none.
QChar AcceleratorChar(const QString &caption);

// True when ch is the accelerator character of the caption, letter case
// ignored.
bool IsAccel(QChar ch, const QString &caption);

// The caption with its accelerator marks taken out ("&&" becomes "&").
QString StripAccelerators(const QString &caption);
