#include "platform/files/AnsiCodePage.h"

#include <windows.h>

int AnsiCodePage()
{
    return int(GetACP());
}

// Invalid sequences fail the conversion instead of becoming a replacement
// character.
std::optional<QString> FromAnsiCodePage(const QByteArray &Bytes)
{
    if (Bytes.isEmpty())
        return QString();
    const int units =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, Bytes.constData(), int(Bytes.size()), nullptr, 0);
    if (units <= 0)
        return std::nullopt;
    QString text(units, Qt::Uninitialized);
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, Bytes.constData(), int(Bytes.size()),
                            reinterpret_cast<wchar_t *>(text.data()), units) != units)
        return std::nullopt;
    return text;
}
