#include "fleet/PlainText.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// Code points that East Asian Width (Unicode Annex 11) gives as Wide or
// Fullwidth, in blocks: Hangul Jamo, CJK punctuation to Yi, Hangul
// syllables, CJK compatibility, vertical and small forms, full-width forms,
// pictographs and emoji, and the supplementary ideographic planes.
constexpr std::pair<char32_t, char32_t> WideRanges[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1AFF0, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251},
    {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB}, {0x1F90C, 0x1F9FF}, {0x1FA70, 0x1FAFF},
    {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

int CharWidth(char32_t C)
{
    switch (QChar::category(C)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
    case QChar::Other_Control:
        return 0;
    default:
        break;
    }
    const auto range = std::upper_bound(std::begin(WideRanges), std::end(WideRanges), C,
                                        [](char32_t c, const auto &r) { return c < r.first; });
    return range != std::begin(WideRanges) && C <= std::prev(range)->second ? 2 : 1;
}

// The code point at At and the number of UTF-16 units it takes; a lone
// surrogate stands for itself.
std::pair<char32_t, qsizetype> CodePointAt(const QString &Text, qsizetype At)
{
    const QChar c = Text[At];
    if (c.isHighSurrogate() && At + 1 < Text.size() && Text[At + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(c, Text[At + 1]), 2};
    return {c.unicode(), 1};
}

} // namespace

int DisplayWidth(const QString &Text)
{
    int width = 0;
    for (qsizetype at = 0; at < Text.size();) {
        const auto [code, units] = CodePointAt(Text, at);
        width += CharWidth(code);
        at += units;
    }
    return width;
}

QString PadToWidth(const QString &Text, int Width)
{
    return Text + QString(std::max(0, Width - DisplayWidth(Text)), QLatin1Char(' '));
}

QString CutToWidth(const QString &Text, int Width)
{
    int width = 0;
    for (qsizetype at = 0; at < Text.size();) {
        const auto [code, units] = CodePointAt(Text, at);
        const int w = CharWidth(code);
        // A mark (width 0) stays with the character before it.
        if (w > 0 && width + w > Width)
            return Text.left(at);
        width += w;
        at += units;
    }
    return Text;
}

QString OneLine(const QString &Text)
{
    QString line = Text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : line) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    }
    return line;
}

QString ControlsEscaped(const QString &Text)
{
    QString shown;
    shown.reserve(Text.size());
    for (const QChar c : Text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u <= 0x9f))
            shown +=
                QStringLiteral("\\x") + QString::number(u, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

QString Counted(qsizetype Count, const QString &Singular, const QString &Plural)
{
    return QStringLiteral("%1 %2").arg(Count).arg(Count == 1 ? Singular : Plural);
}
