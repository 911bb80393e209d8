// The window frame's skins: caption bar, side and bottom borders (active
// frame first, inactive second) and the five caption buttons (normal,
// pressed, hover), drawn in the blue of a classic XP-style caption.

#include "Families.h"
#include "SkinDraw.h"

#include <QColor>
#include <QDir>

#include <algorithm>
#include <vector>

namespace {

const QRgb Magenta = qRgb(255, 0, 255);

struct Stop {
    double at;
    QColor colour;
};

// Linear interpolation through a list of stops sorted by position.
QColor Ramp(const std::vector<Stop> &stops, double t)
{
    const Stop *prev = &stops.front();
    for (const Stop &s : stops) {
        if (t <= s.at) {
            if (&s == prev || t == s.at)
                return s.colour;
            const double f = (t - prev->at) / (s.at - prev->at);
            return QColor::fromRgbF(prev->colour.redF() + (s.colour.redF() - prev->colour.redF()) * f,
                                    prev->colour.greenF() + (s.colour.greenF() - prev->colour.greenF()) * f,
                                    prev->colour.blueF() + (s.colour.blueF() - prev->colour.blueF()) * f);
        }
        prev = &s;
    }
    return prev->colour;
}

// Frame colours of one activation state. The caption rows are fixed at the
// middle of the bar; the borders continue the bar's lower colours.
struct Palette {
    QColor outline;           // the dark line around the whole window
    QColor highlight;         // the light line under the top outline
    QColor rimLight, rimDark; // the inner bevel of the side borders
    std::vector<Stop> caption;
};

const Palette ActivePalette{QColor(0, 40, 168),
                            QColor(63, 151, 255),
                            QColor(0, 88, 238),
                            QColor(0, 62, 200),
                            {{1, QColor(63, 151, 255)},
                             {2, QColor(39, 128, 255)},
                             {4, QColor(8, 100, 246)},
                             {6, QColor(0, 84, 227)},
                             {10, QColor(0, 86, 232)},
                             {17, QColor(0, 88, 236)},
                             {23, QColor(0, 80, 226)},
                             {26, QColor(0, 72, 214)},
                             {28, QColor(0, 67, 207)}}};

const Palette InactivePalette{QColor(72, 90, 150),
                              QColor(112, 138, 192),
                              QColor(104, 128, 196),
                              QColor(76, 100, 172),
                              {{1, QColor(112, 138, 192)},
                               {2, QColor(106, 132, 194)},
                               {4, QColor(99, 125, 193)},
                               {6, QColor(95, 121, 192)},
                               {17, QColor(96, 122, 195)},
                               {23, QColor(90, 115, 189)},
                               {28, QColor(82, 107, 183)}}};

const int CaptionRows = 29;

// The caption colour of a row (1 .. 28); row 0 is the outline.
QColor CaptionRow(const Palette &p, int row)
{
    return row == 0 ? p.outline : Ramp(p.caption, row);
}

// A caption pixel at a horizontal distance `fromEnd` from the window's left
// or right edge: the far ends of the bar are slightly lighter, which gives
// the bar its rounded, glassy look once the window's corners are cut.
QColor CaptionPixel(const Palette &p, int row, int fromEnd)
{
    const QColor base = CaptionRow(p, row);
    if (row == 0 || fromEnd >= 6)
        return base;
    const double lift = 0.12 * (6 - fromEnd) / 6.0;
    return Mix(base, QColor(255, 255, 255), lift * (row < 8 ? 1.0 : 0.5));
}

void Caption(QImage &img, int frameTop, const Palette &p)
{
    for (int y = 0; y < CaptionRows; ++y)
        for (int x = 0; x < img.width(); ++x) {
            // The bar starts 3 pixels in from the window's edge (after the
            // side border) and ends 3 pixels before the other edge.
            const int fromEnd = std::min(x + 3, img.width() - 1 - x + 3);
            img.setPixel(x, frameTop + y, CaptionPixel(p, y, fromEnd).rgb());
        }
}

// One column of a side border, `depth` 0 at the window's outer edge and 2
// next to the client area. Rows 0 .. 28 continue the caption bar, the rows
// below are the border proper; the last three rows turn the corner into the
// bottom border.
QColor SideBorder(const Palette &p, int depth, int row, int rows)
{
    const QColor border[3] = {p.outline, p.rimLight, p.rimDark};
    if (row >= rows - 3) {
        const int fromBottom = rows - 1 - row; // 0 at the outer edge
        return border[std::min(depth, fromBottom)];
    }
    if (row >= CaptionRows)
        return border[depth];
    // The top-left corner is cut round by the window's outline; draw the
    // outline along that curve so the corner keeps its dark edge.
    static const int outlineDepth[5] = {-1, 2, 1, 1, 0};
    const int edge = row < 5 ? outlineDepth[row] : 0;
    if (row == 0 || depth <= edge)
        return p.outline;
    if (depth == 1 && row >= 4)
        return Mix(CaptionPixel(p, row, depth), QColor(255, 255, 255), 0.18);
    return CaptionPixel(p, row, depth);
}

QImage Border(bool left)
{
    QImage img(6, 63, QImage::Format_RGB32);
    const Palette *palettes[2] = {&ActivePalette, &InactivePalette};
    for (int f = 0; f < 2; ++f)
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < 3; ++x) {
                const int depth = left ? x : 2 - x;
                img.setPixel(f * 3 + x, y, SideBorder(*palettes[f], depth, y, img.height()).rgb());
            }
    return img;
}

QImage Bottom()
{
    QImage img(43, 6, QImage::Format_RGB32);
    const Palette *palettes[2] = {&ActivePalette, &InactivePalette};
    for (int f = 0; f < 2; ++f) {
        const QColor rows[3] = {palettes[f]->rimDark, palettes[f]->rimLight, palettes[f]->outline};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, f * 3 + y, rows[y].rgb());
    }
    return img;
}

// --- caption buttons -----------------------------------------------------

enum class Look { Normal, Pressed, Hover };

const int BtnW = 15;
const int BtnH = 16;

struct ButtonFace {
    QColor top, bottom; // face gradient
    QColor rim;         // the 1-pixel outline
    QColor glyph;
};

ButtonFace CloseFace(Look look)
{
    switch (look) {
    case Look::Pressed:
        return {QColor(176, 46, 20), QColor(214, 92, 62), QColor(255, 236, 228), QColor(236, 226, 222)};
    case Look::Hover:
        return {QColor(250, 152, 122), QColor(226, 80, 44), QColor(255, 255, 255), QColor(255, 255, 255)};
    case Look::Normal:
        break;
    }
    return {QColor(238, 126, 96), QColor(200, 56, 24), QColor(255, 255, 255), QColor(255, 255, 255)};
}

ButtonFace GreyFace(Look look)
{
    switch (look) {
    case Look::Pressed:
        return {QColor(196, 198, 204), QColor(230, 231, 234), QColor(236, 240, 250), QColor(20, 26, 40)};
    case Look::Hover:
        return {QColor(255, 255, 255), QColor(226, 230, 238), QColor(255, 255, 255), QColor(0, 30, 110)};
    case Look::Normal:
        break;
    }
    return {QColor(250, 250, 250), QColor(212, 214, 220), QColor(255, 255, 255), QColor(40, 46, 60)};
}

using Glyph = void (*)(QImage &, int ox, int oy, const QColor &);

void FillBox(QImage &img, int x0, int y0, int x1, int y1, const QColor &c)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            Plot(img, x, y, c);
}

void CrossGlyph(QImage &img, int ox, int oy, const QColor &c)
{
    // Two strokes two pixels wide from (4, 4) to (10, 10) and back.
    for (int i = 0; i < 7; ++i) {
        Plot(img, ox + 4 + i, oy + 4 + i, c);
        Plot(img, ox + 10 - i, oy + 4 + i, c);
        if (i < 6) {
            Plot(img, ox + 5 + i, oy + 4 + i, c);
            Plot(img, ox + 9 - i, oy + 4 + i, c);
        }
    }
}

void MinGlyph(QImage &img, int ox, int oy, const QColor &c)
{
    FillBox(img, ox + 4, oy + 9, ox + 9, oy + 10, c);
}

void MaxGlyph(QImage &img, int ox, int oy, const QColor &c)
{
    FillBox(img, ox + 3, oy + 3, ox + 11, oy + 4, c);
    FillBox(img, ox + 3, oy + 5, ox + 3, oy + 11, c);
    FillBox(img, ox + 11, oy + 5, ox + 11, oy + 11, c);
    FillBox(img, ox + 4, oy + 11, ox + 10, oy + 11, c);
}

void RestoreGlyph(QImage &img, int ox, int oy, const QColor &c)
{
    // The back window, only its parts not hidden by the front one.
    FillBox(img, ox + 6, oy + 3, ox + 11, oy + 4, c);
    FillBox(img, ox + 11, oy + 5, ox + 11, oy + 8, c);
    FillBox(img, ox + 10, oy + 8, ox + 10, oy + 8, c);
    FillBox(img, ox + 6, oy + 5, ox + 6, oy + 5, c);
    // The front window.
    FillBox(img, ox + 3, oy + 6, ox + 8, oy + 7, c);
    FillBox(img, ox + 3, oy + 8, ox + 3, oy + 11, c);
    FillBox(img, ox + 8, oy + 8, ox + 8, oy + 11, c);
    FillBox(img, ox + 4, oy + 11, ox + 7, oy + 11, c);
}

void HelpGlyph(QImage &img, int ox, int oy, const QColor &c)
{
    static const char *rows[] = {
        "..####..", //
        ".##..##.", //
        ".....##.", //
        "....##..", //
        "...##...", //
        "...##...", //
        "........", //
        "...##...", //
        "...##...", //
    };
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 8; ++x)
            if (rows[y][x] == '#')
                Plot(img, ox + 3 + x, oy + 3 + y, c);
}

void ButtonFrame(QImage &img, int ox, const ButtonFace &face, Look look, Glyph glyph)
{
    for (int y = 0; y < BtnH; ++y) {
        const QColor row = Mix(face.top, face.bottom, y / double(BtnH - 1));
        for (int x = 0; x < BtnW; ++x)
            img.setPixel(ox + x, y, row.rgb());
    }
    // A soft inner shine on the upper half (a shade inside when pressed).
    const QColor shine = look == Look::Pressed ? face.top.darker(108) : face.top.lighter(106);
    for (int x = 2; x < BtnW - 2; ++x)
        Plot(img, ox + x, 1, Mix(img.pixelColor(ox + x, 1), shine, 0.6));
    // The 1-pixel rim, with its corner pixels blended into the face.
    for (int x = 1; x < BtnW - 1; ++x) {
        Plot(img, ox + x, 0, face.rim);
        Plot(img, ox + x, BtnH - 1, face.rim);
    }
    for (int y = 1; y < BtnH - 1; ++y) {
        Plot(img, ox, y, face.rim);
        Plot(img, ox + BtnW - 1, y, face.rim);
    }
    for (const int x : {1, BtnW - 2})
        for (const int y : {1, BtnH - 2})
            Plot(img, ox + x, y, Mix(img.pixelColor(ox + x, y), face.rim, 0.5));
    const int shift = look == Look::Pressed ? 1 : 0;
    glyph(img, ox + shift, shift, face.glyph);
    // Three magenta pixels at every corner round the button off.
    const int corners[4][2] = {{0, 0}, {BtnW - 1, 0}, {0, BtnH - 1}, {BtnW - 1, BtnH - 1}};
    for (const auto &c : corners) {
        const int dx = c[0] == 0 ? 1 : -1;
        const int dy = c[1] == 0 ? 1 : -1;
        Plot(img, ox + c[0], c[1], QColor(Magenta));
        Plot(img, ox + c[0] + dx, c[1], QColor(Magenta));
        Plot(img, ox + c[0], c[1] + dy, QColor(Magenta));
    }
}

QImage ButtonStrip(ButtonFace (*face)(Look), Glyph glyph)
{
    QImage img(46, 16, QImage::Format_RGB32);
    img.fill(Magenta); // column 45 belongs to no frame
    const Look looks[3] = {Look::Normal, Look::Pressed, Look::Hover};
    for (int f = 0; f < 3; ++f)
        ButtonFrame(img, f * BtnW, face(looks[f]), looks[f], glyph);
    return img;
}

} // namespace

void WriteFormSkins(const QString &folder)
{
    const QDir dir(folder);
    QImage caption(60, 58, QImage::Format_RGB32);
    Caption(caption, 0, ActivePalette);
    Caption(caption, 29, InactivePalette);
    SaveBmp8(caption, dir.filePath("XPFORM_CAPTION.bmp"));
    SaveBmp8(Border(true), dir.filePath("XPFORM_LEFT.bmp"));
    SaveBmp8(Border(false), dir.filePath("XPFORM_RIGHT.bmp"));
    SaveBmp8(Bottom(), dir.filePath("XPFORM_BOTTOM.bmp"));
    SaveBmp24(ButtonStrip(CloseFace, CrossGlyph), dir.filePath("XPFORM_CLOSE.bmp"));
    SaveBmp24(ButtonStrip(GreyFace, MaxGlyph), dir.filePath("XPFORM_MAX.bmp"));
    SaveBmp24(ButtonStrip(GreyFace, RestoreGlyph), dir.filePath("XPFORM_RESTORE.bmp"));
    SaveBmp24(ButtonStrip(GreyFace, MinGlyph), dir.filePath("XPFORM_MIN.bmp"));
    SaveBmp24(ButtonStrip(GreyFace, HelpGlyph), dir.filePath("XPFORM_HELP.bmp"));
}
