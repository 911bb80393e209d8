#include "fleet/FileText.h"

#include "platform/files/AnsiCodePage.h"

#include <QList>
#include <QStringDecoder>

#include <optional>

namespace {

int LineAt(const QString &Text, qsizetype At)
{
    return int(QStringView(Text).left(At).count(u'\n')) + 1;
}

// The first line (from 1) that is not UTF-8 on its own; a line break never
// falls inside a character.
int FirstLineNotUtf8(const QByteArray &Bytes)
{
    int line = 1;
    for (const QByteArray &bytes : Bytes.split('\n')) {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        [[maybe_unused]] const QString text = utf8(bytes);
        if (utf8.hasError())
            return line;
        ++line;
    }
    return line;
}

QString NulText(qsizetype Line, const QString &Hint)
{
    return QStringLiteral(
               "line %1 holds a NUL character, as UTF-16 text without its byte-order mark would: %2")
        .arg(Line)
        .arg(Hint);
}

} // namespace

bool DecodeFileText(const QByteArray &Bytes, const QString &Hint, QString &Text, QString &Why)
{
    const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(Bytes);
    // NULs in text of no known encoding: UTF-16 whose mark was left off.
    const qsizetype nul = marked ? -1 : Bytes.indexOf('\0');
    if (nul >= 0) {
        Why = NulText(Bytes.left(nul).count('\n') + 1, Hint);
        return false;
    }
    // Stateless: a character cut off at the end is an error, not dropped.
    QStringDecoder decoder(marked.value_or(QStringConverter::Utf8), QStringConverter::Flag::Stateless);
    Text = decoder(Bytes);
    // The UTF-16 and UTF-32 decoders replace a unit cut off at the end
    // without reporting it.
    const bool wide = marked && *marked != QStringConverter::Utf8;
    const int unit =
        wide && (*marked == QStringConverter::Utf32LE || *marked == QStringConverter::Utf32BE) ? 4 : 2;
    if (decoder.hasError() || (wide && Bytes.size() % unit != 0)) {
        if (wide) {
            Why = QStringLiteral("line %1 is not valid %2 text")
                      .arg(LineAt(Text, Text.indexOf(QChar::ReplacementCharacter)))
                      .arg(QString::fromLatin1(QStringConverter::nameForEncoding(*marked)));
            return false;
        }
        const std::optional<QString> ansi = marked ? std::nullopt : FromAnsiCodePage(Bytes);
        if (!ansi) {
            const int codePage = marked ? 0 : AnsiCodePage();
            Why = QStringLiteral("line %1 is not UTF-8 text%2: %3")
                      .arg(FirstLineNotUtf8(Bytes))
                      .arg(codePage ? QStringLiteral(" nor text of code page %1").arg(codePage) : QString(),
                           Hint);
            return false;
        }
        Text = *ansi;
    }
    if (const qsizetype decodedNul = Text.indexOf(QChar(0)); decodedNul >= 0) {
        Why = NulText(LineAt(Text, decodedNul), Hint);
        return false;
    }
    return true;
}
