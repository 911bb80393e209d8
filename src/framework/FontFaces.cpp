#include "Fonts.h"

#include <QStringList>

namespace {

const QStringList ChineseFaces = {QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Micro Hei")};

} // namespace

void InstallFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("宋体"), ChineseFaces);
    // Chinese text in a Latin face (a status text, a device's own texts)
    // falls back to the Chinese faces.
    QFont::insertSubstitutions(QStringLiteral("Liberation Sans"), ChineseFaces);
}
