#pragma once

#include <QFont>

// The window layouts name two faces: "MS Sans Serif" for the Latin texts and
// "宋体" for the GB2312 ones, each "13 pixels high", the height of the
// character cell. Neither exists here; these stand in for them:
//
// - "MS Sans Serif": Liberation Sans (Debian's fonts-liberation2), which has
//   the advance widths of Arial and so of Microsoft Sans Serif, the outline
//   twin of the bitmap face. Its 13-pixel cell holds an 11-pixel em, as
//   MS Sans Serif 8 pt does; label widths then match the ones the layouts
//   were drawn for.
// - "宋体": AR PL UMing (fonts-arphic-uming), a Ming face like SimSun, whose
//   cell is its em. It is drawn without antialiasing: at these sizes it then
//   uses its embedded bitmaps, black one-pixel strokes as SimSun shows them,
//   where antialiased outlines come out grey and read as disabled.
//   WenQuanYi Micro Hei (fonts-wqy-microhei) stands in when UMing is missing.
//
// Installs the substitutions. Must run before the first font is resolved,
// i.e. before any widget exists.
void InstallFontSubstitutions();

// Makes "MS Sans Serif" of a 13-pixel cell the font of every control that is
// given none of its own, as the class library's default font is. Needs the
// application object; call it before the first window is built (a line edit
// lays out its text the moment it is made, and would otherwise load the
// desktop's face only to drop it for its own).
void InstallDefaultFont();

// "MS Sans Serif" with a character cell cellPixels high.
QFont LatinFont(int cellPixels = 13, bool bold = false);
// "宋体" with a character cell cellPixels high, drawn as its bitmaps.
QFont ChineseFont(int cellPixels = 13);
