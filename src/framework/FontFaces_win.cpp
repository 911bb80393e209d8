#include "Fonts.h"

#include <QStringList>

namespace {

// "宋体" is SimSun's Chinese name, which the font list carries only on a
// Chinese system; elsewhere the English names find the same face.
const QStringList ChineseFaces = {QStringLiteral("SimSun"), QStringLiteral("NSimSun")};

} // namespace

// Windows has both faces. Where a machine lacks one, these are the faces
// Windows itself puts in their place: Microsoft Sans Serif, the outline
// twin of the MS Sans Serif bitmaps, and SimSun under its English name.
void InstallFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Microsoft Sans Serif")});
    QFont::insertSubstitutions(QStringLiteral("宋体"), ChineseFaces);
    // Chinese text in a Latin face falls back to the Chinese faces.
    QFont::insertSubstitutions(QStringLiteral("Microsoft Sans Serif"), ChineseFaces);
}
