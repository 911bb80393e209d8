// XPHANDCUR: the 32 x 32 monochrome pointing hand, hot spot (7, 1) at the
// tip of the index finger. Stored as one 1-bit bitmap of 32 x 64: the
// cursor's picture above its mask, both black on white (black picture
// pixels are black; black mask pixels belong to the cursor).
#include "Families.h"
#include "SkinDraw.h"

#include <QDir>

namespace {

// X: black outline, '.': white inside, ' ': transparent. Row 0 of the art is
// row 1 of the cursor, column 0 is column 1.
const char *const kHand[] = {
    "     XX           ", //
    "    X..X          ", //
    "    X..X          ", //
    "    X..X          ", //
    "    X..X          ", //
    "    X..XXX        ", //
    "    X..X..XXX     ", //
    "    X..X..X..XX   ", //
    "    X..X..X..X.X  ", //
    "XXX X..X..X..X..X ", //
    "X..XX........X..X ", //
    "X...X...........X ", //
    " X..............X ", //
    "  X.............X ", //
    "  X.............X ", //
    "   X...........X  ", //
    "   X...........X  ", //
    "    X.........X   ", //
    "    X.........X   ", //
    "     X.......X    ", //
    "     X.......X    ", //
    "     XXXXXXXXX    ", //
};

} // namespace

void WriteHandCursor(const QString &folder)
{
    QImage picture = NewImage(32, 64, Qt::white);
    const int rows = int(sizeof kHand / sizeof *kHand);
    PaintArt(picture, 1, 1, kHand, rows, {{'X', Qt::black}});
    PaintArt(picture, 1, 33, kHand, rows, {{'X', Qt::black}, {'.', Qt::black}});
    SaveBmp1(picture, QDir(folder).filePath(QStringLiteral("XPHANDCUR.bmp")));
}
